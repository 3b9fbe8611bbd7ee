#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BucketSampler.h"
#include "RecorderStore.h"
#include "TestSupport.h"

using ostra::PressureReading;
using ostra::RecorderBucket;
using ostra::RecorderStore;

namespace {

// Hands out prepared readings; an empty slot is a failed read.
class ScriptedSource : public ostra::PressureSource {
  public:
    explicit ScriptedSource(std::vector<std::pair<bool, PressureReading>> script)
        : _script(std::move(script)) {}
    bool read(PressureReading* out) override {
        auto step = _script.at(_next++);
        *out = step.second;
        return step.first;
    }
    std::string describe() const override { return "scripted"; }

  private:
    std::vector<std::pair<bool, PressureReading>> _script;
    size_t _next = 0;
};

PressureReading working(double hPa) {
    return {hPa, true};
}

}  // namespace

TEST(BucketSampler, AveragesWorkingReadingsPerBucketAndDropsOldOnes) {
    testsupport::TempRoot root;
    RecorderStore store;
    ASSERT_TRUE(store.open());
    long long t0 = 1700000040;  // the start of a bucket
    ASSERT_TRUE(store.store({{t0 - 800 * 3600, 990.0, 5}, {t0 - 3600, 995.0, 5}}));

    auto source = std::make_unique<ScriptedSource>(std::vector<std::pair<bool, PressureReading>>{
        {true, working(1000.0)},
        {true, {0.0, false}},
        {false, {}},
        {true, working(1002.0)},
        {true, working(1010.0)},
    });
    BucketSampler sampler(std::move(source), &store, 720);
    sampler.sample(t0);
    sampler.sample(t0 + 30);
    sampler.sample(t0 + 60);
    sampler.sample(t0 + 119);
    std::vector<RecorderBucket> buckets;
    ASSERT_TRUE(store.query(t0, t0 + 1000, &buckets));
    EXPECT_TRUE(buckets.empty());  // the bucket is still open

    sampler.sample(t0 + 120);
    ASSERT_TRUE(store.query(t0, t0 + 1000, &buckets));
    ASSERT_EQ(buckets.size(), 1u);
    EXPECT_DOUBLE_EQ(buckets[0].hPa, 1001.0);
    EXPECT_EQ(buckets[0].samples, 2);

    sampler.flush();
    ASSERT_TRUE(store.query(0, t0 + 1000, &buckets));
    ASSERT_EQ(buckets.size(), 3u);
    EXPECT_EQ(buckets[0].start, t0 - 3600);  // 800 hours old: past the retention
    EXPECT_DOUBLE_EQ(buckets[2].hPa, 1010.0);
}

TEST(BucketSampler, StoreFollowsTheFileWhenItIsSetAsideOrDamaged) {
    testsupport::TempRoot root;
    RecorderStore writer;
    ASSERT_TRUE(writer.store({{1700000040, 1000.0, 1}}));
    // A reader found the file damaged and moved it away.
    ASSERT_EQ(rename(writer.path().c_str(), (writer.path() + ".aside").c_str()), 0);
    ASSERT_TRUE(writer.store({{1700000160, 1001.0, 1}}));
    RecorderStore reader;
    std::vector<RecorderBucket> buckets;
    ASSERT_TRUE(reader.query(0, 1800000000, &buckets));
    ASSERT_EQ(buckets.size(), 1u);
    EXPECT_DOUBLE_EQ(buckets[0].hPa, 1001.0);

    // Garbage in place of the file: set aside, a fresh file, nothing invented.
    testsupport::LogCapture log;
    FILE* f = fopen(writer.path().c_str(), "w");
    ASSERT_NE(f, nullptr);
    fputs(std::string(8192, 'z').c_str(), f);
    fclose(f);
    EXPECT_TRUE(writer.store({{1700000280, 1002.0, 1}}));
    EXPECT_TRUE(log.contains("is not a sound database"));
    ASSERT_TRUE(reader.query(0, 1800000000, &buckets));
    ASSERT_EQ(buckets.size(), 1u);
    EXPECT_DOUBLE_EQ(buckets[0].hPa, 1002.0);
}
