// The six-hour graph on the buffer engine: visible ranges, the calibration
// line, the now mark and the zero label, updates that follow the list, a
// destroyed graph, and rendered screenshots of a pressure and an altitude
// window in a 360x360 window.
#include <ZentrelGraph.h>
#include <ZentrelStorageMgr.h>
#include <cairo.h>
#include <gtest/gtest.h>
#include <ostra/ostra_efl.h>
#include <ostra/uxt_theme.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "UiTestSupport.h"
#include "ZentrelChart.h"

namespace {

const int64_t START = 1700000000;  // time of the oldest point, seconds
const int GRAPH_X = 58, GRAPH_Y = 215, GRAPH_W = 244, GRAPH_H = 75;

using Values = std::function<void(int index, int32_t& alti, int32_t& baro)>;

std::shared_ptr<ZentrelGraphItemList> makeList(const Values& values, int count = 180) {
    auto list = std::make_shared<ZentrelGraphItemList>();
    for (int i = 0; i < count; ++i) {
        ZentrelGraphItem item;
        item._itemTime = START + static_cast<int64_t>(i) * ZentrelGraphItemList::GRAPH_PERIOD;
        values(i, item._itemAlti, item._itemBaro);
        list->appendItem(item);
    }
    list->updateMinMax();
    return list;
}

// Altitude falls linearly from -10 to -50 m; pressure rises from 1000 to 1010.
void lowValues(int i, int32_t& alti, int32_t& baro) {
    alti = -10 - (40 * i) / 179;
    baro = 1000 + (10 * i) / 179;
}

// A believable morning: pressure falls ahead of a front, from 1013 hPa to
// 1004 hPa with a small wobble; a walker climbs from 120 m to 470 m and
// comes down to 300 m.
void dayValues(int i, int32_t& alti, int32_t& baro) {
    double t = i / 179.0;
    baro = static_cast<int32_t>(1013.4 - 9.0 * t * t + 1.2 * std::sin(t * 9.0));
    alti = static_cast<int32_t>(120 + 350 * std::sin(t * 2.4) * std::exp(-0.3 * t));
}

// A PNG read once; pixels as unpremultiplied RGB.
class Png {
  public:
    explicit Png(const std::string& path)
        : _surface(cairo_image_surface_create_from_png(path.c_str())) {}
    ~Png() { cairo_surface_destroy(_surface); }
    Png(const Png&) = delete;
    Png& operator=(const Png&) = delete;
    bool ok() const { return cairo_surface_status(_surface) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(_surface); }
    int height() const { return cairo_image_surface_get_height(_surface); }
    unsigned int pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= width() || y >= height()) {
            return 0;
        }
        const unsigned char* data = cairo_image_surface_get_data(_surface);
        int stride = cairo_image_surface_get_stride(_surface);
        return reinterpret_cast<const unsigned int*>(data + y * stride)[x] & 0xffffff;
    }
    int r(int x, int y) const { return (pixel(x, y) >> 16) & 0xff; }
    int g(int x, int y) const { return (pixel(x, y) >> 8) & 0xff; }
    int b(int x, int y) const { return pixel(x, y) & 0xff; }
    // Pixels of the box whose blue clearly exceeds red (the graph's blues).
    int bluePixels(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += b(x, y) > r(x, y) + 40;
            }
        }
        return n;
    }
    // Pixels of the box in the curve colour above the goal line (#2FA7FF).
    int curvePixels(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += b(x, y) > 235 && g(x, y) > 145 && r(x, y) < 90;
            }
        }
        return n;
    }
    int litPixels(int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += r(x, y) + g(x, y) + b(x, y) > 60;
            }
        }
        return n;
    }

  private:
    cairo_surface_t* _surface;
};

std::string shotPath(const char* name) {
    g_mkdir_with_parents(SCREENSHOT_DIR, 0755);
    return std::string(SCREENSHOT_DIR) + "/" + name;
}

class GraphTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("OSTRA_RESOURCE_DIR", RES_DIR, 1);
        _colors = uxt_theme_color_table_load(RES_DIR "/table/Zentrel_color.xml");
        _fonts = uxt_theme_font_table_load(RES_DIR "/table/Zentrel_font.xml");
        ASSERT_NE(_colors, nullptr);
        ASSERT_NE(_fonts, nullptr);
        uxt_theme_table_apply(_colors);
        uxt_theme_table_apply(_fonts);
        win = uitest::addWindow("GraphTest");
        layout = elm_layout_add(win);
        ASSERT_TRUE(elm_layout_file_set(layout, RES_DIR "/edje/graph_test.edj", "graph_test"));
        evas_object_move(layout, 0, 0);
        evas_object_resize(layout, 360, 360);
        evas_object_show(layout);
        graph = std::make_unique<ZentrelGraph>("GraphTest");
    }

    void TearDown() override {
        graph.reset();
        if (win) {
            evas_object_del(win);
        }
        uxt_theme_table_free(_colors);
        uxt_theme_table_free(_fonts);
    }

    ZentrelChart* chartOf() {
        Evas_Object* obj = graph->getChartObject();
        return obj ? static_cast<ZentrelChart*>(evas_object_data_get(obj, "zentrel_chart"))
                   : nullptr;
    }

    // Creates the graph and waits for its first rendering and now mark.
    void create(std::shared_ptr<ZentrelGraphItemList> list, ZentrelGraphType type) {
        int updated = log.count("Now mark updated");
        graph->createGraph(layout, "graph", list, type);
        ASSERT_NE(graph->getChartObject(), nullptr);
        ASSERT_TRUE(
            uitest::runLoopUntil([&] { return log.count("Now mark updated") > updated; }, 3000));
    }

    void withSLPHistory() { ZentrelStorageMgr::getInstance()->addDataSLPHistory(START, 1013.25); }

    testsupport::TempRoot root;
    testsupport::LogCapture log;
    uitest::ElmBuffer elm;
    Evas_Object* win = nullptr;
    Evas_Object* layout = nullptr;
    std::unique_ptr<ZentrelGraph> graph;

  private:
    uxt_theme_table_h _colors = nullptr;
    uxt_theme_table_h _fonts = nullptr;
};

TEST(GraphRangeTest, GetMinMaxPadsTheRangeAsDrawn) {
    auto low = makeList(lowValues);
    float min = 0, max = 0;
    ZentrelGraph::getMinMax(*low, ALTI_GRAPH, min, max);
    EXPECT_FLOAT_EQ(min, -55.0f);
    EXPECT_FLOAT_EQ(max, 5.0f);
    ZentrelGraph::getMinMax(*low, BARO_GRAPH, min, max);
    EXPECT_FLOAT_EQ(min, 980.0f);
    EXPECT_FLOAT_EQ(max, 1020.1f);

    ZentrelGraphItemList high;
    high.setAltiMin(100);
    high.setAltiMax(200);
    ZentrelGraph::getMinMax(high, ALTI_GRAPH, min, max);
    EXPECT_FLOAT_EQ(min, 0.0f);
    EXPECT_FLOAT_EQ(max, 220.0f);
    // Below zero with a maximum under 1: a tenth of the minimum above zero.
    high.setAltiMin(-7);
    high.setAltiMax(0);
    ZentrelGraph::getMinMax(high, ALTI_GRAPH, min, max);
    EXPECT_FLOAT_EQ(min, -7.7f);
    EXPECT_FLOAT_EQ(max, 0.7f);
}

TEST_F(GraphTest, AltitudeBelowZeroShowsRangeAndZeroLabel) {
    withSLPHistory();
    auto list = makeList(lowValues);
    ASSERT_EQ(list->getAltiMin(), -50);
    ASSERT_EQ(list->getAltiMax(), -10);
    create(list, ALTI_GRAPH);
    ZentrelChart* chart = chartOf();
    ASSERT_NE(chart, nullptr);
    EXPECT_FLOAT_EQ(chart->getVisibleMin(), -55.0f);
    EXPECT_FLOAT_EQ(chart->getVisibleMax(), 5.0f);
    EXPECT_EQ(chart->getGridLineCount(), 60);
    EXPECT_TRUE(log.contains("item count : 180"));
    EXPECT_TRUE(log.contains("Graph created"));
    EXPECT_TRUE(log.contains("Graph rendering finished"));

    int x, y, w, h;
    evas_object_geometry_get(graph->getChartObject(), &x, &y, &w, &h);
    EXPECT_EQ(x, GRAPH_X);
    EXPECT_EQ(y, GRAPH_Y);
    EXPECT_EQ(w, GRAPH_W);
    EXPECT_EQ(h, GRAPH_H);

    Evas_Object* zero = graph->getZeroLabel();
    ASSERT_NE(zero, nullptr);
    EXPECT_TRUE(evas_object_visible_get(zero));
    int zx, zy, zw, zh;
    evas_object_geometry_get(zero, &zx, &zy, &zw, &zh);
    EXPECT_EQ(zx, GRAPH_X - 16);
    EXPECT_EQ(zw, 16);
    EXPECT_EQ(zh, 21);
    // Centred on the value -1: offset 54 above -55 in a range of 60.
    int zeroDy = chart->getGridLinePosY(54.0f);
    EXPECT_EQ(zeroDy, static_cast<int>(std::lround(75.0 * (1.0 - 54.0 / 60.0))));
    EXPECT_EQ(zy, GRAPH_Y + zeroDy - 10);
    EXPECT_STREQ(evas_object_textblock_text_markup_get(zero), "0");
    const char* style = evas_textblock_style_get(evas_object_textblock_style_get(zero));
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(std::string(style).rfind(
                  "DEFAULT='font=Roboto:style=Regular font_size=16 color=#9E9E9E", 0),
              0u)
        << style;
    EXPECT_TRUE(log.contains("Zero TextBlock x:42"));
}

