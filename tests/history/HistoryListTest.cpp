#include <gtest/gtest.h>
#include <ostra/app_preference.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "TestSupport.h"
#include "ZentrelGraphItemList.h"
#include "ZentrelSLPItemList.h"
#include "ZentrelStorageMgr.h"

using testsupport::LogCapture;
using testsupport::TempRoot;

namespace {

// A window as the page controller builds it: 180 empty points, 120 s apart.
ZentrelGraphItemList window(int64_t last) {
    ZentrelGraphItemList list;
    for (int i = 179; i >= 0; --i) {
        list.appendItem(ZentrelGraphItem{last - i * 120, -9900, 0});
    }
    return list;
}

std::string storedHistory() {
    char* text = ZentrelStorageMgr::getInstance()->getDataSLPHistory();
    std::string history = text;
    free(text);
    return history;
}

std::string entry(long long time, double slp) {
    char text[96];
    snprintf(text, sizeof(text), "T:%lld;P+%f", time, slp);
    return text;
}

TEST(GraphItemList, UpdateItemInfoPlacesSamplesInTheirSlots) {
    ZentrelGraphItemList empty;
    EXPECT_FALSE(empty.updateItemInfo(1000, 1000.0, 10.0));

    ZentrelGraphItemList list = window(1000000);
    const int64_t first = list.getItem(0)->_itemTime;
    EXPECT_TRUE(list.updateItemInfo(first + 240, 1001.9, 123.7));
    EXPECT_EQ(list.getItem(2)->_itemBaro, 1001);
    EXPECT_EQ(list.getItem(2)->_itemAlti, 123);
    EXPECT_EQ(list.getItem(2)->_itemTime, first + 240);
    // Up to 119 s before the first point still lands in slot 0 (division truncates).
    EXPECT_TRUE(list.updateItemInfo(first - 119, 999.5, -12.9));
    EXPECT_EQ(list.getItem(0)->_itemAlti, -12);
    EXPECT_FALSE(list.updateItemInfo(first - 120 - 120, 999.5, 1.0));
    EXPECT_FALSE(list.updateItemInfo(list.getLastItem()._itemTime + 120, 999.5, 1.0));
    EXPECT_TRUE(list.updateItemInfo(list.getLastItem()._itemTime + 119, 998.0, 1.0));
    EXPECT_EQ(list.getLastItem()._itemBaro, 998);
    EXPECT_EQ(list.getItem(180), nullptr);
    EXPECT_EQ(list.getAltiMax(), ZentrelGraphItemList::DEFAULT_ALTI_MAX) << "limits untouched";
}

TEST(GraphItemList, RestoreFillsOnlyTheLastOfARunAndNeverTheNewest) {
    ZentrelGraphItemList list;
    const int32_t baros[] = {0, 0, 1000, 0, 1005, 0};
    for (int i = 0; i < 6; ++i) {
        list.appendItem(ZentrelGraphItem{i * 120, baros[i] ? i * 10 : -9900, baros[i]});
    }
    LogCapture logs;
    list.restoreMissingItem();
    EXPECT_EQ(list.getItem(0)->_itemBaro, 0);
    EXPECT_EQ(list.getItem(1)->_itemBaro, 1000);
    EXPECT_EQ(list.getItem(1)->_itemAlti, 20);
    EXPECT_EQ(list.getItem(3)->_itemBaro, 1005);
    EXPECT_EQ(list.getItem(5)->_itemBaro, 0);
    EXPECT_EQ(logs.count("Item List has error data restore it"), 2);
}

TEST(GraphItemList, LimitsIgnoreEmptyPointsAndFollowRemovals) {
    ZentrelGraphItemList list = window(100000);
    for (unsigned int i = 0; i < 180; ++i) {
        // The oldest point holds the pressure maximum and the altitude minimum.
        int32_t baro = i == 0 ? 1030 : 990 + static_cast<int32_t>(i % 20);
        int32_t alti = i == 0 ? -50 : static_cast<int32_t>(i);
        list.updateItemInfo(list.getItem(i)->_itemTime, baro, alti);
    }
    list.appendItem(ZentrelGraphItem{200000, -9900, 0});  // an empty point does not count
    list.updateMinMax();
    EXPECT_EQ(list.getBaroMax(), 1030);
    EXPECT_EQ(list.getBaroMin(), 990);
    EXPECT_EQ(list.getAltiMin(), -50);
    EXPECT_EQ(list.getAltiMax(), 179);

    EXPECT_TRUE(list.removeItem(0));
    EXPECT_EQ(list.getBaroMax(), 1009);
    EXPECT_EQ(list.getAltiMin(), 1);
    EXPECT_EQ(list.getBaroMin(), 990);
    EXPECT_FALSE(list.removeItem(list.getCount()));
    EXPECT_EQ(list.getCount(), 180u);

    ZentrelGraphItemList blank = window(5000);
    blank.updateMinMax();
    EXPECT_EQ(blank.getBaroMin(), ZentrelGraphItemList::DEFAULT_BARO_MIN);
    EXPECT_EQ(blank.getAltiMax(), ZentrelGraphItemList::DEFAULT_ALTI_MAX);
}

TEST(SLPItemList, ParsesPrunesAndAnswersTheSlpInForce) {
    TempRoot root;
    const long long now = time(nullptr);
    // Two entries older than six hours, one inside: the newest old one stays.
    std::string history =
        entry(now - 30000, 1001.0) + entry(now - 25000, 1002.5) + entry(now - 3600, 1010.25);
    ZentrelStorageMgr::getInstance()->saveDataSLPHistory(history);
    ZentrelSLPItemList list;
    ASSERT_EQ(list.getCount(), 2u);
    EXPECT_EQ(storedHistory(), entry(now - 25000, 1002.5) + entry(now - 3600, 1010.25));
    EXPECT_EQ(list.getDynamicSLP(now), 1010.25);
    EXPECT_EQ(list.getDynamicSLP(now - 3600), 1010.25);
    EXPECT_EQ(list.getDynamicSLP(now - 10000), 1002.5);
    EXPECT_EQ(list.getDynamicSLP(now - 26000), 1013.25);
}

TEST(SLPItemList, SingleOldEntryIsNeverPrunedAndEmptyGivesDefault) {
    TempRoot root;
    {
        LogCapture logs;
        ZentrelSLPItemList empty;
        EXPECT_EQ(empty.getDynamicSLP(0), 1013.25);
        EXPECT_TRUE(logs.contains("History is empty"));
    }
    ZentrelStorageMgr::getInstance()->saveDataSLPHistory(entry(1000, 990.5));
    ZentrelSLPItemList list;
    ASSERT_EQ(list.getCount(), 1u);
    EXPECT_EQ(storedHistory(), entry(1000, 990.5));
    EXPECT_EQ(list.getDynamicSLP(2000000000), 990.5);
}

TEST(SLPItemList, MalformedHistoriesAreDiscarded) {
    const long long now = time(nullptr);
    const std::pair<std::string, std::string> cases[] = {
        {entry(now, 1000.0) + "T:5", "Tag count is invalid"},
        {"T:" + std::to_string(now) + ";P-1000.0T:1;P+", "Tag count is invalid"},
        {entry(now - 60, 1000.0) + "T:" + std::to_string(now) + ";P+10x3.5",
         "Non-number character is found"},
        {"T:12ab;P+1000.0", "Non-number character is found"},
    };
    for (const auto& [history, message] : cases) {
        TempRoot root;
        ZentrelStorageMgr::getInstance()->saveDataSLPHistory(history);
        LogCapture logs;
        ZentrelSLPItemList list;
        EXPECT_EQ(list.getCount(), 0u) << history;
        EXPECT_TRUE(logs.contains(message)) << history;
        EXPECT_TRUE(logs.contains("Clear history")) << history;
        EXPECT_EQ(storedHistory(), "") << history;
        EXPECT_EQ(list.getDynamicSLP(now), 1013.25);
    }
}

TEST(SLPItemList, FollowsChangesOfTheStoredHistory) {
    TempRoot root;
    const long long now = time(nullptr);
    ZentrelSLPItemList list;
    EXPECT_EQ(list.getCount(), 0u);
    // Another program (the widget) calibrates.
    ASSERT_EQ(
        testsupport::runProgram({OSTRACTL_PATH, "pref", "set", "ZENTREL_DATA_SEE_LEVEL_HISTORY",
                                 "string", entry(now - 100, 1005.0)}),
        0);
    ASSERT_TRUE(testsupport::runUntil([&] { return list.getCount() == 1; }, 5000));
    EXPECT_EQ(list.getDynamicSLP(now), 1005.0);
    ZentrelStorageMgr::getInstance()->addDataSLPHistory(now - 50, 1007.0);
    ASSERT_TRUE(testsupport::runUntil([&] { return list.getCount() == 2; }, 5000));
    EXPECT_EQ(list.getDynamicSLP(now), 1007.0);
    EXPECT_EQ(list.getDynamicSLP(now - 60), 1005.0);
}

// A list that replaces another (the page controller rebuilding it) keeps
// hearing changes after the old one goes.
TEST(SLPItemList, ReplacedListDoesNotTakeTheNewOnesCallbackWithIt) {
    TempRoot root;
    const long long now = time(nullptr);
    auto old = std::make_unique<ZentrelSLPItemList>();
    auto replacement = std::make_unique<ZentrelSLPItemList>();
    old.reset();
    ZentrelStorageMgr::getInstance()->addDataSLPHistory(now - 50, 1007.0);
    EXPECT_TRUE(testsupport::runUntil([&] { return replacement->getCount() == 1; }, 5000));
}

}  // namespace
