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

// The window's frame, saved as a PNG and read back once for many look-ups.
class Frame {
  public:
    Frame(Evas_Object* win, const char* name) {
        uitest::runLoopUntil([] { return false; }, 150);
        g_mkdir_with_parents(SCREENSHOT_DIR, 0755);
        std::string path = std::string(SCREENSHOT_DIR) + "/" + name;
        EXPECT_TRUE(ostra_efl_window_screenshot(win, path.c_str()));
        _image = evas_object_image_add(evas_object_evas_get(win));
        evas_object_image_file_set(_image, path.c_str(), nullptr);
        int w = 0, h = 0;
        evas_object_image_size_get(_image, &w, &h);
        EXPECT_EQ(w * h, 360 * 360);
        _data = static_cast<const unsigned int*>(evas_object_image_data_get(_image, EINA_FALSE));
        _stride = evas_object_image_stride_get(_image) / 4;
    }
    ~Frame() { evas_object_del(_image); }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;

    int channel(int x, int y, int shift) const {
        bool inside = _data && x >= 0 && y >= 0 && x < 360 && y < 360;
        return inside ? (_data[y * _stride + x] >> shift) & 0xff : 0;
    }
    int r(int x, int y) const { return channel(x, y, 16); }
    int g(int x, int y) const { return channel(x, y, 8); }
    int b(int x, int y) const { return channel(x, y, 0); }
    bool lit(int x, int y) const { return r(x, y) + g(x, y) + b(x, y) > 200; }
    bool white(int x, int y) const { return std::min({r(x, y), g(x, y), b(x, y)}) > 200; }
    bool green(int x, int y) const { return g(x, y) > 120 && g(x, y) > r(x, y) + 60; }
    bool amber(int x, int y) const {
        return r(x, y) > 200 && g(x, y) > 90 && g(x, y) < 190 && b(x, y) < 80;
    }

    // Lit pixels at distances in [r0, r1) from the screen centre.
    int litInRing(double r0, double r1) const {
        int count = 0;
        for (int y = 0; y < 360; ++y) {
            for (int x = 0; x < 360; ++x) {
                double d = std::hypot(x + 0.5 - 180, y + 0.5 - 180);
                count += d >= r0 && d < r1 && lit(x, y);
            }
        }
        return count;
    }
    // Middle and width of the lit pixels in the box.
    std::pair<double, int> litSpan(int x0, int y0, int x1, int y1) const {
        int left = x1, right = x0 - 1;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (lit(x, y)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        return {(left + right + 1) / 2.0, right + 1 - left};
    }
    int diff(const Frame& other) const {
        int count = 0;
        for (int y = 0; y < 360; ++y) {
            for (int x = 0; x < 360; ++x) {
                count += lit(x, y) != other.lit(x, y);
            }
        }
        return count;
    }

  private:
    Evas_Object* _image = nullptr;
    const unsigned int* _data = nullptr;
    int _stride = 0;
};

Evas_Object* addLayout(Evas_Object* parent, const char* group) {
    Evas_Object* layout = elm_layout_add(parent);
    EXPECT_TRUE(elm_layout_file_set(layout, kEdj.c_str(), group)) << group;
    evas_object_size_hint_weight_set(layout, EVAS_HINT_EXPAND, EVAS_HINT_EXPAND);
    return layout;
}

void count(void* data, Evas_Object*, const char*, const char*) {
    ++*static_cast<int*>(data);
}

// The page controller filling the window, with the needle layout in place.
struct Controller {
    explicit Controller(Evas_Object* win) {
        layout = addLayout(win, "page_controller");
        elm_layout_signal_callback_add(layout, "end,animation", "", count, &endAnimations);
        elm_win_resize_object_add(win, layout);
        evas_object_show(layout);
        picker = addLayout(layout, "page_controller_picker");
        elm_object_part_content_set(layout, "alti_measuring_picker_mark_layout", picker);
    }
    // Turns the needle clockwise about the screen centre, as the program does.
    void turnNeedle(double degrees) {
        auto* mark = const_cast<Evas_Object*>(
            edje_object_part_object_get(elm_layout_edje_get(picker), "alti_measuring_picker_mark"));
        Evas_Map* map = evas_map_new(4);
        evas_map_util_points_populate_from_object(map, mark);
        evas_map_util_rotate(map, degrees, 180, 180);
        evas_map_smooth_set(map, EINA_TRUE);
        evas_object_map_set(mark, map);
        evas_object_map_enable_set(mark, EINA_TRUE);
        evas_map_free(map);
    }
    Evas_Object* layout;
    Evas_Object* picker;
    int endAnimations = 0;
};

void emit(Evas_Object* layout, const char* signal, const char* source = "page_controller") {
    elm_layout_signal_emit(layout, signal, source);
    edje_object_message_signal_process(elm_layout_edje_get(layout));
    edje_object_calc_force(elm_layout_edje_get(layout));
}

// A point at a travel angle of the dial (0 = its start, lower left) and radius.
int dialX(double travel, double r) {
    return static_cast<int>(std::lround(180 + r * std::sin((travel - 140) * M_PI / 180)));
}
int dialY(double travel, double r) {
    return static_cast<int>(std::lround(180 - r * std::cos((travel - 140) * M_PI / 180)));
}
// On a major tick of the ring.
const int kTickX = dialX(120, 165), kTickY = dialY(120, 165);

void tap(Evas_Object* win, int x, int y) {
    Evas* evas = evas_object_evas_get(win);
    evas_event_feed_mouse_move(evas, x, y, 0, nullptr);
    evas_event_feed_mouse_down(evas, 1, EVAS_BUTTON_NONE, 1, nullptr);
    evas_event_feed_mouse_up(evas, 1, EVAS_BUTTON_NONE, 2, nullptr);
    uitest::runLoopUntil([] { return false; }, 50);
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
        {"alti_view",
         {"alti_title", "alti_value", "alti_unit_event", "alti_hour", "alti_graph",
          "alti_init_content", "alti_init_go_text", "alti_init_go_event", "alti_calibrated_text",
          "alti_calibrated_time_and_set_ref_text", "alti_measuring_altitude_text",
          "alti_refresh_and_setting_image", "alti_refresh_event", "rect_acc"}},
        {"alti_value_layout", {"value", "unit"}},
        {"setting_view",
         {"rect_acc", "setting_title", "setting_content_auto_refresh", "setting_content_manual",
          "setting_content_alerts", "setting_content_unit", "setting_edit", "setting_edit_event",
          "setting_edit_event_acc", "setting_help_event"}},
        {"setting_content_manual_layout", {"type"}},
        {"setting_content_unit_layout", {"type", "value"}},
        {"service.provider",
         {"text.provider", "text.permission", "sub.text.permission", "text.purpose",
          "sub.text.purpose", "elm.swallow.TC", "elm.swallow.PP"}},
        {"elm/label/base/slide_title_text", {"elm.text"}},
        {"elm/scroller/base/effect", {"elm.swallow.content"}},
    };
    for (const auto& [group, parts] : groups) {
        Evas_Object* layout = addLayout(win, group);
        for (const char* part : parts) {
            EXPECT_TRUE(edje_object_part_exists(elm_layout_edje_get(layout), part))
                << group << " / " << part;
        }
        evas_object_del(layout);
    }
}

