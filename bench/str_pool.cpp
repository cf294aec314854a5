// The string pool and hashed list against the standard containers they replace:
//   churn:  1M adds and deletes of short strings (a ring of 1024 live strings);
//   lookup: IndexOf on 10k entries against std::unordered_map<std::string, int>::find;
//   delete: Delete(0) until the list is empty, at 2,000, 5,000 and 10,000 entries, so the
//           growth with the list's length shows (a delete costs what moving the later
//           entries costs, so the whole run grows with the square of the length).
// Run: build/bench/bench_str_pool --benchmark_repetitions=3 --benchmark_report_aggregates_only

#include "util/ty_hashed_string_list.h"
#include "util/ty_str_tab.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

using namespace YVclUtil;

namespace {

constexpr int kRing = 1024;
constexpr int kChurn = 1'000'000;
constexpr int kEntries = 10'000;

std::vector<std::string> shortTexts() {
    std::vector<std::string> texts;
    std::mt19937 rng(1);
    for (int i = 0; i < kRing; ++i) {
        std::string s = "Key" + std::to_string(i) + "_";
        s.resize(5 + rng() % 36, char('a' + i % 26)); // 5..40 characters
        texts.push_back(s);
    }
    return texts;
}

void BM_ChurnPool(benchmark::State& state) {
    const auto texts = shortTexts();
    for (auto _ : state) {
        TYStrTab tab;
        std::vector<YSTRTABCELL*> ring(kRing, nullptr);
        for (int i = 0; i < kChurn; ++i) {
            YSTRTABCELL*& slot = ring[i & (kRing - 1)];
            if (slot)
                tab.Delete(slot);
            const std::string& t = texts[(i * 7) & (kRing - 1)];
            slot = tab.Add(t.data(), t.size());
        }
        benchmark::DoNotOptimize(ring.data());
    }
    state.SetItemsProcessed(state.iterations() * kChurn);
}
BENCHMARK(BM_ChurnPool)->Unit(benchmark::kMillisecond);

void BM_ChurnStdString(benchmark::State& state) {
    const auto texts = shortTexts();
    for (auto _ : state) {
        std::vector<std::string> ring(kRing);
        for (int i = 0; i < kChurn; ++i) {
            const std::string& t = texts[(i * 7) & (kRing - 1)];
            std::string fresh(t.data(), t.size());
            ring[i & (kRing - 1)].swap(fresh); // `fresh` now frees the old string
            benchmark::DoNotOptimize(fresh.data());
        }
        benchmark::DoNotOptimize(ring.data());
    }
    state.SetItemsProcessed(state.iterations() * kChurn);
}
BENCHMARK(BM_ChurnStdString)->Unit(benchmark::kMillisecond);

struct LookupData {
    std::vector<std::string> keys;
    std::vector<int> order;
    LookupData() {
        std::mt19937 rng(2);
        for (int i = 0; i < kEntries; ++i)
            keys.push_back("Key" + std::to_string(i * 7919 % 100000));
        for (int i = 0; i < 100'000; ++i)
            order.push_back(int(rng() % kEntries));
    }
};

void BM_LookupHashedList(benchmark::State& state) {
    LookupData data;
    TYStrTab tab;
    TYHashedStringList list(&tab);
    for (const auto& k : data.keys)
        list.Add(k.c_str());
    for (auto _ : state) {
        long sum = 0;
        for (int i : data.order)
            sum += list.IndexOf(data.keys[i].c_str());
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(data.order.size()));
}
BENCHMARK(BM_LookupHashedList)->Unit(benchmark::kMicrosecond);

void BM_LookupUnorderedMap(benchmark::State& state) {
    LookupData data;
    std::unordered_map<std::string, int> map;
    for (int i = 0; i < kEntries; ++i)
        map.emplace(data.keys[i], i);
    for (auto _ : state) {
        long sum = 0;
        for (int i : data.order)
            sum += map.find(data.keys[i])->second;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(data.order.size()));
}
BENCHMARK(BM_LookupUnorderedMap)->Unit(benchmark::kMicrosecond);

void BM_DeleteFromFront(benchmark::State& state) {
    const int entries = int(state.range(0));
    std::vector<std::string> keys;
    for (int i = 0; i < entries; ++i)
        keys.push_back("Key" + std::to_string(i));
    TYStrTab tab;
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<TYHashedStringList>(&tab);
        for (const auto& k : keys)
            list->Add(k.c_str());
        state.ResumeTiming();
        while (list->Count() > 0)
            list->Delete(0);
    }
    state.SetItemsProcessed(state.iterations() * entries);
}
BENCHMARK(BM_DeleteFromFront)->Arg(2'000)->Arg(5'000)->Arg(10'000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
