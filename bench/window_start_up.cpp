// Start-up of the editor's window on the bundled data set, to the window shown, beside a bare
// Qt main window holding a 257 x 5 table. Target: under 100 ms and under 60 MiB peak memory.
//
// Times are measured in this process (the QApplication already running, as it is before the
// editor's window is made), from making the window to its first events served; closing it
// is left out. Peak memory is that of a fresh process doing one start-up: this
// program runs itself with --one-start=editor or --one-start=bare and reads the child's
// maximum resident set size; the figures appear as the counters peak_MiB.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/bench_window_start_up
#include "window/main_window.h"
#include "util/qt_main_loop.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QHeaderView>
#include <QMainWindow>
#include <QTableWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string g_self;

// A private copy of the bundled data, made once: start-up writes its temporary picture there.
const std::string& dataCopy() {
    static const std::string dir = [] {
        const fs::path d =
            fs::temp_directory_path() / ("bench-window-" + std::to_string(::getpid()));
        fs::remove_all(d);
        fs::copy(fs::path(LIFT_SOURCE_DIR) / "data", d, fs::copy_options::recursive);
        return d.string();
    }();
    return dir;
}

std::unique_ptr<Lift::Window::MainWindow> startEditor(Lift::Util::MainLoop& loop) {
    Lift::Window::WindowOptions options;
    options.start.programDirectory = dataCopy();
    options.start.startDirectory = dataCopy();
    auto window = std::make_unique<Lift::Window::MainWindow>(loop, options);
    window->show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(window->startUpCompleted());
    return window;
}

std::unique_ptr<QMainWindow> startBare() {
    auto window = std::make_unique<QMainWindow>();
    auto* table = new QTableWidget(257, 5, window.get());
    table->verticalHeader()->setDefaultSectionSize(16);
    for (int r = 0; r < 257; ++r)
        for (int c = 0; c < 5; ++c)
            table->setItem(r, c, new QTableWidgetItem(QString::number(r * 5 + c)));
    window->setCentralWidget(table);
    window->show();
    QApplication::processEvents();
    return window;
}

// Peak resident memory, in MiB, of a fresh process making one window of the kind.
double childPeakMiB(const char* kind) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        const std::string arg = std::string("--one-start=") + kind;
        ::execl(g_self.c_str(), g_self.c_str(), arg.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return -1;
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_EditorWindowStartUp(benchmark::State& state) {
    Lift::Util::QtMainLoop loop;
    for (auto _ : state) {
        auto window = startEditor(loop);
        // Closing the window (its port, the folder tree's reader thread) is not start-up.
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = childPeakMiB("editor");
}
BENCHMARK(BM_EditorWindowStartUp)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_BareTableWindow(benchmark::State& state) {
    for (auto _ : state) {
        auto window = startBare();
        state.PauseTiming();
        window.reset();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = childPeakMiB("bare");
}
BENCHMARK(BM_BareTableWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

// The offscreen platform warns on every window shown; keep the report readable.
static void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type != QtWarningMsg || !message.contains(QLatin1String("propagateSizeHints")))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

int main(int argc, char** argv) {
    qInstallMessageHandler(quietQtMessages);
    g_self = fs::canonical("/proc/self/exe").string();
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--one-start=", 12) == 0) {
            const std::string kind = argv[i] + 12;
            QApplication app(argc, argv);
            if (kind == "editor") {
                Lift::Util::QtMainLoop loop;
                startEditor(loop).reset();
            } else {
                startBare().reset();
            }
            fs::remove_all(dataCopy());
            return 0;
        }
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(dataCopy());
    return 0;
}