TEST(ThemeTest, PageControllerOpensSwitchesDialsIndexAndNeedle) {
    uitest::ElmBuffer elm;
    Evas_Object* win = uitest::addWindow("ThemeTest");
    Controller c(win);
    emit(c.layout, "set,page,baro,hpa");
    // A layout that is never shown must unblock the pager too.
    int hiddenEnds = 0;
    Evas_Object* hidden = addLayout(win, "page_controller");
    elm_layout_signal_callback_add(hidden, "end,animation", "", count, &hiddenEnds);

    // The opening fade has not ended yet: the pager stays blocked until it has.
    Frame opening(win, "theme_opening.png");
    EXPECT_EQ(c.endAnimations, 0);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return c.endAnimations + hiddenEnds == 2; }, 3000));

    // One ring per page, its labels per unit.
    Frame baroHpa(win, "theme_dial_baro_hpa.png");
    EXPECT_TRUE(baroHpa.amber(kTickX, kTickY));
    emit(c.layout, "set,page,alti,m");
    Frame altiM(win, "theme_dial_alti_m.png");
    EXPECT_TRUE(altiM.green(kTickX, kTickY));
    emit(c.layout, "set,page,alti,ft");
    Frame altiFt(win, "theme_dial_alti_ft.png");
    EXPECT_TRUE(altiFt.green(kTickX, kTickY));
    EXPECT_GT(altiM.diff(altiFt), 200);
    emit(c.layout, "set,page,baro,mmhg");
    Frame baroMmhg(win, "theme_dial_baro_mmhg.png");
    EXPECT_TRUE(baroMmhg.amber(kTickX, kTickY));
    EXPECT_GT(baroHpa.diff(baroMmhg), 200);

    // The selected index dot is bright, the others grey.
    emit(c.layout, "show,index,no,ani");
    emit(c.layout, "index,select,2");
    emit(c.layout, "index,select,1");
    Frame index(win, "theme_index.png");
    EXPECT_TRUE(index.white(180, 345));
    for (int x : {166, 194}) {
        EXPECT_TRUE(index.r(x, 345) > 60 && index.r(x, 345) < 120) << x;
    }
    // "hide,index,show,…" switches the dial like "set,page,…" and fades the index out.
    emit(c.layout, "hide,index,show,baro,inhg");
    uitest::runLoopUntil([] { return false; }, 450);
    Frame inhg(win, "theme_dial_baro_inhg.png");
    EXPECT_TRUE(inhg.amber(kTickX, kTickY));
    EXPECT_GT(baroHpa.diff(inhg), 200);
    EXPECT_FALSE(inhg.lit(166, 345) || inhg.lit(180, 345) || inhg.lit(194, 345));

    // No dial on the settings page, and no needle until it is asked for.
    emit(c.layout, "set,page,setting");
    EXPECT_EQ(Frame(win, "theme_dial_setting.png").litInRing(0, 181), 0);

    // The needle starts at the start of the travel, between radius 118 and the ring.
    emit(c.layout, "show,picker", "alti_measuring_picker_mark_layout");
    uitest::runLoopUntil([] { return false; }, 300);
    Frame start(win, "theme_needle_start.png");
    EXPECT_TRUE(start.white(dialX(0, 140), dialY(0, 140)));
    EXPECT_TRUE(start.white(dialX(0, 130), dialY(0, 130)));
    EXPECT_EQ(start.litInRing(0, 118) + start.litInRing(175, 181), 0);
    // Turned by 140 degrees it points straight up.
    c.turnNeedle(140);
    Frame up(win, "theme_needle_up.png");
    EXPECT_TRUE(up.white(180, 40) && up.white(180, 50));
    EXPECT_FALSE(up.lit(dialX(0, 140), dialY(0, 140)) || up.lit(160, 40) || up.lit(200, 40));

    emit(c.layout, "hide,picker", "alti_measuring_picker_mark_layout");
    uitest::runLoopUntil([] { return false; }, 300);
    EXPECT_EQ(Frame(win, "theme_needle_hidden.png").litInRing(0, 181), 0);
    EXPECT_EQ(c.endAnimations, 1);
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
    elm_layout_signal_callback_add(baro, "mouse,clicked,1", "baro_unit_event", count, &unitTaps);
    elm_layout_signal_callback_add(baro, "mouse,clicked,1", "baro_indicator_event", count,
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
    emit(baro, "change,to,ldumode", "baro_indicator_event");
    tap(win, 180, 310);
    EXPECT_EQ(indicatorTaps, 1);
    EXPECT_FALSE(evas_object_visible_get(indicator));
}