TEST_F(GraphTest, PressureWindowShowsRangeWithoutZeroLabel) {
    auto list = makeList(lowValues);
    create(list, BARO_GRAPH);
    ZentrelChart* chart = chartOf();
    ASSERT_NE(chart, nullptr);
    EXPECT_FLOAT_EQ(chart->getVisibleMin(), 980.0f);
    EXPECT_FLOAT_EQ(chart->getVisibleMax(), 1020.1f);
    EXPECT_EQ(chart->getGridLineCount(), 40);
    EXPECT_TRUE(log.contains("Data Min 980.000000 Max1020.099976"));
    EXPECT_EQ(graph->getZeroLabel(), nullptr);
    // The chart's data is the list, in milliseconds.
    ASSERT_EQ(chart->getData().size(), 180u);
    EXPECT_EQ(chart->getData().front().timeMs, START * 1000);
    EXPECT_FLOAT_EQ(chart->getData().front().value, 1000.0f);
    EXPECT_FLOAT_EQ(chart->getData().back().value, 1010.0f);
    EXPECT_DOUBLE_EQ(chart->getShowRegionStart(), START * 1000.0);
}

TEST_F(GraphTest, NowMarkSitsAtTheRightEndAtTheNewestValue) {
    auto list = makeList(dayValues);
    create(list, BARO_GRAPH);
    ZentrelChart* chart = chartOf();
    Evas_Object* mark = graph->getNowMark();
    ASSERT_NE(mark, nullptr);
    EXPECT_TRUE(evas_object_visible_get(mark));
    int mx, my, mw, mh;
    evas_object_geometry_get(mark, &mx, &my, &mw, &mh);
    EXPECT_EQ(mw, 16);
    EXPECT_EQ(mh, 16);
    EXPECT_EQ(mx, GRAPH_X + GRAPH_W - mw / 2 - 1);
    float newest = static_cast<float>(list->getLastItem()._itemBaro);
    int dy = chart->getGridLinePosY(std::trunc(newest - chart->getVisibleMin()));
    EXPECT_EQ(my + mh, GRAPH_Y + dy);
    double range = chart->getVisibleMax() - chart->getVisibleMin();
    EXPECT_NEAR(dy, 75.0 * (1.0 - (newest - chart->getVisibleMin()) / range), 1.5);
    // Coloured with the now-mark colour.
    int r, g, b, a;
    evas_object_color_get(mark, &r, &g, &b, &a);
    EXPECT_EQ(r, 0xFA);
    EXPECT_EQ(a, 255);
    EXPECT_TRUE(log.contains("Check Position x:58 y:215 w:244 h:75"));

    // Sliding the page: the mark keeps its place on the page.
    evas_object_move(layout, -100, 0);
    graph->moveNowMark();
    int nx, ny;
    evas_object_geometry_get(mark, &nx, &ny, nullptr, nullptr);
    EXPECT_EQ(nx, -100 + mx);
    EXPECT_EQ(ny, my);
    EXPECT_TRUE(log.contains("Move nowmark completed"));

    graph->hideArrow();
    EXPECT_FALSE(evas_object_visible_get(mark));
    graph->showArrow();
    EXPECT_TRUE(evas_object_visible_get(mark));
    EXPECT_TRUE(log.contains("hide Arrow. Type : 1"));
    EXPECT_TRUE(log.contains("show Arrow. Type : 1"));

    // A page off its place (x below 58) loses the mark when it is redrawn.
    int updated = log.count("Now mark updated");
    chartOf()->update();
    ASSERT_TRUE(uitest::runLoopUntil(
        [&] { return log.contains("Page is Moving or Not TopPage so Remove Arrow"); }, 3000));
    EXPECT_EQ(graph->getNowMark(), nullptr);
    EXPECT_EQ(log.count("Now mark updated"), updated);
}

