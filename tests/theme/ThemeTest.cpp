// The main program's theme on a 360x360 buffer window: the parts the pages
// and the page controller rely on, the signals they send, and what is drawn.
#include <gtest/gtest.h>
#include <ostra/ostra_efl.h>

#include <cmath>
#include <string>
#include <vector>

#include "UiTestSupport.h"

namespace {

const std::string kEdj = std::string(RES_DIR) + "/edje/zentrel.edj";

// A saved screenshot, read once for many pixel look-ups.
class Frame {
  public:
    Frame(Evas_Object* win, const std::string& path) {
        _image = evas_object_image_add(evas_object_evas_get(win));
        evas_object_image_file_set(_image, path.c_str(), nullptr);
        evas_object_image_size_get(_image, &_w, &_h);
        _data = static_cast<const unsigned int*>(evas_object_image_data_get(_image, EINA_FALSE));
        _stride = evas_object_image_stride_get(_image) / 4;
    }
    ~Frame() { evas_object_del(_image); }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    int width() const { return _w; }
    unsigned int at(int x, int y) const {
        if (!_data || x < 0 || y < 0 || x >= _w || y >= _h) {
            return 0;
        }
        return _data[y * _stride + x];
    }
    int red(int x, int y) const { return (at(x, y) >> 16) & 0xff; }
    int green(int x, int y) const { return (at(x, y) >> 8) & 0xff; }
    int blue(int x, int y) const { return at(x, y) & 0xff; }
    bool lit(int x, int y) const { return red(x, y) + green(x, y) + blue(x, y) > 200; }
    bool white(int x, int y) const {
        return red(x, y) > 200 && green(x, y) > 200 && blue(x, y) > 200;
    }

  private:
    Evas_Object* _image = nullptr;
    const unsigned int* _data = nullptr;
    int _w = 0, _h = 0, _stride = 0;
};

std::string shoot(Evas_Object* win, const char* name) {
    uitest::runLoopUntil([] { return false; }, 150);
    g_mkdir_with_parents(SCREENSHOT_DIR, 0755);
    std::string path = std::string(SCREENSHOT_DIR) + "/" + name;
    EXPECT_TRUE(ostra_efl_window_screenshot(win, path.c_str()));
    return path;
}

Evas_Object* addLayout(Evas_Object* parent, const char* group) {
    Evas_Object* layout = elm_layout_add(parent);
    EXPECT_TRUE(elm_layout_file_set(layout, kEdj.c_str(), group)) << group;
    evas_object_size_hint_weight_set(layout, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    return layout;
}

// The page controller filling the window, with the needle layout in place.
struct Controller {
    Evas_Object* layout;
    Evas_Object* picker;
    int endAnimations = 0;
};

void countEndAnimation(void* data, Evas_Object*, const char*, const char*) {
    ++*static_cast<int*>(data);
}

void addController(Evas_Object* win, Controller& c) {
    c.layout = addLayout(win, "page_controller");
    elm_layout_signal_callback_add(c.layout, "end,animation", "", countEndAnimation,
                                   &c.endAnimations);
    elm_win_resize_object_add(win, c.layout);
    evas_object_show(c.layout);
    c.picker = addLayout(c.layout, "page_controller_picker");
    elm_object_part_content_set(c.layout, "alti_measuring_picker_mark_layout", c.picker);
}

void emit(Evas_Object* layout, const char* signal, const char* source = "page_controller") {
    elm_layout_signal_emit(layout, signal, source);
    edje_object_message_signal_process(elm_layout_edje_get(layout));
    edje_object_calc_force(elm_layout_edje_get(layout));
}

// Turns the needle clockwise about the screen centre, as the page controller does.
void rotateNeedle(const Controller& c, double degrees) {
    auto* mark = const_cast<Evas_Object*>(
        edje_object_part_object_get(elm_layout_edje_get(c.picker), "alti_measuring_picker_mark"));
    ASSERT_NE(mark, nullptr);
    Evas_Map* map = evas_map_new(4);
    evas_map_util_points_populate_from_object(map, mark);
    evas_map_util_rotate(map, degrees, 180, 180);
    evas_map_smooth_set(map, EINA_TRUE);
    evas_object_map_set(mark, map);
    evas_object_map_enable_set(mark, EINA_TRUE);
    evas_map_free(map);
}

// A point at the given travel angle of the dial (0 = start, lower left) and radius.
int dialX(double travel, double r) {
    return static_cast<int>(std::lround(180 + r * std::sin((travel - 140) * M_PI / 180)));
}
int dialY(double travel, double r) {
    return static_cast<int>(std::lround(180 - r * std::cos((travel - 140) * M_PI / 180)));
}

bool isGreen(const Frame& f, int x, int y) {
    return f.green(x, y) > 120 && f.green(x, y) > f.red(x, y) + 60;
}
bool isAmber(const Frame& f, int x, int y) {
    return f.red(x, y) > 200 && f.green(x, y) > 90 && f.green(x, y) < 190 && f.blue(x, y) < 80;
}

// Lit pixels at distances in [r0, r1) from the screen centre.
int litInRing(const Frame& f, double r0, double r1) {
    int lit = 0;
    for (int y = 0; y < 360; ++y) {
        for (int x = 0; x < 360; ++x) {
            double r = std::hypot(x + 0.5 - 180, y + 0.5 - 180);
            lit += r >= r0 && r < r1 && f.lit(x, y);
        }
    }
    return lit;
}

struct Span {
    int left = 360, right = -1;
    double middle() const { return (left + right + 1) / 2.0; }
};

// Horizontal extent of the lit pixels in the box.
Span litSpan(const Frame& f, int x0, int y0, int x1, int y1) {
    Span s;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (f.lit(x, y)) {
                s.left = std::min(s.left, x);
                s.right = std::max(s.right, x);
            }
        }
    }
    return s;
}

