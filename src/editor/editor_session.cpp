#include "editor/editor_session.h"

#include <ctime>
#include <sys/stat.h>

namespace Lift::Editor {

std::string DefaultLiftStatePath(const ProgramState& program, int row, int column) {
    return program.programDirectory + "DefaultImage2/LiftState/" +
           DefaultLiftStateFileName(row, column);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string FileDateYymmdd(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0)
        return "000000";
    std::tm local{};
    const std::time_t t = st.st_mtime;
    if (!::localtime_r(&t, &local))
        return "000000";
    char buf[16];
    std::strftime(buf, sizeof buf, "%y%m%d", &local);
    return buf;
}

} // namespace Lift::Editor
