// The INI engine on a generated file of 200 sections x 100 keys, against libinih (parse
// only) and QSettings in INI format (load + lookups).
// Run: build/bench/bench_ini_file --benchmark_repetitions=3 --benchmark_report_aggregates_only

#include "util/standalone_function.h"
#include "util/ty_ini_file.h"

#include <benchmark/benchmark.h>
#include <ini.h>

#include <QSettings>
#include <QString>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

using YVclUtil::TYIniFile;
namespace fs = std::filesystem;

namespace {

constexpr int kSections = 200;
constexpr int kKeys = 100;
constexpr int kLookups = 100'000;

struct Fixture {
    fs::path folder;
    std::string path;
    std::vector<std::pair<std::string, std::string>> lookups; // (section, key)
    std::vector<QString> qtKeys;
    int copies = 0;

    Fixture() {
        folder = fs::temp_directory_path() / ("bench_ini_" + std::to_string(::getpid()));
        fs::create_directories(folder);
        path = (folder / "big.ini").string();
        std::string text;
        for (int s = 0; s < kSections; ++s) {
            text += YVclUtil::Format("[Section%03d]\r\n", s);
            for (int k = 0; k < kKeys; ++k)
                text += YVclUtil::Format("Key%03d=Value of key %d in section %d\r\n", k, k, s);
            text += "\r\n";
        }
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
        std::mt19937 rng(3);
        for (int i = 0; i < kLookups; ++i) {
            const int s = int(rng() % kSections), k = int(rng() % kKeys);
            lookups.emplace_back(YVclUtil::Format("Section%03d", s),
                                 YVclUtil::Format("Key%03d", k));
            qtKeys.push_back(
                QString::fromStdString(lookups.back().first + "/" + lookups.back().second));
        }
    }
    ~Fixture() { fs::remove_all(folder); }

    // QSettings caches files by name; a fresh copy makes it parse again.
    std::string freshCopy() {
        const std::string copy = (folder / ("copy" + std::to_string(copies++) + ".ini")).string();
        fs::copy_file(path, copy);
        return copy;
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_OurLoad(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        TYIniFile ini(f.path);
        benchmark::DoNotOptimize(&ini);
    }
}
BENCHMARK(BM_OurLoad)->Unit(benchmark::kMillisecond);

void BM_OurLoadAndLookups(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        TYIniFile ini(f.path);
        std::size_t total = 0;
        for (const auto& [section, key] : f.lookups)
            total += ini.ReadString(section, key, "").size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_OurLoadAndLookups)->Unit(benchmark::kMillisecond);

void BM_OurSaveToBytes(benchmark::State& state) {
    TYIniFile ini(fixture().path);
    for (auto _ : state) {
        std::string bytes = ini.SaveToBytes();
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_OurSaveToBytes)->Unit(benchmark::kMillisecond);

// The whole save: temporary file, fsync and rename.
void BM_OurSaveToDisk(benchmark::State& state) {
    Fixture& f = fixture();
    const std::string target = (f.folder / "saved.ini").string();
    TYIniFile ini(f.path);
    for (auto _ : state) {
        ini.pw_FileName(target);
        if (!ini.UpdateFile())
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_OurSaveToDisk)->Unit(benchmark::kMillisecond);

int inihHandler(void*, const char*, const char*, const char*) {
    return 1;
}

void BM_InihParse(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        if (ini_parse(f.path.c_str(), inihHandler, nullptr) != 0)
            state.SkipWithError("inih failed");
    }
}
BENCHMARK(BM_InihParse)->Unit(benchmark::kMillisecond);

void BM_QSettingsLoad(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        const QString copy = QString::fromStdString(f.freshCopy());
        state.ResumeTiming();
        QSettings settings(copy, QSettings::IniFormat);
        benchmark::DoNotOptimize(settings.value("Section000/Key000"));
    }
}
BENCHMARK(BM_QSettingsLoad)->Unit(benchmark::kMillisecond);

void BM_QSettingsLoadAndLookups(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        state.PauseTiming();
        const QString copy = QString::fromStdString(f.freshCopy());
        state.ResumeTiming();
        QSettings settings(copy, QSettings::IniFormat);
        qsizetype total = 0;
        for (const QString& key : f.qtKeys)
            total += settings.value(key).toString().size();
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_QSettingsLoadAndLookups)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
