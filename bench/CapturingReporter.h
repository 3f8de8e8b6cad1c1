#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tallyline {

// Prints to the console as usual and keeps each benchmark's mean CPU time
// per iteration, so that a main can set benchmarks against each other.
class CapturingReporter : public benchmark::ConsoleReporter {
public:
    // Without colours: the figures usually end up in a file or a report.
    CapturingReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override;

    // Nanoseconds, or nothing when the benchmark did not run or failed.
    std::optional<double> MeanNanoseconds(const std::string& name) const;

private:
    struct Sum {
        double nanoseconds = 0;
        int runs = 0;
    };
    std::map<std::string, Sum> repetitions_;
    // With repetitions the library's own mean, which is all it reports when
    // asked for aggregates only.
    std::map<std::string, double> means_;
};

}  // namespace tallyline
