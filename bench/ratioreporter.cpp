#include "ratioreporter.h"

#include <algorithm>
#include <cstdio>
#include <thread>
#include <utility>

RatioReporter::RatioReporter(std::string title, std::vector<Pair> pairs, std::string note)
    : title_(std::move(title)), pairs_(std::move(pairs)), note_(std::move(note))
{
}

void RatioReporter::ReportRuns(const std::vector<Run> &runs)
{
    ConsoleReporter::ReportRuns(runs);
    // With --benchmark_repetitions the fastest repetition counts: on a shared machine the
    // other loads only ever add time.
    for (const Run &r : runs) {
        if (r.run_type != Run::RT_Iteration || r.iterations <= 0)
            continue;
        const double t = r.GetAdjustedRealTime();
        auto it = seconds_.find(r.benchmark_name());
        if (it == seconds_.end())
            seconds_.emplace(r.benchmark_name(), t);
        else if (t < it->second)
            it->second = t;
    }
}

void RatioReporter::Finalize()
{
    ConsoleReporter::Finalize();
    std::printf("\n%s\n", title_.c_str());
    for (const Pair &p : pairs_) {
        const double a = find(p.measured);
        const double b = find(p.baseline);
        if (a > 0 && b > 0)
            std::printf("  %-24s / %-24s %6.2f%s%s\n", p.measured.c_str(), p.baseline.c_str(),
                        a / b, p.goal.empty() ? "" : p.goal[0] == '(' ? "   " : "   goal: ", p.goal.c_str());
    }
    if (!note_.empty())
        std::printf("%s\n", note_.c_str());
    // Ratios of threaded work mean little without the cores the run had to itself.
    double load = -1;
    if (FILE *f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = -1;
        std::fclose(f);
    }
    const unsigned cores = std::thread::hardware_concurrency();
    if (load >= 0)
        std::printf("(%u cores, load average over the last minute %.1f: about %.0f free)\n", cores, load,
                    std::max(0.0, double(cores) - load));
}

double RatioReporter::find(const std::string &prefix) const
{
    for (const auto &[name, t] : seconds_)
        if (name.compare(0, prefix.size(), prefix) == 0)
            return t;
    return 0;
}
