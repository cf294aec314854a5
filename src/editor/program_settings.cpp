#include "editor/program_settings.h"

#include "editor/text_rules.h"

#include <exception>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace Lift::Editor {

namespace {

constexpr char kGlobal[] = "GLOBAL";
constexpr char kErrorCaption[] = "Error";

VersionSettings readVersion(SettingsReader& ini, const std::string& section) {
    VersionSettings v;
    v.cfi = ini.readInteger(section, "CFI", 0);
    v.ifi = ini.readInteger(section, "IFI", 41);
    v.disphv = ini.readInteger(section, "DISPHV", 1);
    v.encode = ini.readInteger(section, "ENCODE", 1);
    return v;
}

std::unique_ptr<SettingsReader> openSettings(const SettingsFileOpener& open,
                                             const std::string& path) {
    auto ini = open(path);
    if (!ini)
        throw std::runtime_error(std::string(kProgramSettingsFileName) + " cannot be read");
    return ini;
}

// The reason shown for a settings file that cannot be used.
std::string failureText(const std::exception& e) {
    std::string text = e.what();
    if (text.empty())
        text = std::string(kProgramSettingsFileName) + " cannot be read";
    return text + "\n\n";
}

} // namespace

std::string ProgramSettingsPath(const std::string& startDirectory) {
    return (std::filesystem::path(startDirectory) / kProgramSettingsFileName).string();
}

void ReadProgramSettings(const std::string& startDirectory, const SettingsFileOpener& open,
                         ProgramSettings& settings, DisplayProject& project, EditorUi& ui) {
    const std::string path = ProgramSettingsPath(startDirectory);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        ui.messageBox(std::string(kProgramSettingsFileName) + " file not found!!\n\n",
                      kErrorCaption);
        return;
    }

    // Everything is read into copies first, so that a value that cannot be read leaves the
    // program as it was instead of half-configured.
    ProgramSettings read = settings;
    std::vector<std::string> entries;
    int index = -1;
    std::string name;
    try {
        const auto ini = openSettings(open, path);
        read.glbFileName = ini->readString(kGlobal, "GLB", kDefaultGlbFileName);
        read.userGlbFileName = ini->readString(kGlobal, "UBFGLB", "");
        const int count = ini->readInteger(kGlobal, "VCN", 0);
        if (count == 0) {
            // No versions listed: two fixed entries, none selected, and CFI 48 (not the
            // key default 0) so that the initial data block is used.
            entries = {kInitialVersionName, kInitialPortraitVersionName};
            read.versionSettings = VersionSettings{48, 41, 1, 1};
            name = kInitialVersionName;
        } else {
            const int last = count > kMaxVersionCount ? kMaxVersionCount : count;
            for (int i = 1; i <= last; ++i) {
                std::string item = ini->readString(kGlobal, "ITEM" + std::to_string(i), "");
                if (!IsBlank(item))
                    entries.push_back(std::move(item)); // as read: the combo shows it so
            }
            if (!entries.empty()) {
                index = 0;
                name = Trimmed(entries.front());
                read.versionSettings = readVersion(*ini, name);
            } else {
                read.versionSettings = VersionSettings{0, 41, 1, 1};
            }
        }
    } catch (const std::exception& e) {
        ui.messageBox(failureText(e), kErrorCaption);
        return;
    }
    settings = std::move(read);
    project.versionEntries = std::move(entries);
    project.versionIndex = index;
    project.versionName = std::move(name);
}

void SelectVersion(const std::string& name, const std::string& startDirectory,
                   const SettingsFileOpener& open, ProgramSettings& settings,
                   DisplayProject& project, EditorUi& ui) {
    VersionSettings read;
    try {
        const auto ini = openSettings(open, ProgramSettingsPath(startDirectory));
        // An empty name is no section at all: the defaults, without asking the file.
        read = name.empty() ? VersionSettings{0, 41, 1, 1} : readVersion(*ini, name);
    } catch (const std::exception& e) {
        ui.messageBox(failureText(e), kErrorCaption);
        return;
    }
    settings.versionSettings = read;
    project.versionName = name;
    ui.setStatusPanel(1, "Version: " + name);
}

} // namespace Lift::Editor
