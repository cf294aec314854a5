// Loads arbitrary bytes as a project file, saves what was loaded and loads that again: the
// second load must succeed and give the same code tables.
#include "project/project_file.h"
#include "editor/text_rules.h"
#include "util/standalone_function.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

class QuietUi : public Lift::Editor::EditorUi {
public:
    std::optional<std::string> chooseSaveFile(const Lift::Editor::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseOpenFile(const Lift::Editor::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> choosePictureFile(const Lift::Editor::FileDialogRequest&) override {
        return std::nullopt;
    }
    bool askYesNo(const std::string&, const std::string&) override { return true; }
    void messageBox(const std::string&, const std::string&) override {}
    void appendLog(const std::string&) override {}
    void clearLog() override {}
    void setStatusPanel(int, const std::string&) override {}
    void setBusy(bool) override {}
};

std::string makeWorkDir() {
    // tmpfs when there is one: every run saves, and a disk makes each save wait for fsync.
    std::string pattern = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm/lift-fuzz-project-XXXXXX"
                                                          : "/tmp/lift-fuzz-project-XXXXXX";
    const char* dir = ::mkdtemp(pattern.data());
    if (!dir)
        std::abort();
    return dir;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static const std::string work = makeWorkDir();
    static bool quiet = [] {
        YVclUtil::SetErrorBoxSink([](const std::string&, const std::string&) {});
        return true;
    }();
    (void)quiet;

    const std::string input = work + "/in.lcp";
    const std::string output = work + "/out.lcp";
    {
        std::ofstream f(input, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    ::unlink(output.c_str());

    Lift::Editor::EditorSession session;
    session.program.programDirectory = work + "/";
    session.program.startDirectory = work;
    QuietUi ui;
    if (!Lift::Project::LoadProjectFrom(session, ui, input))
        return 0;

    Lift::Project::SaveProjectTo(session, ui, output);
    Lift::Editor::EditorSession again;
    again.program = session.program;
    if (!Lift::Project::LoadProjectFrom(again, ui, output))
        std::abort(); // what we saved must load
    for (size_t t = 0; t < 3; ++t)
        for (size_t c = 0; c < 256; ++c)
            if (again.project.codeTables[t][c] !=
                Lift::Editor::UpperCased(Lift::Editor::Trimmed(session.project.codeTables[t][c])))
                std::abort(); // saved labels are trimmed and upper-cased, nothing else
    return 0;
}