TEST_F(GraphTest, AltitudeWithoutSLPHistoryShowsNoNowMark) {
    auto list = makeList(dayValues);
    graph->createGraph(layout, "graph", list, ALTI_GRAPH);
    ASSERT_TRUE(
        uitest::runLoopUntil([&] { return log.contains("Alti Graph is Unable to show"); }, 3000));
    EXPECT_EQ(graph->getNowMark(), nullptr);
    EXPECT_NE(graph->getChartObject(), nullptr);
}

TEST_F(GraphTest, CalibrationLineOnlyInsideTheWindow) {
    withSLPHistory();
    auto list = makeList(dayValues);
    create(list, ALTI_GRAPH);
    ZentrelChart* chart = chartOf();

    // Older than the oldest point: no line.
    ZentrelStorageMgr::getInstance()->saveDataCalTime(START - 1);
    graph->updateCalTimeLine(list);
    EXPECT_FALSE(chart->isHandlerVisible());
    EXPECT_FALSE(log.contains("Caltimeline updated"));

    // Within the window: at the newest point at or before it.
    int64_t calTime = START + 100 * 120 + 70;
    ZentrelStorageMgr::getInstance()->saveDataCalTime(calTime);
    int renders = chart->getRenderCount();
    graph->updateCalTimeLine(list);
    EXPECT_TRUE(chart->isHandlerVisible());
    EXPECT_EQ(chart->getHandlerTime(), (START + 100 * 120) * 1000);
    EXPECT_TRUE(log.contains("Caltimeline updated"));
    double lineX = chart->getXForTime(chart->getHandlerTime());
    EXPECT_NEAR(lineX, 100.0 * GRAPH_W / 180.0, 0.01);
    ASSERT_TRUE(uitest::runLoopUntil([&] { return chart->getRenderCount() > renders; }, 3000));
    uitest::runLoopUntil([] { return false; }, 200);

    std::string shot = shotPath("graph_alti.png");
    ASSERT_TRUE(ostra_efl_window_screenshot(win, shot.c_str()));
    Png png(shot);
    ASSERT_TRUE(png.ok());
    // The amber line (#FFB300) runs down the column at its x.
    int column = GRAPH_X + static_cast<int>(std::floor(lineX));
    int amber = 0;
    for (int y = GRAPH_Y; y < GRAPH_Y + GRAPH_H; ++y) {
        amber += png.r(column, y) > 200 && png.g(column, y) > 140 && png.b(column, y) < 80;
    }
    EXPECT_GT(amber, GRAPH_H * 3 / 4);
    // The curve is filled and the corners stay black.
    EXPECT_GT(png.bluePixels(GRAPH_X, GRAPH_Y, GRAPH_X + GRAPH_W, GRAPH_Y + GRAPH_H), 4000);
    EXPECT_EQ(png.litPixels(0, 0, 40, 40), 0);
    EXPECT_EQ(png.litPixels(320, 320, 360, 360), 0);
}

TEST_F(GraphTest, CreateOnNullListLogsAndDoesNothing) {
    graph->createGraph(layout, "graph", nullptr, BARO_GRAPH);
    EXPECT_TRUE(log.contains("itemList is nullptr!"));
    EXPECT_EQ(graph->getChartObject(), nullptr);
    EXPECT_EQ(elm_object_part_content_get(layout, "graph"), nullptr);
    EXPECT_FALSE(log.contains("Graph created"));
}

// A new point slides in: the drawn region moves to its new start over 0.4 s,
// drawn in several frames, instead of jumping.
TEST_F(GraphTest, NewPointSlidesInOverTheAnimation) {
    auto list = makeList(dayValues);
    create(list, BARO_GRAPH);
    ZentrelChart* chart = chartOf();
    uitest::runLoopUntil([] { return false; }, 200);
    const double before = chart->getShownRegionStart();
    ZentrelGraphItem item;
    item._itemTime = list->getLastItem()._itemTime + ZentrelGraphItemList::GRAPH_PERIOD;
    item._itemBaro = 995;
    item._itemAlti = 500;
    list->appendItem(item);
    const int renders = chart->getRenderCount();
    graph->updateGraph(list);
    list->removeItem(0);
    const double target = chart->getShowRegionStart();
    ASSERT_GT(target, before);
    EXPECT_DOUBLE_EQ(chart->getShownRegionStart(), before);
    bool between = false;
    uitest::runLoopUntil(
        [&] {
            const double shown = chart->getShownRegionStart();
            between = between || (shown > before && shown < target);
            return shown == target;
        },
        2000);
    EXPECT_TRUE(between);
    EXPECT_DOUBLE_EQ(chart->getShownRegionStart(), target);
    EXPECT_GE(chart->getRenderCount() - renders, 3);
}

