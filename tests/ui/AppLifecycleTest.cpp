// A program's first resume waits for its window's first frame, so nothing
// the program starts on resume delays that frame; a pause or the window's
// end before the frame cancels the wait.
#include <gtest/gtest.h>

#include <optional>

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

// A program's start: its window, not shown yet, followed by a lifecycle
// that waits for the window's first frame to resume.
struct Start {
    Start() {
        evas_object_resize(win, 360, 360);
        evas_event_callback_add(evas_object_evas_get(win), EVAS_CALLBACK_RENDER_POST, countFrame,
                                &counts);
        lifecycle.emplace([this] { ++counts.pauses; },
                          [this] {
                              ++counts.resumes;
                              counts.framesAtResume = counts.frames;
                          });
        lifecycle->follow(win);
        lifecycle->resumeAfterFirstFrame();
    }
    Start(const Start&) = delete;
    Start& operator=(const Start&) = delete;

    // Shows the window and runs the loop past its first frame.
    void showAndDraw() {
        evas_object_show(win);
        uitest::runLoopUntil([this] { return counts.frames > 0; }, 3000);
        uitest::runLoopUntil([] { return false; }, 200);
    }

    Counts counts;
    Evas_Object* win = elm_win_add(nullptr, "lifecycle", ELM_WIN_BASIC);
    std::optional<ostra::AppLifecycle> lifecycle;
};

TEST(AppLifecycleTest, FirstResumeComesOnceAfterTheFirstFrame) {
    uitest::ElmBuffer elm;
    Start start;
    start.lifecycle->resumeAfterFirstFrame();
    EXPECT_EQ(start.counts.resumes, 0);
    start.showAndDraw();
    EXPECT_EQ(start.counts.resumes, 1);
    EXPECT_GE(start.counts.framesAtResume, 1);
    // Later frames and a second request do not resume it again.
    elm_win_title_set(start.win, "again");
    uitest::runLoopUntil([] { return false; }, 200);
    start.lifecycle->resumeAfterFirstFrame();
    EXPECT_EQ(start.counts.resumes, 1);
    EXPECT_EQ(start.counts.pauses, 0);
    evas_object_del(start.win);
    EXPECT_EQ(start.counts.pauses, 1);
}

TEST(AppLifecycleTest, PauseWindowEndOrLifecycleEndBeforeTheFrameCancelTheWait) {
    uitest::ElmBuffer elm;
    {
        Start start;
        start.lifecycle->pause();
        start.showAndDraw();
        EXPECT_GT(start.counts.frames, 0);
        EXPECT_EQ(start.counts.resumes, 0);
        evas_object_del(start.win);
    }
    {
        Start start;
        evas_object_del(start.win);
        uitest::runLoopUntil([] { return false; }, 200);
        EXPECT_EQ(start.counts.resumes, 0);
    }
    // A lifecycle that ends first leaves nothing behind to call it.
    Start start;
    start.lifecycle.reset();
    start.showAndDraw();
    EXPECT_GT(start.counts.frames, 0);
    EXPECT_EQ(start.counts.resumes, 0);
    evas_object_del(start.win);
}

}  // namespace
