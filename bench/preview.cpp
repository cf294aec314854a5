// Previewing one floor code: the screen with a two-character label, the travelling arrow and
// a lift-state message. From the project on the bundled data set, first with every picture
// decoded afresh (cold: the command line, a first look) and then as the window redraws it
// (warm: pictures kept between steps); and from a built image. Target: under 1 ms a code.
//
// Run: build/bench/bench_preview
#include "preview/image_pieces.h"
#include "preview/project_pieces.h"

#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

namespace {

using namespace Lift;

struct DemoProject {
    DemoProject() {
        Editor::LoadGlbFile(data + "P620BX7.GLB", glb, &error);
        for (int row = 0; row < Editor::kSlotRows; ++row)
            for (int column = 0; column < Editor::kSlotColumns; ++column)
                project.liftStatePictures[row][column] = data + "DefaultImage2/LiftState/" +
                                                         Editor::DefaultLiftStateFileName(row, column);
        project.codeTables[0][15] = "12";
    }
    const std::string data = std::string(LIFT_SOURCE_DIR) + "/data/";
    const std::string userPictures = data + "DefaultImage2/UserDefine/Floor/Style";
    std::string error;
    Editor::GlbLibrary glb;
    Editor::DisplayProject project;
    Editor::VersionSettings version;
};

Preview::ScreenState busyScreen(int code, int step) {
    Preview::ScreenState s;
    s.code = code;
    s.travelling = true;
    s.liftState = 3;
    s.step = step;
    return s;
}

void BM_PreviewProjectCold(benchmark::State& state) {
    DemoProject demo;
    if (!demo.glb.isLoaded())
        return state.SkipWithError(demo.error.c_str());
    int step = 0;
    for (auto _ : state) {
        Preview::ProjectPieces pieces(demo.project, demo.glb, demo.version, demo.userPictures);
        const auto p = Preview::PreviewScreen(pieces, busyScreen(15, step++));
        benchmark::DoNotOptimize(p.screen.black.data());
    }
}
BENCHMARK(BM_PreviewProjectCold)->Unit(benchmark::kMicrosecond);

void BM_PreviewProjectWarm(benchmark::State& state) {
    DemoProject demo;
    if (!demo.glb.isLoaded())
        return state.SkipWithError(demo.error.c_str());
    Preview::ProjectPieces pieces(demo.project, demo.glb, demo.version, demo.userPictures);
    int step = 0;
    for (auto _ : state) {
        const auto p = Preview::PreviewScreen(pieces, busyScreen(15, step++));
        benchmark::DoNotOptimize(p.screen.black.data());
    }
}
BENCHMARK(BM_PreviewProjectWarm)->Unit(benchmark::kMicrosecond);

void BM_PreviewImage(benchmark::State& state) {
    std::ifstream in(std::string(LIFT_SOURCE_DIR) + "/tests/golden/rom/full_tables.bin",
                     std::ios::binary);
    std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (image.size() != Rom::kRomImageSize)
        return state.SkipWithError("tests/golden/rom/full_tables.bin missing");
    Preview::ImagePieces pieces(std::move(image), true);
    int step = 0;
    for (auto _ : state) {
        const auto p = Preview::PreviewScreen(pieces, busyScreen(step % 20, step));
        ++step;
        benchmark::DoNotOptimize(p.screen.black.data());
    }
}
BENCHMARK(BM_PreviewImage)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
