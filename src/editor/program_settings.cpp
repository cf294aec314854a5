#include "editor/program_settings.h"

#include "editor/text_rules.h"
#include "util/econvert_error.h"
#include "util/eygeneral.h"
#include "util/ty_ini_file.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace Lift::Editor {

namespace {

using YVclUtil::TYIniFile;

constexpr char kGlobal[] = "GLOBAL";
constexpr char kErrorCaption[] = "Error";

VersionSettings readVersion(TYIniFile& ini, const std::string& section) {
    // An empty name is no section at all (the engine's names have 1..256 bytes).
    if (section.empty())
        return VersionSettings{0, 41, 1, 1};
    VersionSettings v;
    v.cfi = ini.ReadInteger(section, "CFI", 0);
    v.ifi = ini.ReadInteger(section, "IFI", 41);
    v.disphv = ini.ReadInteger(section, "DISPHV", 1);
    v.encode = ini.ReadInteger(section, "ENCODE", 1);
    return v;
}

void showConvertError(EditorUi& ui, const YVclUtil::EConvertError& e) {
    ui.messageBox(std::string(kProgramSettingsFileName) + ": " + e.what() + "\n\n", kErrorCaption);
}

} // namespace

std::string ProgramSettingsPath(const std::string& startDirectory) {
    return (std::filesystem::path(startDirectory) / kProgramSettingsFileName).string();
}

void ReadProgramSettings(const std::string& startDirectory, ProgramSettings& settings,
                         DisplayProject& project, EditorUi& ui) {
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
        TYIniFile ini(path);
        read.glbFileName = ini.ReadString(kGlobal, "GLB", kDefaultGlbFileName);
        read.userGlbFileName = ini.ReadString(kGlobal, "UBFGLB", "");
        const int count = ini.ReadInteger(kGlobal, "VCN", 0);
        if (count == 0) {
            // No versions listed: two fixed entries, none selected, and CFI 48 (not the
            // key default 0) so that the initial data block is used.
            entries = {kInitialVersionName, kInitialPortraitVersionName};
            read.versionSettings = VersionSettings{48, 41, 1, 1};
            name = kInitialVersionName;
        } else {
            const int last = count > kMaxVersionCount ? kMaxVersionCount : count;
            for (int i = 1; i <= last; ++i) {
                std::string item = ini.ReadString(kGlobal, "ITEM" + std::to_string(i), "");
                if (!IsBlank(item))
                    entries.push_back(std::move(item)); // as read: the combo shows it so
            }
            if (!entries.empty()) {
                index = 0;
                name = Trimmed(entries.front());
            }
            read.versionSettings = readVersion(ini, name);
        }
    } catch (const YVclUtil::EConvertError& e) {
        showConvertError(ui, e);
        return;
    } catch (const YVclUtil::EYGeneral&) {
        return; // the engine has shown its error box
    }
    settings = std::move(read);
    project.versionEntries = std::move(entries);
    project.versionIndex = index;
    project.versionName = std::move(name);
}

void SelectVersion(const std::string& name, const std::string& startDirectory,
                   ProgramSettings& settings, DisplayProject& project, EditorUi& ui) {
    VersionSettings read;
    try {
        TYIniFile ini(ProgramSettingsPath(startDirectory));
        read = readVersion(ini, name);
    } catch (const YVclUtil::EConvertError& e) {
        showConvertError(ui, e);
        return;
    } catch (const YVclUtil::EYGeneral&) {
        return; // the engine has shown its error box
    }
    settings.versionSettings = read;
    project.versionName = name;
    ui.setStatusPanel(1, "Version: " + name);
}

} // namespace Lift::Editor
