#include "bench/CapturingReporter.h"

namespace tallyline {

void CapturingReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.error_occurred) continue;
        const double nanoseconds = run.GetAdjustedCPUTime() * 1e9 / benchmark::GetTimeUnitMultiplier(run.time_unit);
        const std::string name = run.run_name.str();
        if (run.run_type == Run::RT_Aggregate) {
            if (run.aggregate_name == "mean") means_[name] = nanoseconds;
            continue;
        }
        Sum& sum = repetitions_[name];
        sum.nanoseconds += nanoseconds;
        sum.runs += 1;
    }
}

std::optional<double> CapturingReporter::MeanNanoseconds(const std::string& name) const {
    if (const auto mean = means_.find(name); mean != means_.end()) return mean->second;
    if (const auto sum = repetitions_.find(name); sum != repetitions_.end()) {
        return sum->second.nanoseconds / sum->second.runs;
    }
    return std::nullopt;
}

}  // namespace tallyline
