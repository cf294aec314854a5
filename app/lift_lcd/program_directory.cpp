#include "lift_lcd/program_directory.h"

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
} // namespace

std::string AbsoluteAgainst(const std::string& path, const std::string& base) {
    const fs::path p(path);
    return p.is_absolute() ? path : (fs::path(base) / p).string();
}

std::string ProgramDirectory(const std::optional<std::string>& option, const std::string& base) {
    if (option)
        return withOneSlash(AbsoluteAgainst(*option, base));
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && fs::is_directory(exe.parent_path() / "DefaultImage2", ec))
        return withOneSlash(exe.parent_path().string());
    return withOneSlash(LIFT_INSTALLED_DATA_DIR);
}

} // namespace Lift::Cli
