// Replays the fuzz seed corpus (and any crash reproducer added to it)
// through the fuzz entry points, so a regression shows in the normal suite.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzEntries.h"
#include "TestSupport.h"

namespace {

namespace fs = std::filesystem;

int replay(const std::string& target, int (*entry)(const uint8_t*, size_t)) {
    testsupport::TempRoot root;
    int inputs = 0;
    for (const auto& file : fs::directory_iterator(fs::path(FUZZ_CORPUS_DIR) / target)) {
        std::ifstream in(file.path(), std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        SCOPED_TRACE(file.path().string());
        EXPECT_EQ(entry(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
        ++inputs;
    }
    return inputs;
}

TEST(FuzzCorpus, WeatherParsers) {
    EXPECT_GE(replay("WeatherParsers", fuzz::WeatherParsers), 8);
}

TEST(FuzzCorpus, StringUtil) {
    EXPECT_GE(replay("StringUtilText", fuzz::StringUtilText), 3);
}

TEST(FuzzCorpus, SlpHistory) {
    EXPECT_GE(replay("SlpHistory", fuzz::SlpHistory), 3);
}

TEST(FuzzCorpus, Bundle) {
    EXPECT_GE(replay("Bundle", fuzz::Bundle), 2);
}

TEST(FuzzCorpus, LaunchWire) {
    EXPECT_GE(replay("LaunchWire", fuzz::LaunchWire), 2);
}

TEST(FuzzCorpus, BackupRecord) {
    EXPECT_GE(replay("BackupRecord", fuzz::BackupRecord), 3);
}

TEST(FuzzCorpus, UpdateAnswer) {
    EXPECT_GE(replay("UpdateAnswer", fuzz::UpdateAnswer), 3);
}

}  // namespace
