#pragma once
// A console reporter that prints, after the usual table, each measurement's ratio to its
// baseline measured in the same run (the machines are shared and noisy: only ratios within one
// run mean something). Run with --benchmark_repetitions=N, each measurement's fastest
// repetition counts.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    struct Pair {
        std::string measured; // benchmark name prefixes
        std::string baseline;
        std::string goal = {}; // printed beside the ratio; may be empty; "(...)": a remark
    };
    RatioReporter(std::string title, std::vector<Pair> pairs, std::string note = {});

    void ReportRuns(const std::vector<Run> &runs) override;
    void Finalize() override;

private:
    double find(const std::string &prefix) const;

    std::string title_;
    std::vector<Pair> pairs_;
    std::string note_;
    std::map<std::string, double> seconds_;
};