TEST_F(GraphTest, UpdateDropsTheOldestAndAppendsTheNewest) {
    auto list = makeList(dayValues);
    create(list, BARO_GRAPH);
    ZentrelChart* chart = chartOf();
    double regionStart = chart->getShowRegionStart();

    // As the page controller does: append, update the pages, drop the oldest.
    for (int step = 0; step < 3; ++step) {
        ZentrelGraphItem item;
        item._itemTime = list->getLastItem()._itemTime + ZentrelGraphItemList::GRAPH_PERIOD;
        item._itemBaro = 995 - step;
        item._itemAlti = 500 + step;
        list->appendItem(item);
        list->setBaroMin(std::min(list->getBaroMin(), item._itemBaro));
        int updated = log.count("Now mark updated");
        graph->updateGraph(list);
        list->removeItem(0);
        ASSERT_TRUE(
            uitest::runLoopUntil([&] { return log.count("Now mark updated") > updated; }, 3000));
    }
    EXPECT_TRUE(log.contains("Update graph ["));
    EXPECT_TRUE(log.contains("Graph updated ["));
    const auto& data = chart->getData();
    ASSERT_EQ(data.size(), list->getCount());
    for (unsigned int i = 0; i < list->getCount(); ++i) {
        EXPECT_EQ(data[i].timeMs, list->getItem(i)->_itemTime * 1000) << i;
        EXPECT_FLOAT_EQ(data[i].value, static_cast<float>(list->getItem(i)->_itemBaro)) << i;
    }
    // Scrolled by three points; the range follows the new minimum.
    EXPECT_NEAR(chart->getShowRegionStart(), regionStart + 3 * 120000.0, 1.0);
    EXPECT_NEAR(chart->getShowRegionStart(), list->getItem(0)->_itemTime * 1000.0, 1.0);
    EXPECT_FLOAT_EQ(chart->getVisibleMin(), static_cast<float>(993 * 98) / 100);
    // The mark follows the newest value.
    int my, mh;
    evas_object_geometry_get(graph->getNowMark(), nullptr, &my, nullptr, &mh);
    int dy = chart->getGridLinePosY(std::trunc(993.0f - chart->getVisibleMin()));
    EXPECT_EQ(my + mh, GRAPH_Y + dy);
}

TEST_F(GraphTest, OperationsAfterDestroyAreNoOps) {
    withSLPHistory();
    auto list = makeList(lowValues);
    create(list, ALTI_GRAPH);
    ASSERT_NE(graph->getNowMark(), nullptr);
    ASSERT_NE(graph->getZeroLabel(), nullptr);
    graph->destroyGraph();
    EXPECT_TRUE(log.contains("destroyGraph start (GraphTest)"));
    EXPECT_TRUE(log.contains("destroyGraph end"));
    EXPECT_EQ(graph->getChartObject(), nullptr);
    EXPECT_EQ(graph->getNowMark(), nullptr);
    EXPECT_EQ(graph->getZeroLabel(), nullptr);
    EXPECT_EQ(elm_object_part_content_get(layout, "graph"), nullptr);

    log.clear();
    graph->updateGraph(list);
    ZentrelStorageMgr::getInstance()->saveDataCalTime(START + 600);
    graph->updateCalTimeLine(list);
    graph->moveNowMark();
    graph->showArrow();
    graph->hideArrow();
    uitest::runLoopUntil([] { return false; }, 200);
    EXPECT_FALSE(log.contains("Update graph"));
    EXPECT_FALSE(log.contains("Update caltimeline"));
    EXPECT_FALSE(log.contains("Move nowmark completed"));
    EXPECT_FALSE(log.contains("Update now mark"));
    EXPECT_EQ(graph->getChartObject(), nullptr);
    EXPECT_EQ(graph->getNowMark(), nullptr);
    graph->destroyGraph();
}