// The gauge pages as the program composes them, with the needle at the value.
TEST(ThemeTest, ComposedGaugePagesStayInsideTheCircle) {
    uitest::ElmBuffer elm;
    elm_theme_extension_add(nullptr, kEdj.c_str());
    Evas_Object* win = uitest::addWindow("ThemeTest");
    Controller c(win);
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
    // Turned before it is shown, as on a page change.
    double needle = (1013 - 350) * 280.0 / 800;
    c.turnNeedle(needle);
    emit(c.layout, "show,picker", "alti_measuring_picker_mark_layout");

    // The value and unit pair is centred whatever the unit.
    const char* pairs[][3] = {{"29.92", "inHg", "theme_baro_inhg.png"},
                              {"760", "mmHg", "theme_baro_mmhg.png"},
                              {"1013", "hPa", "theme_baro.png"}};
    for (const auto& pair : pairs) {
        elm_object_part_text_set(value, "value", pair[0]);
        elm_object_part_text_set(value, "unit", pair[1]);
        Frame f(win, pair[2]);
        auto [middle, width] = f.litSpan(60, 120, 300, 178);
        EXPECT_NEAR(middle, 180, 4) << pair[0] << " " << pair[1];
        EXPECT_GT(width, 120) << pair[0] << " " << pair[1];
        if (std::string(pair[1]) != "hPa") {
            continue;
        }
        // Title, secondary line and trend image are centred in the column.
        EXPECT_NEAR(f.litSpan(80, 46, 280, 76).first, 180, 4);
        EXPECT_NEAR(f.litSpan(70, 190, 290, 212).first, 180, 4);
        EXPECT_NEAR(f.litSpan(150, 290, 210, 330).first, 180, 3);
        EXPECT_TRUE(f.white(dialX(needle, 140), dialY(needle, 140)));
        // Nothing reaches past the ring into the screen's edge.
        EXPECT_EQ(f.litInRing(174, 181), 0);
    }

    Evas_Object* alti = addLayout(c.layout, "alti_view");
    elm_object_part_content_set(c.layout, "scroller", alti);
    elm_object_part_text_set(alti, "title", "Altimeter");
    emit(c.layout, "hide,index,show,alti,m");
    c.turnNeedle((350 + 800) * 280.0 / 9600);
    uitest::runLoopUntil([] { return false; }, 300);
    Frame altiShot(win, "theme_alti.png");
    EXPECT_NEAR(altiShot.litSpan(80, 46, 280, 76).first, 180, 4);
    EXPECT_TRUE(altiShot.green(kTickX, kTickY));
    EXPECT_EQ(altiShot.litInRing(174, 181), 0);
}

}  // namespace
