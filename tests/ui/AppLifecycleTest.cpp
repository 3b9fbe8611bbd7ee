// A program's first resume waits for its window's first frame, so nothing
// the program starts on resume delays that frame; a pause or the window's
// end before the frame cancels the wait.
#include <gtest/gtest.h>

#include "AppLifecycle.h"
#include "UiTestSupport.h"

namespace {

struct Counts {
    int resumes = 0;
    int pauses = 0;
    int frames = 0;
    int framesAtResume = -1;
};

void countFrame(void* data, Evas*, void*) {
    ++static_cast<Counts*>(data)->frames;
}

ostra::AppLifecycle lifecycleFor(Counts& counts) {
    return ostra::AppLifecycle([&counts] { ++counts.pauses; },
                               [&counts] {
                                   ++counts.resumes;
                                   counts.framesAtResume = counts.frames;
                               });
}

Evas_Object* hiddenWindow(Counts& counts) {
    Evas_Object* win = elm_win_add(nullptr, "lifecycle", ELM_WIN_BASIC);
    evas_object_resize(win, 360, 360);
    evas_event_callback_add(evas_object_evas_get(win), EVAS_CALLBACK_RENDER_POST, countFrame,
                            &counts);
    return win;
}

TEST(AppLifecycleTest, FirstResumeComesOnceAfterTheFirstFrame) {
    uitest::ElmBuffer elm;
    Counts counts;
    ostra::AppLifecycle lifecycle = lifecycleFor(counts);
    Evas_Object* win = hiddenWindow(counts);
    lifecycle.follow(win);
    lifecycle.resumeAfterFirstFrame();
    lifecycle.resumeAfterFirstFrame();
    EXPECT_EQ(counts.resumes, 0);
    evas_object_show(win);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return counts.resumes > 0; }, 3000));
    EXPECT_GE(counts.framesAtResume, 1);
    // Later frames and a second request do not resume it again.
    elm_win_title_set(win, "again");
    uitest::runLoopUntil([] { return false; }, 200);
    lifecycle.resumeAfterFirstFrame();
    EXPECT_EQ(counts.resumes, 1);
    EXPECT_EQ(counts.pauses, 0);
    evas_object_del(win);
    EXPECT_EQ(counts.pauses, 1);
}

TEST(AppLifecycleTest, PauseWindowEndOrLifecycleEndBeforeTheFrameCancelTheWait) {
    uitest::ElmBuffer elm;
    {
        Counts counts;
        ostra::AppLifecycle lifecycle = lifecycleFor(counts);
        Evas_Object* win = hiddenWindow(counts);
        lifecycle.follow(win);
        lifecycle.resumeAfterFirstFrame();
        lifecycle.pause();
        evas_object_show(win);
        uitest::runLoopUntil([&] { return counts.frames > 0; }, 3000);
        uitest::runLoopUntil([] { return false; }, 200);
        EXPECT_GT(counts.frames, 0);
        EXPECT_EQ(counts.resumes, 0);
        evas_object_del(win);
    }
    {
        Counts counts;
        ostra::AppLifecycle lifecycle = lifecycleFor(counts);
        Evas_Object* win = hiddenWindow(counts);
        lifecycle.follow(win);
        lifecycle.resumeAfterFirstFrame();
        evas_object_del(win);
        uitest::runLoopUntil([] { return false; }, 200);
        EXPECT_EQ(counts.resumes, 0);
    }
    // A lifecycle that ends first leaves nothing behind to call it.
    Counts counts;
    Evas_Object* win = hiddenWindow(counts);
    {
        ostra::AppLifecycle lifecycle = lifecycleFor(counts);
        lifecycle.follow(win);
        lifecycle.resumeAfterFirstFrame();
    }
    evas_object_show(win);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return counts.frames > 0; }, 3000));
    uitest::runLoopUntil([] { return false; }, 200);
    EXPECT_EQ(counts.resumes, 0);
    evas_object_del(win);
}

}  // namespace
