// The widget's dial (tracks, shaded sectors, eight labels along the circle)
// against a bare cairo redraw of the same two arcs in solid colours, and the
// resident memory that 10,000 redraws of each add.
#include <Elementary.h>
#include <ZentrelStorageMgr.h>
#include <ZentrelUtil.h>
#include <ZentrelWidgetGauge.h>
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <ostra/ostra_efl.h>
#include <ostra/uxt_theme.h>
#include <stdlib.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

#include "RatioReporter.h"

namespace {

constexpr int kRedrawsForMemory = 10000;
constexpr double kPi = 3.141592653589793;

Evas_Object* gWindow = nullptr;

// A pressure that moves every redraw, as readings do.
double pressureAt(long long i) {
    return 950.0 + static_cast<double>(i % 100);
}

long residentKib() {
    FILE* status = fopen("/proc/self/status", "r");
    if (!status) {
        return -1;
    }
    char line[256];
    long kib = -1;
    while (fgets(line, sizeof line, status)) {
        if (sscanf(line, "VmRSS: %ld kB", &kib) == 1) {
            break;
        }
    }
    fclose(status);
    return kib;
}

// The same two arcs, tracks and sectors, solid, no labels.
struct BareDial {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 360, 360);
    cairo_t* cr = cairo_create(surface);
    ~BareDial() {
        cairo_destroy(cr);
        cairo_surface_destroy(surface);
    }
    void arc(double from, double to, bool negative, double r, double g, double b) {
        cairo_set_source_rgb(cr, r, g, b);
        cairo_new_path(cr);
        if (negative) {
            cairo_arc_negative(cr, 180, 180, 172.5, from * kPi / 180, to * kPi / 180);
        } else {
            cairo_arc(cr, 180, 180, 172.5, from * kPi / 180, to * kPi / 180);
        }
        cairo_stroke(cr);
    }
    void redraw(double pressure) {
        cairo_save(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(cr);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
        cairo_set_line_width(cr, 15.0);
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        arc(95.5, 264.5, false, 0.12, 0.23, 0.18);
        arc(84.5, 275.5, true, 0.23, 0.16, 0.07);
        arc(95.5, 107.5, false, 0.11, 0.71, 0.52);
        arc(84.5, 87 - 0.2175 * (pressure - 350) + 2.5, true, 1.0, 0.56, 0.0);
        cairo_restore(cr);
        cairo_surface_flush(surface);
    }
};

void BM_GaugeRedraw(benchmark::State& state) {
    ZentrelWidgetGauge gauge;
    gauge.create(gWindow);
    long long i = 0;
    for (auto _ : state) {
        gauge.updateValue(pressureAt(i++), "0", "1013");
    }
}

void BM_BareCairoArcs(benchmark::State& state) {
    BareDial dial;
    long long i = 0;
    for (auto _ : state) {
        dial.redraw(pressureAt(i++));
    }
}

// Resident memory added by 10,000 redraws after a warm-up.
void measureGrowth(benchmark::State& state, const std::function<void(long long)>& redraw) {
    for (auto _ : state) {
        for (long long i = 0; i < 100; ++i) {
            redraw(i);
        }
        const long before = residentKib();
        for (long long i = 0; i < kRedrawsForMemory; ++i) {
            redraw(i);
        }
        state.counters["rss_growth_kib"] = static_cast<double>(residentKib() - before);
    }
}

void BM_GaugeRedraw10k(benchmark::State& state) {
    ZentrelWidgetGauge gauge;
    gauge.create(gWindow);
    measureGrowth(state, [&](long long i) { gauge.updateValue(pressureAt(i), "0", "1013"); });
}

void BM_BareCairoArcs10k(benchmark::State& state) {
    BareDial dial;
    measureGrowth(state, [&](long long i) { dial.redraw(pressureAt(i)); });
}

BENCHMARK(BM_GaugeRedraw);
BENCHMARK(BM_BareCairoArcs);
BENCHMARK(BM_GaugeRedraw10k)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareCairoArcs10k)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    char pattern[] = "/tmp/zentrel-bench-XXXXXX";
    const std::string root = mkdtemp(pattern);
    setenv("OSTRA_ROOT", root.c_str(), 1);
    setenv("ELM_DISPLAY", "buffer", 1);
    setenv("ELM_ACCEL", "none", 1);
    elm_init(0, nullptr);
    ostra_efl_glib_integrate();
    ZentrelStorageMgr* storage = ZentrelStorageMgr::getInstance();
    storage->initStorage();
    // With a reference both sectors and all eight labels are drawn.
    storage->addDataSLPHistory(static_cast<long long>(time(nullptr)), 1013.25);
    storage->saveDataSLP(1013.25);
    uxt_theme_table_h colors = uxt_theme_color_table_load(ZentrelUtil::getAppColorTablePath());
    uxt_theme_table_h fonts = uxt_theme_font_table_load(ZentrelUtil::getAppFontTablePath());
    uxt_theme_table_apply(colors);
    uxt_theme_table_apply(fonts);
    gWindow = elm_win_add(nullptr, "bench", ELM_WIN_BASIC);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter(
        std::vector<std::pair<std::string, std::string>>{{"BM_GaugeRedraw", "BM_BareCairoArcs"}});
    reporter.addCounterRatio("BM_GaugeRedraw10k/iterations:1", "BM_BareCairoArcs10k/iterations:1",
                             "rss_growth_kib");
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    evas_object_del(gWindow);
    uxt_theme_table_free(colors);
    uxt_theme_table_free(fonts);
    elm_shutdown();
    std::filesystem::remove_all(root);
    return 0;
}
