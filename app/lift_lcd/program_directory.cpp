#include "lift_lcd/program_directory.h"

#include "editor/program_settings.h"
#include "util/errno_text.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace Lift::Cli {

namespace fs = std::filesystem;

namespace {
std::string withOneSlash(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    if (dir != "/")
        dir += '/';
    return dir;
}

const char* environment(const char* name) {
    // Read once at start, before any thread; nothing in the program sets the environment.
    const char* value = std::getenv(name); // NOLINT(concurrency-mt-unsafe)
    return value && *value ? value : nullptr;
}

bool holdsSettingsFile(const fs::path& folder) {
    std::error_code ec;
    return fs::is_regular_file(folder / Editor::kProgramSettingsFileName, ec);
}
} // namespace

std::string AbsoluteAgainst(const std::string& path, const std::string& base) {
    const fs::path p(path);
    return p.is_absolute() ? path : (fs::path(base) / p).string();
}

std::string RunningProgramFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path(ec).string() : exe.parent_path().string();
}

std::optional<std::string> InstalledDataDirectory(const std::string& programFolder) {
    const fs::path data = (fs::path(programFolder) / LIFT_DATA_FROM_BIN).lexically_normal();
    if (!holdsSettingsFile(data))
        return std::nullopt;
    return data.string();
}

std::string ProgramDirectory(const std::optional<std::string>& option, const std::string& base) {
    if (option)
        return withOneSlash(AbsoluteAgainst(*option, base));
    const std::string own = RunningProgramFolder();
    std::error_code ec;
    if (fs::is_directory(fs::path(own) / "DefaultImage2", ec))
        return withOneSlash(own);
    if (const auto installed = InstalledDataDirectory(own))
        return withOneSlash(*installed);
    return withOneSlash(own);
}

std::string UserDataHome() {
    const char* data = environment("XDG_DATA_HOME");
    if (data && data[0] == '/')
        return data;
    if (const char* home = environment("HOME"))
        return std::string(home) + "/.local/share";
    return {};
}

WorkingFolder ChooseWorkingFolder(const std::string& current,
                                  const std::optional<std::string>& installedData,
                                  const std::string& userDataHome, bool mayCopy) {
    if (holdsSettingsFile(current) || !installedData || userDataHome.empty())
        return {current, {}};
    const fs::path folder = fs::path(userDataHome) / "lift-lcd";
    std::error_code ec;
    if (fs::exists(folder, ec))
        return {folder.string(), "Working folder " + folder.string() + " (there is no " +
                                     Editor::kProgramSettingsFileName + " in " + current + ")"};
    if (!mayCopy)
        return {*installedData, "Working folder " + *installedData + " (there is no " +
                                    Editor::kProgramSettingsFileName + " in " + current + ")"};

    // Copied beside it first and then renamed into place, so a copy cut short never
    // passes for a working folder.
    const auto fail = [&](const std::string& reason) {
        return WorkingFolder{current,
                             "Cannot make the working folder " + folder.string() + ": " + reason};
    };
    fs::create_directories(userDataHome, ec);
    std::string pattern = (fs::path(userDataHome) / ".lift-lcd.new-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return fail(Util::ErrnoText(errno));
    const fs::path partial(pattern);
    fs::copy(*installedData, partial, fs::copy_options::recursive, ec);
    if (!ec)
        fs::rename(partial, folder, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        // Another start may have made it meanwhile; that one is as good.
        if (!holdsSettingsFile(folder))
            return fail(ec.message());
    }
    return {folder.string(), "Working folder " + folder.string() +
                                 ": first start, the data set was copied from " + *installedData};
}

} // namespace Lift::Cli
