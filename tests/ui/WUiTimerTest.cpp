// The four timer kinds, repetition, cancellation through the weak handle,
// cancellation from inside the callback and by the owner object.
#include <WUiTimer.h>
#include <gtest/gtest.h>

#include "UiTestSupport.h"

namespace {

using brisa::WUiTimer;

TEST(WUiTimerTest, EachKindRunsUntilItsCallbackSaysStop) {
    uitest::ElmBuffer elm;
    int counts[4] = {0, 0, 0, 0};
    int data = 42;
    void* seen = nullptr;
    auto idler = WUiTimer::addIdler(
        [&](void* d) {
            seen = d;
            return ++counts[WUiTimer::IDLER] < 3;
        },
        &data);
    auto animator =
        WUiTimer::addAnimator([&](void*) { return ++counts[WUiTimer::ANIMATOR] < 2; }, nullptr);
    auto timer = WUiTimer::addTimer(
        0.01, [&](void*) { return ++counts[WUiTimer::TIMER] < 4; }, nullptr);
    // A job runs once even when its callback asks for more.
    auto job = WUiTimer::addJob(
        [&](void*) {
            ++counts[WUiTimer::JOB];
            return true;
        },
        nullptr);
    ASSERT_FALSE(timer.expired());
    EXPECT_EQ(timer.lock()->getType(), WUiTimer::TIMER);
    EXPECT_EQ(idler.lock()->getType(), WUiTimer::IDLER);

    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return idler.expired() && animator.expired() && timer.expired() && job.expired(); },
        5000));
    EXPECT_EQ(counts[WUiTimer::IDLER], 3);
    EXPECT_EQ(counts[WUiTimer::ANIMATOR], 2);
    EXPECT_EQ(counts[WUiTimer::TIMER], 4);
    EXPECT_EQ(counts[WUiTimer::JOB], 1);
    EXPECT_EQ(seen, &data);
}

TEST(WUiTimerTest, DestroyCancelsFromOutsideFromInsideAndWithTheOwner) {
    uitest::ElmBuffer elm;
    Evas_Object* win = uitest::addWindow("timers");
    int cancelled = 0, selfStopped = 0, owned = 0, witness = 0;

    auto outside = WUiTimer::addTimer(
        0.05,
        [&](void*) {
            ++cancelled;
            return true;
        },
        nullptr);
    WUiTimer::destroy(outside);
    EXPECT_TRUE(outside.expired());
    WUiTimer::destroy(outside);  // an expired handle is fine

    brisa::WUiTimerWeakPtr inside;
    inside = WUiTimer::addTimer(
        0.01,
        [&](void*) {
            ++selfStopped;
            WUiTimer::destroy(inside);
            return true;  // destroyed anyway
        },
        nullptr);

    Evas_Object* owner = evas_object_rectangle_add(evas_object_evas_get(win));
    auto ownedTimer = WUiTimer::addTimer(
        0.05,
        [&](void*) {
            ++owned;
            return true;
        },
        nullptr, owner);
    auto ownedJob = WUiTimer::addJob(
        [&](void*) {
            ++owned;
            return false;
        },
        nullptr, owner);
    evas_object_del(owner);
    EXPECT_TRUE(ownedTimer.expired());
    EXPECT_TRUE(ownedJob.expired());

    auto later = WUiTimer::addTimer(
        0.2,
        [&](void*) {
            ++witness;
            return false;
        },
        nullptr);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return witness == 1; }, 5000));
    EXPECT_EQ(cancelled, 0);
    EXPECT_EQ(selfStopped, 1);
    EXPECT_TRUE(inside.expired());
    EXPECT_EQ(owned, 0);
    EXPECT_TRUE(later.expired());
    evas_object_del(win);
}

}  // namespace