TEST(ThemeTest, GroupsHaveThePartsTheProgramUses) {
    uitest::ElmBuffer elm;
    Evas_Object* win = uitest::addWindow("ThemeTest");
    const std::vector<std::pair<const char*, std::vector<const char*>>> groups = {
        {"page_controller", {"scroller", "alti_measuring_picker_mark_layout", "controller"}},
        {"page_controller_picker", {"alti_measuring_picker_mark"}},
        {"baro_view",
         {"baro_title", "baro_value", "baro_hours", "baro_graph", "baro_indicator",
          "baro_indicator_event", "baro_unit_event", "rect_acc", "baro_value_graph_indicator_acc"}},
        {"baro_value_layout", {"value", "unit"}},
        {"alti_view", {"title"}},
        {"setting_view", {"title"}},
        {"elm/label/base/slide_title_text", {"elm.text"}},
    };
    for (const auto& [group, parts] : groups) {
        Evas_Object* layout = addLayout(win, group);
        Evas_Object* edje = elm_layout_edje_get(layout);
        for (const char* part : parts) {
            EXPECT_TRUE(edje_object_part_exists(edje, part)) << group << " / " << part;
        }
        EXPECT_FALSE(edje_object_part_exists(edje, "no_such_part")) << group;
        evas_object_del(layout);
    }
}

TEST(ThemeTest, OpeningFadesInAndAlwaysEndsWithEndAnimation) {
    uitest::ElmBuffer elm;
    Evas_Object* win = uitest::addWindow("ThemeTest");
    Controller c;
    addController(win, c);
    emit(c.layout, "set,page,baro,hpa");
    // A layout that is never shown must unblock the pager too.
    int hiddenEnds = 0;
    Evas_Object* hidden = addLayout(win, "page_controller");
    elm_layout_signal_callback_add(hidden, "end,animation", "", countEndAnimation, &hiddenEnds);

    // Early in the fade the dial is still dark, and the signal has not come.
    Frame early(win, shoot(win, "theme_opening.png"));
    int tickX = dialX(120, 165), tickY = dialY(120, 165);
    EXPECT_LT(early.red(tickX, tickY), 200);
    EXPECT_EQ(c.endAnimations, 0);

    ASSERT_TRUE(
        uitest::runLoopUntil([&] { return c.endAnimations == 1 && hiddenEnds == 1; }, 3000));
    Frame done(win, shoot(win, "theme_opened.png"));
    EXPECT_TRUE(isAmber(done, tickX, tickY));
    uitest::runLoopUntil([] { return false; }, 300);
    EXPECT_EQ(c.endAnimations, 1);
}

