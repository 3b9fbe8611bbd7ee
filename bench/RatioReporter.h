// Prints each benchmark as usual, then the ratio of every measured case to
// its baseline from the same run, so results compare across machines.
#pragma once

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    // pairs: (measured benchmark name, baseline benchmark name)
    // Colours only on a terminal: results saved to a file stay readable.
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular),
          _pairs(std::move(pairs)) {}

    // Also compares a user counter of two benchmarks, for figures that are
    // not times (memory, for one).
    void addCounterRatio(std::string measured, std::string baseline, std::string counter) {
        _counterRatios.push_back({std::move(measured), std::move(baseline), std::move(counter)});
    }

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            _nsPerIteration[run.benchmark_name()] = run.GetAdjustedRealTime();
            for (const auto& counter : run.counters) {
                _counters[run.benchmark_name() + "\n" + counter.first] = counter.second.value;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        printf("\nratios (measured / baseline, same run):\n");
        for (const auto& pair : _pairs) {
            auto measured = _nsPerIteration.find(pair.first);
            auto baseline = _nsPerIteration.find(pair.second);
            if (measured == _nsPerIteration.end() || baseline == _nsPerIteration.end() ||
                baseline->second <= 0) {
                continue;
            }
            printf("  %-32s / %-32s = %6.2f\n", pair.first.c_str(), pair.second.c_str(),
                   measured->second / baseline->second);
        }
        for (const auto& ratio : _counterRatios) {
            auto measured = _counters.find(ratio.measured + "\n" + ratio.counter);
            auto baseline = _counters.find(ratio.baseline + "\n" + ratio.counter);
            if (measured == _counters.end() || baseline == _counters.end() ||
                baseline->second <= 0) {
                continue;
            }
            std::string left = ratio.measured + " " + ratio.counter;
            std::string right = ratio.baseline + " " + ratio.counter;
            printf("  %-32s / %-32s = %6.2f\n", left.c_str(), right.c_str(),
                   measured->second / baseline->second);
        }
    }

  private:
    struct CounterRatio {
        std::string measured;
        std::string baseline;
        std::string counter;
    };

    std::vector<std::pair<std::string, std::string>> _pairs;
    std::vector<CounterRatio> _counterRatios;
    std::map<std::string, double> _nsPerIteration;
    std::map<std::string, double> _counters;
};
