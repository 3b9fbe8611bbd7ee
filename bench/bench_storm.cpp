// What the storm watch adds to the recorder daemon's work per stored bucket,
// against the trend code the platform already computes from the same
// recorder: both read the buckets back from SQLite and compute over them.
// Also the computation alone over the same buckets in memory.
#include <glib.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "PressureTrend.h"
#include "RatioReporter.h"
#include "RecorderStore.h"
#include "StormWatch.h"

namespace {

std::string gRoot;
long long gNow = 0;

// Thirty days of a falling and rising barometer with a little noise.
void fillRecorder() {
    std::vector<ostra::RecorderBucket> buckets;
    gNow = ostra::RecorderStore::bucketStart(g_get_real_time() / G_USEC_PER_SEC);
    const int count = 30 * 24 * 30;
    for (int i = 0; i < count; ++i) {
        ostra::RecorderBucket b;
        b.start = gNow - (count - i) * ostra::RecorderStore::kBucketSeconds;
        b.hPa = 1010.0 + 6.0 * std::sin(i / 400.0) + 0.05 * std::sin(i * 7.3);
        b.samples = 120;
        buckets.push_back(b);
    }
    ostra::RecorderStore store;
    store.store(buckets);
}

std::vector<ostra::RecorderBucket> recent(long long from) {
    ostra::RecorderStore store;
    std::vector<ostra::RecorderBucket> buckets;
    store.query(from, gNow, &buckets);
    return buckets;
}

// Opens the recorder each time, as the trend code does.
void BM_StormCheck(benchmark::State& state) {
    ostra::StormWatch watch;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            watch.decide(recent(gNow - ostra::StormWatch::kLookbackSeconds), gNow));
    }
}

void BM_TrendCode(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ostra::PressureTrend::current(gNow));
    }
}

void BM_StormDecideInMemory(benchmark::State& state) {
    auto buckets = recent(gNow - ostra::StormWatch::kLookbackSeconds);
    ostra::StormWatch watch;
    for (auto _ : state) {
        benchmark::DoNotOptimize(watch.decide(buckets, gNow));
    }
}

void BM_TrendCodeInMemory(benchmark::State& state) {
    auto buckets = recent(gNow - 2 * ostra::PressureTrend::kHalfSeconds);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ostra::PressureTrend::code(buckets, gNow));
    }
}

BENCHMARK(BM_StormCheck);
BENCHMARK(BM_TrendCode);
BENCHMARK(BM_StormDecideInMemory);
BENCHMARK(BM_TrendCodeInMemory);

}  // namespace

int main(int argc, char** argv) {
    char pattern[] = "/tmp/zentrel-bench-XXXXXX";
    gRoot = mkdtemp(pattern);
    setenv("OSTRA_ROOT", gRoot.c_str(), 1);
    fillRecorder();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(
        {{"BM_StormCheck", "BM_TrendCode"}, {"BM_StormDecideInMemory", "BM_TrendCodeInMemory"}});
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::filesystem::remove_all(gRoot);
    return 0;
}