TEST(ThemeTest, DialFollowsPageAndUnitAndIndexFollowsSelection) {
    uitest::ElmBuffer elm;
    Evas_Object* win = uitest::addWindow("ThemeTest");
    Controller c;
    addController(win, c);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return c.endAnimations == 1; }, 3000));
    // A major tick of the ring, and a spot of the top right label (hPa "807", m "4690").
    int tickX = dialX(120, 165), tickY = dialY(120, 165);

    emit(c.layout, "set,page,alti,m");
    Frame altiM(win, shoot(win, "theme_dial_alti_m.png"));
    EXPECT_TRUE(isGreen(altiM, tickX, tickY));

    emit(c.layout, "set,page,baro,hpa");
    Frame baroHpa(win, shoot(win, "theme_dial_baro_hpa.png"));
    EXPECT_TRUE(isAmber(baroHpa, tickX, tickY));

    // The same ring in other units carries other labels.
    auto labelDiff = [](const Frame& a, const Frame& b) {
        int diff = 0;
        for (int y = 20; y < 340; ++y) {
            for (int x = 0; x < 360; ++x) {
                diff += a.lit(x, y) != b.lit(x, y);
            }
        }
        return diff;
    };
    emit(c.layout, "set,page,alti,ft");
    Frame altiFt(win, shoot(win, "theme_dial_alti_ft.png"));
    EXPECT_TRUE(isGreen(altiFt, tickX, tickY));
    EXPECT_GT(labelDiff(altiM, altiFt), 200);
    emit(c.layout, "set,page,baro,mmhg");
    Frame baroMmhg(win, shoot(win, "theme_dial_baro_mmhg.png"));
    EXPECT_TRUE(isAmber(baroMmhg, tickX, tickY));
    EXPECT_GT(labelDiff(baroHpa, baroMmhg), 200);

    // The index: the selected dot is bright, the others grey; hiding fades it out.
    emit(c.layout, "show,index,no,ani");
    emit(c.layout, "index,select,2");
    emit(c.layout, "index,select,1");
    Frame index(win, shoot(win, "theme_index.png"));
    EXPECT_TRUE(index.white(180, 345));
    for (int x : {166, 194}) {
        EXPECT_GT(index.red(x, 345), 60) << x;
        EXPECT_LT(index.red(x, 345), 120) << x;
    }

    // "hide,index,show,…" switches the dial like "set,page,…" and hides the index.
    emit(c.layout, "hide,index,show,baro,inhg");
    uitest::runLoopUntil([] { return false; }, 450);
    Frame hidden(win, shoot(win, "theme_index_hidden.png"));
    EXPECT_TRUE(isAmber(hidden, tickX, tickY));
    EXPECT_GT(labelDiff(baroHpa, hidden), 200);
    for (int x : {166, 180, 194}) {
        EXPECT_FALSE(hidden.lit(x, 345)) << x;
    }

    // No dial on the settings page.
    emit(c.layout, "set,page,setting");
    Frame setting(win, shoot(win, "theme_dial_setting.png"));
    EXPECT_EQ(litInRing(setting, 0, 181), 0);
}

