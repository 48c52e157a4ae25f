#pragma once
// The console table of Google Benchmark, then each measurement's ratio to its baseline measured
// in the same run (these machines are shared and noisy, so only ratios compare across runs).

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Pair {
        std::string measured; // benchmark name prefix
        std::string baseline;
    };

    // `title` heads the ratio list (it names the goal); `footnote`, when not empty, follows it.
    RatioReporter(std::string title, std::vector<Pair> pairs, std::string footnote = {});

    void ReportRuns(const std::vector<Run> &runs) override;
    void Finalize() override;

private:
    double find(const std::string &prefix) const;

    std::string title_;
    std::vector<Pair> pairs_;
    std::string footnote_;
    std::map<std::string, double> seconds_;
};
