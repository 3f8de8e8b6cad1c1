#include "CapturingReporter.h"

namespace tallyline {

void CapturingReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        // Aggregates would count the repetitions a second time.
        if (run.error_occurred || run.run_type != Run::RT_Iteration || run.iterations == 0) continue;
        const double seconds = run.cpu_accumulated_time / static_cast<double>(run.iterations);
        Sum& sum = sums_[run.benchmark_name()];
        sum.nanoseconds += seconds * 1e9;
        sum.runs += 1;
    }
}

std::optional<double> CapturingReporter::MeanNanoseconds(const std::string& name) const {
    const auto found = sums_.find(name);
    if (found == sums_.end()) return std::nullopt;
    return found->second.nanoseconds / found->second.runs;
}

}  // namespace tallyline