TEST(ThemeTest, NeedleShowsHidesAndTurnsAboutTheCentre) {
    uitest::ElmBuffer elm;
    Evas_Object* win = uitest::addWindow("ThemeTest");
    Controller c;
    addController(win, c);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return c.endAnimations == 1; }, 3000));
    emit(c.layout, "set,page,setting");

    // Hidden until asked for.
    Frame before(win, shoot(win, "theme_needle_hidden.png"));
    EXPECT_EQ(litInRing(before, 0, 181), 0);

    // Drawn at the start of the travel, inside the ring.
    emit(c.layout, "show,picker", "alti_measuring_picker_mark_layout");
    uitest::runLoopUntil([] { return false; }, 300);
    Frame start(win, shoot(win, "theme_needle_start.png"));
    EXPECT_TRUE(start.white(dialX(0, 140), dialY(0, 140)));
    EXPECT_TRUE(start.white(dialX(0, 130), dialY(0, 130)));
    EXPECT_EQ(litInRing(start, 0, 118), 0);
    EXPECT_EQ(litInRing(start, 175, 181), 0);

    // Turned by 140 degrees it points straight up.
    rotateNeedle(c, 140);
    Frame up(win, shoot(win, "theme_needle_up.png"));
    EXPECT_TRUE(up.white(180, 40));
    EXPECT_TRUE(up.white(180, 50));
    EXPECT_FALSE(up.lit(dialX(0, 140), dialY(0, 140)));
    EXPECT_FALSE(up.lit(200, 40));
    EXPECT_FALSE(up.lit(160, 40));

    emit(c.layout, "hide,picker", "alti_measuring_picker_mark_layout");
    uitest::runLoopUntil([] { return false; }, 300);
    Frame hidden(win, shoot(win, "theme_needle_hidden_again.png"));
    EXPECT_EQ(litInRing(hidden, 0, 181), 0);
}

void countClick(void* data, Evas_Object*, const char*, const char*) {
    ++*static_cast<int*>(data);
}

void tap(Evas_Object* win, int x, int y) {
    Evas* evas = evas_object_evas_get(win);
    evas_event_feed_mouse_move(evas, x, y, 0, nullptr);
    evas_event_feed_mouse_down(evas, 1, EVAS_BUTTON_NONE, 1, nullptr);
    evas_event_feed_mouse_up(evas, 1, EVAS_BUTTON_NONE, 2, nullptr);
    uitest::runLoopUntil([] { return false; }, 50);
}

TEST(ThemeTest, BarometerPageTapsFollowItsSignals) {
    uitest::ElmBuffer elm;
    Evas_Object* win = uitest::addWindow("ThemeTest");
    Evas_Object* baro = addLayout(win, "baro_view");
    elm_win_resize_object_add(win, baro);
    evas_object_show(baro);
    Evas_Object* indicator = elm_image_add(baro);
    elm_image_file_set(indicator, RES_DIR "/edje/images/alti_course_mid_mid.png", nullptr);
    elm_object_part_content_set(baro, "baro_indicator", indicator);
    int unitTaps = 0, indicatorTaps = 0;
    elm_layout_signal_callback_add(baro, "mouse,clicked,1", "baro_unit_event", countClick,
                                   &unitTaps);
    elm_layout_signal_callback_add(baro, "mouse,clicked,1", "baro_indicator_event", countClick,
                                   &indicatorTaps);
    uitest::runLoopUntil([] { return false; }, 100);

    tap(win, 180, 150);
    tap(win, 180, 310);
    EXPECT_EQ(unitTaps, 1);
    EXPECT_EQ(indicatorTaps, 1);

    // During the launch animation the unit does not take taps.
    emit(baro, "block,unit,event", "baro_unit_event");
    tap(win, 180, 150);
    EXPECT_EQ(unitTaps, 1);
    emit(baro, "unblock,unit,event", "baro_unit_event");
    tap(win, 180, 150);
    EXPECT_EQ(unitTaps, 2);

    // The demo mode has no indicator, neither drawn nor tappable.
    EXPECT_TRUE(evas_object_visible_get(indicator));
    emit(baro, "change,to,ldumode", "baro_indicator_event");
    tap(win, 180, 310);
    EXPECT_EQ(indicatorTaps, 1);
    EXPECT_FALSE(evas_object_visible_get(indicator));
}