TEST_F(GraphTest, RendersSixHourPressureWindow) {
    auto list = makeList(dayValues);
    create(list, BARO_GRAPH);
    uitest::runLoopUntil([] { return false; }, 200);
    std::string shot = shotPath("graph_baro.png");
    ASSERT_TRUE(ostra_efl_window_screenshot(win, shot.c_str()));
    Png png(shot);
    ASSERT_TRUE(png.ok());
    EXPECT_EQ(png.width(), 360);
    EXPECT_EQ(png.height(), 360);
    ZentrelChart* chart = chartOf();
    double range = chart->getVisibleMax() - chart->getVisibleMin();
    // Every column of the graph is filled from the curve down to the bottom,
    // and clear above the curve.
    int filledColumns = 0;
    for (int x = GRAPH_X + 1; x < GRAPH_X + GRAPH_W - 1; x += 3) {
        int i = std::min(179, static_cast<int>((x - GRAPH_X) * 180.0 / GRAPH_W));
        double v = list->getItem(i)->_itemBaro;
        int curveY =
            GRAPH_Y + static_cast<int>(75.0 * (1.0 - (v - chart->getVisibleMin()) / range));
        bool below = png.bluePixels(x, curveY + 3, x + 1, GRAPH_Y + GRAPH_H - 1) ==
                     GRAPH_Y + GRAPH_H - 1 - (curveY + 3);
        bool above = png.bluePixels(x, GRAPH_Y, x + 1, curveY - 4) == 0;
        filledColumns += below && above;
    }
    EXPECT_GE(filledColumns, 78);
    // The whole curve lies above the goal line, so its edge is the curve colour.
    EXPECT_GT(png.curvePixels(GRAPH_X, GRAPH_Y, GRAPH_X + GRAPH_W, GRAPH_Y + GRAPH_H), 300);
    // The now mark is drawn at the right end; the corners and the sides of
    // the graph stay black.
    int mx, my;
    evas_object_geometry_get(graph->getNowMark(), &mx, &my, nullptr, nullptr);
    EXPECT_GT(png.litPixels(mx + 8, my + 10, mx + 16, my + 16), 20);
    EXPECT_EQ(png.litPixels(0, 0, 40, 40), 0);
    EXPECT_EQ(png.litPixels(320, 0, 360, 40), 0);
    EXPECT_EQ(png.litPixels(0, 320, 40, 360), 0);
    EXPECT_EQ(png.litPixels(320, 320, 360, 360), 0);
    EXPECT_EQ(png.litPixels(0, GRAPH_Y, GRAPH_X - 20, GRAPH_Y + GRAPH_H), 0);
}

TEST_F(GraphTest, RendersAltitudeCrossingSeaLevel) {
    withSLPHistory();
    auto list = makeList([](int i, int32_t& alti, int32_t& baro) {
        double t = i / 179.0;
        alti = static_cast<int32_t>(42 - 80 * t + 6 * std::sin(t * 12));
        baro = 1008;
    });
    create(list, ALTI_GRAPH);
    ASSERT_NE(graph->getZeroLabel(), nullptr);
    uitest::runLoopUntil([] { return false; }, 200);
    std::string shot = shotPath("graph_alti_sea_level.png");
    ASSERT_TRUE(ostra_efl_window_screenshot(win, shot.c_str()));
    Png png(shot);
    ASSERT_TRUE(png.ok());
    // The zero label is drawn left of the graph at the goal line.
    int zx, zy;
    evas_object_geometry_get(graph->getZeroLabel(), &zx, &zy, nullptr, nullptr);
    EXPECT_GT(png.litPixels(zx, zy, zx + 16, zy + 21), 10);
    EXPECT_GT(png.bluePixels(GRAPH_X, GRAPH_Y, GRAPH_X + GRAPH_W, GRAPH_Y + GRAPH_H), 3000);
    EXPECT_EQ(png.litPixels(0, 0, 40, 40), 0);
    // The curve's edge is the curve colour above the goal line (-1) and the
    // area colour below it.
    int goalY =
        GRAPH_Y + chartOf()->getGridLinePosY(std::trunc(-1.0f - chartOf()->getVisibleMin()));
    EXPECT_GT(png.curvePixels(GRAPH_X, GRAPH_Y, GRAPH_X + GRAPH_W, goalY - 1), 100);
    EXPECT_EQ(png.curvePixels(GRAPH_X, goalY + 2, GRAPH_X + GRAPH_W - 10, GRAPH_Y + GRAPH_H), 0);
    // The goal line itself: #3C3C3C over the black left of the curve's end.
    EXPECT_GT(png.litPixels(GRAPH_X, goalY, GRAPH_X + GRAPH_W, goalY + 1), 100);
}

}  // namespace
