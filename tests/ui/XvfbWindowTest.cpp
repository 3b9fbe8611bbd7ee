// A program's window on a bare X server (Xvfb, no window manager): what the
// screen shows, and what the program's own screenshot saves.
#include <glib.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "RootGrab.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "XvfbSupport.h"

namespace {

constexpr int kScreenW = 640;
constexpr int kScreenH = 480;
constexpr int kWindowSize = 360;

struct Grab {
    std::vector<unsigned int> rgb;  // kScreenW * kScreenH, 0xRRGGBB
    int litInWindow = 0;            // pixels that are not black inside the window's square
};

bool grabRoot(const std::string& display, Grab& grab) {
    if (!uitest::grabRootRgb(display, kScreenW, kScreenH, grab.rgb)) {
        return false;
    }
    grab.litInWindow = 0;
    for (int y = 0; y < kWindowSize; ++y) {
        for (int x = 0; x < kWindowSize; ++x) {
            if (grab.rgb[static_cast<size_t>(y) * kScreenW + x]) {
                ++grab.litInWindow;
            }
        }
    }
    return true;
}

// Saves the grab as a PNG for people to look at, through a buffer canvas.
bool savePng(const Grab& grab, Evas* evas, const std::string& path) {
    std::vector<unsigned int> argb(grab.rgb);
    for (auto& p : argb) {
        p |= 0xff000000u;
    }
    Evas_Object* image = evas_object_image_filled_add(evas);
    evas_object_image_alpha_set(image, EINA_FALSE);
    evas_object_image_size_set(image, kScreenW, kScreenH);
    evas_object_image_data_copy_set(image, argb.data());
    bool ok = evas_object_image_save(image, path.c_str(), nullptr, "compress=6");
    evas_object_del(image);
    return ok;
}

// Pixels of the PNG's square that differ from the grab's window square by
// more than a rounding step in any channel; -1 when the PNG has another size.
int pixelsDifferingFromPng(const Grab& grab, Evas* evas, const std::string& path) {
    Evas_Object* image = evas_object_image_add(evas);
    evas_object_image_file_set(image, path.c_str(), nullptr);
    int w = 0, h = 0;
    evas_object_image_size_get(image, &w, &h);
    auto* data = static_cast<const unsigned int*>(evas_object_image_data_get(image, EINA_FALSE));
    int stride = evas_object_image_stride_get(image) / 4;
    int differing = -1;
    if (data && w == kWindowSize && h == kWindowSize) {
        differing = 0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                unsigned int a = data[y * stride + x];
                unsigned int b = grab.rgb[static_cast<size_t>(y) * kScreenW + x];
                for (int shift = 0; shift < 24; shift += 8) {
                    int da = static_cast<int>((a >> shift) & 0xff);
                    int db = static_cast<int>((b >> shift) & 0xff);
                    if (abs(da - db) > 1) {
                        ++differing;
                        break;
                    }
                }
            }
        }
    }
    evas_object_del(image);
    return differing;
}

TEST(XvfbWindowTest, WindowDrawsWithoutWindowManagerAndScreenshotMatchesScreen) {
    std::unique_ptr<gchar, decltype(&g_free)> xvfb(g_find_program_in_path("Xvfb"), g_free);
    if (!xvfb) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    uitest::ElmBuffer elm;
    Evas* evas = evas_object_evas_get(uitest::addWindow("xvfb-test"));
    testsupport::TempRoot root;
    testsupport::XvfbServer server;
    ASSERT_TRUE(server.ok()) << "Xvfb did not report its display";
    const std::string displayName = server.display();
    Grab grab;
    ASSERT_TRUE(grabRoot(displayName, grab)) << "cannot reach " << displayName;
    ASSERT_EQ(grab.litInWindow, 0) << "the bare root is expected black";

    const std::string shot = root.path() + "/x11-shot.png";
    const std::string logPath = root.path() + "/sample.log";
    // Late enough that the screen is seen before the screenshot forces a frame.
    GPid pid = server.start(
        SAMPLE_PROGRAM_PATH,
        {{"OSTRA_APP_ID", "com.zentrel.test.xvfb"}, {"OSTRA_SCREENSHOT", (shot + ":16")}}, logPath);
    ASSERT_NE(pid, 0);
    testsupport::ChildProcess program(pid);

    // The sample draws white text on black: a few hundred lit pixels at least.
    bool shotTaken = false;
    bool drawn = uitest::runLoopUntil(
        [&] {
            shotTaken =
                testsupport::readFile(logPath).find("screenshot written") != std::string::npos;
            return shotTaken || (grabRoot(displayName, grab) && grab.litInWindow > 300);
        },
        15000);
    EXPECT_TRUE(drawn && !shotTaken)
        << "the window stayed black on its own; lit pixels " << grab.litInWindow << "\n"
        << testsupport::readFile(logPath);

    ASSERT_TRUE(uitest::runLoopUntil(
        [&] {
            return testsupport::readFile(logPath).find("screenshot written to " + shot) !=
                   std::string::npos;
        },
        25000))
        << testsupport::readFile(logPath);
    ASSERT_TRUE(grabRoot(displayName, grab));
    g_mkdir_with_parents(SCREENSHOT_DIR, 0755);
    EXPECT_TRUE(savePng(grab, evas, std::string(SCREENSHOT_DIR) + "/xvfb-root.png"));
    // Outside the window the root stays black: the window sits at the origin, 360 wide.
    EXPECT_EQ(grab.rgb[static_cast<size_t>(kWindowSize + 10) * kScreenW + kWindowSize + 10], 0u);
    EXPECT_EQ(pixelsDifferingFromPng(grab, evas, shot), 0)
        << "the program's X11 screenshot is not what the screen shows";
}

}  // namespace