// The barometer page as the program composes it, with the needle at the value.
TEST(ThemeTest, ComposedGaugePagesStayInsideTheCircle) {
    uitest::ElmBuffer elm;
    elm_theme_extension_add(nullptr, kEdj.c_str());
    Evas_Object* win = uitest::addWindow("ThemeTest");
    Controller c;
    addController(win, c);
    Evas_Object* baro = addLayout(c.layout, "baro_view");
    elm_object_part_content_set(c.layout, "scroller", baro);
    Evas_Object* title = elm_label_add(baro);
    elm_object_style_set(title, "slide_title_text");
    elm_label_wrap_width_set(title, 180);
    elm_object_text_set(title, "Barometer");
    elm_object_part_content_set(baro, "baro_title", title);
    Evas_Object* value = addLayout(baro, "baro_value_layout");
    elm_object_part_content_set(baro, "baro_value", value);
    elm_object_part_text_set(baro, "baro_hours", "Last 6 hours");
    Evas_Object* indicator = elm_image_add(baro);
    elm_image_file_set(indicator, RES_DIR "/edje/images/alti_course_mid_down.png", nullptr);
    elm_object_part_content_set(baro, "baro_indicator", indicator);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return c.endAnimations == 1; }, 3000));
    emit(c.layout, "set,page,baro,hpa");
    emit(c.layout, "show,index,no,ani");
    emit(c.layout, "index,select,1");
    emit(c.layout, "show,picker", "alti_measuring_picker_mark_layout");
    rotateNeedle(c, (1013 - 350) * 280.0 / 800);

    // The value and unit pair is centred whatever the unit.
    const char* pairs[][3] = {{"29.92", "inHg", "theme_baro_inhg.png"},
                              {"760", "mmHg", "theme_baro_mmhg.png"},
                              {"1013", "hPa", "theme_baro.png"}};
    for (const auto& pair : pairs) {
        elm_object_part_text_set(value, "value", pair[0]);
        elm_object_part_text_set(value, "unit", pair[1]);
        Frame f(win, shoot(win, pair[2]));
        Span span = litSpan(f, 60, 120, 300, 178);
        EXPECT_NEAR(span.middle(), 180, 4) << pair[0] << " " << pair[1];
        EXPECT_GT(span.right - span.left, 120) << pair[0] << " " << pair[1];
    }
    Frame baroShot(win, std::string(SCREENSHOT_DIR) + "/theme_baro.png");
    // Title, secondary line and trend image are drawn where the page puts them.
    EXPECT_NEAR(litSpan(baroShot, 80, 46, 280, 76).middle(), 180, 4);
    EXPECT_NEAR(litSpan(baroShot, 70, 190, 290, 212).middle(), 180, 4);
    EXPECT_NEAR(litSpan(baroShot, 150, 290, 210, 330).middle(), 180, 3);
    // The needle points at 1013 hPa on the right side of the dial.
    double needle = (1013 - 350) * 280.0 / 800;
    EXPECT_TRUE(baroShot.white(dialX(needle, 140), dialY(needle, 140)));
    // Nothing reaches past the ring into the screen's edge.
    EXPECT_EQ(litInRing(baroShot, 174, 181), 0);

    // The altitude page's placeholder over its dial.
    Evas_Object* alti = addLayout(c.layout, "alti_view");
    elm_object_part_content_set(c.layout, "scroller", alti);
    elm_object_part_text_set(alti, "title", "Altimeter");
    emit(c.layout, "hide,index,show,alti,m");
    rotateNeedle(c, (350 + 800) * 280.0 / 9600);
    uitest::runLoopUntil([] { return false; }, 400);
    Frame altiShot(win, shoot(win, "theme_alti.png"));
    EXPECT_NEAR(litSpan(altiShot, 80, 46, 280, 76).middle(), 180, 4);
    EXPECT_TRUE(isGreen(altiShot, dialX(120, 165), dialY(120, 165)));
    EXPECT_EQ(litInRing(altiShot, 174, 181), 0);
}

}  // namespace
