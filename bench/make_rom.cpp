// MAKE ROM in-process on the bundled demo data set with every picture in use: the demo's
// library, all 40 lift-state pictures, the demo logo, the four user floor pictures, and three
// code tables whose 768 entries are all labelled. Target: under 10 ms a build, writing the
// image file included.
//
// Run: build/bench/bench_make_rom
#include "rom/make_rom.h"
#include "editor/editor_ui.h"
#include "editor/glb_library.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;
using namespace Lift;

class QuietUi : public Editor::EditorUi {
public:
    std::optional<std::string> chooseSaveFile(const Editor::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseOpenFile(const Editor::FileDialogRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> choosePictureFile(const Editor::FileDialogRequest&) override {
        return std::nullopt;
    }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void messageBox(const std::string& text, const std::string&) override { last = text; }
    void appendLog(const std::string& line) override { logLines += !line.empty(); }
    void clearLog() override {}
    void setStatusPanel(int, const std::string&) override {}
    void setBusy(bool) override {}
    std::string last;
    int logLines = 0;
};

void BM_MakeRomDemo(benchmark::State& state) {
    const std::string data = std::string(LIFT_SOURCE_DIR) + "/data/";
    Editor::GlbLibrary glb;
    std::string error;
    if (!Editor::LoadGlbFile(data + "P620BX7.GLB", glb, &error)) {
        state.SkipWithError(("demo data set missing: " + error).c_str());
        return;
    }
    std::string base = std::getenv("BENCH_DIR") ? std::getenv("BENCH_DIR") : "/tmp";
    std::string patternText = base + "/bench-make-rom-XXXXXX";
    char* pattern = patternText.data();
    if (!::mkdtemp(pattern))
        throw std::runtime_error("mkdtemp");
    const std::string work = pattern;

    Editor::DisplayProject project;
    for (int row = 0; row < Editor::kSlotRows; ++row)
        for (int column = 0; column < Editor::kSlotColumns; ++column)
            project.liftStatePictures[row][column] =
                data + "DefaultImage2/LiftState/" + Editor::DefaultLiftStateFileName(row, column);
    // Floor labels of a tall building: basements, ground, 1..99, lettered floors and the
    // demo's user floor pictures, repeated over all 768 entries.
    std::vector<std::string> labels = {"B2", "B1", "G", "P1A", "P1B", "LBY", "12A", "R", "M"};
    for (int n = 1; n <= 99; ++n)
        labels.push_back(std::to_string(n));
    for (int t = 0; t < 3; ++t)
        for (int r = 0; r < 256; ++r)
            project.codeTables[t][r] = labels[(r + 7 * t) % labels.size()];
    project.logoEnabled = true;
    project.logoFile = data + "demo_logo.bmp";
    project.idCode = "HBT1";

    Rom::MakeRomContext context{project,
                                glb,
                                Editor::VersionSettings{1, 41, 1, 1},
                                work,
                                data + "DefaultImage2/UserDefine/Floor/Style",
                                [] { return true; },
                                work + "/DEMO.BIN"};
    QuietUi ui;
    for (auto _ : state) {
        const Rom::MakeRomOutcome out = Rom::MakeRom(context, ui);
        if (out.result != Rom::MakeRomResult::Written) {
            state.SkipWithError(("MAKE ROM stopped: " + ui.last).c_str());
            break;
        }
    }
    state.counters["log_lines"] = ui.logLines;
    fs::remove_all(work);
}
BENCHMARK(BM_MakeRomDemo)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
