// The commissioning tools on the bundled data set. Targets: `lift-lcd check` on the demo
// project under 50 ms, and the commissioning sheet of a full 3 x 256 project under 2 s.
//
// The check is timed twice: in this process (settings file, library, project and its
// pictures read, every rule run) and as the program a technician starts, process start-up
// included. The sheet is timed from the loaded project to the PDF file written.
//
// Run: build/bench/bench_commissioning
#include "commissioning/commissioning_sheet.h"
#include "commissioning/read_project.h"
#include "lift_lcd/cli.h"
#include "lift_lcd/cli_ui.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace Lift;

const std::string kData = std::string(LIFT_SOURCE_DIR) + "/data";

void BM_CheckDemoInProcess(benchmark::State& state) {
    const fs::path original = fs::current_path();
    const std::vector<std::string> argv = {
        "lift-lcd", "check", kData + "/demo.lcp", "--workdir", kData, "--program-dir", kData};
    int code = 0;
    for (auto _ : state) {
        std::ostringstream out, err;
        Cli::Streams io{out, err};
        code = Cli::Run(argv, io);
        benchmark::DoNotOptimize(out.str().size());
    }
    fs::current_path(original);
    if (code != 0)
        state.SkipWithError("the demo project has errors");
}
BENCHMARK(BM_CheckDemoInProcess)->Unit(benchmark::kMillisecond);

void BM_CheckDemoProcess(benchmark::State& state) {
    const std::string program =
        (fs::canonical("/proc/self/exe").parent_path() / "../app/lift-lcd").lexically_normal();
    std::vector<std::string> args = {
        program, "check", kData + "/demo.lcp", "--workdir", kData, "--program-dir", kData};
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t pid = 0;
        int status = 0;
        if (posix_spawn(&pid, program.c_str(), &quiet, nullptr, argv.data(), environ) != 0 ||
            ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError(("cannot run " + program).c_str());
            break;
        }
    }
    posix_spawn_file_actions_destroy(&quiet);
}
BENCHMARK(BM_CheckDemoProcess)->Unit(benchmark::kMillisecond);

void BM_SheetFullProject(benchmark::State& state) {
    const fs::path original = fs::current_path();
    std::ostringstream out, err;
    Cli::CliUi ui(out, err);
    Editor::EditorSession session;
    std::string error;
    fs::current_path(kData); // the demo's picture paths are relative to it
    if (!Commissioning::ReadProjectForTools(session, ui, {kData, kData}, kData + "/demo.lcp",
                                            error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    // Every entry labelled: basements, ground, 1..99 and the demo's user floor pictures.
    std::vector<std::string> labels = {"B2", "B1", "G", "P1A", "P1B", "LBY", "12A", "R", "M"};
    for (int n = 1; n <= 99; ++n)
        labels.push_back(std::to_string(n));
    for (std::size_t t = 0; t < 3; ++t)
        for (std::size_t r = 0; r < 256; ++r)
            session.project.codeTables[t][r] = labels[(r + 7 * t) % labels.size()];

    std::string dirText = (fs::temp_directory_path() / "bench-sheet-XXXXXX").string();
    if (!::mkdtemp(dirText.data())) {
        state.SkipWithError("mkdtemp");
        return;
    }
    const std::string pdf = dirText + "/full.pdf";
    for (auto _ : state) {
        if (!Commissioning::WriteCommissioningSheet(session, {"full.lcp", "2026-01-01"}, pdf,
                                                    error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    state.counters["pdf_KiB"] = static_cast<double>(fs::file_size(pdf)) / 1024.0;
    fs::remove_all(dirText);
    fs::current_path(original);
}
BENCHMARK(BM_SheetFullProject)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv); // fonts for the sheet
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
