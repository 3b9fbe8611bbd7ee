// Prints each benchmark as usual, then the ratio of every measured case to
// its baseline from the same run, so results compare across machines.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
  public:
    // pairs: (measured benchmark name, baseline benchmark name)
    explicit RatioReporter(std::vector<std::pair<std::string, std::string>> pairs)
        : _pairs(std::move(pairs)) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& run : runs) {
            _nsPerIteration[run.benchmark_name()] = run.GetAdjustedRealTime();
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
    }

  private:
    std::vector<std::pair<std::string, std::string>> _pairs;
    std::map<std::string, double> _nsPerIteration;
};
