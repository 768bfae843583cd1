#include "GoogleBench.h"

#include <set>

namespace brimwell::bench {
namespace {

double NanosecondsPer(benchmark::TimeUnit unit) {
  switch (unit) {
    case benchmark::kNanosecond:
      return 1;
    case benchmark::kMicrosecond:
      return 1e3;
    case benchmark::kMillisecond:
      return 1e6;
    case benchmark::kSecond:
      return 1e9;
  }
  return 1;
}

// Takes each benchmark's median over its repetitions (or its one run without repetitions): in
// wall-clock time where the benchmark asked for it (work that waits for the disk), otherwise
// in the process's CPU time, which is what the work takes on an idle machine and which a
// shared machine's load disturbs far less.
class FigureReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string& name = run.run_name.function_name;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (!median && (run.run_type == Run::RT_Aggregate || haveMedian_.count(name))) continue;
      if (median) haveMedian_.insert(name);
      const bool wallClock = run.run_name.time_type == "real_time";
      const double time = wallClock ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
      RecordValue(name, time * NanosecondsPer(run.time_unit));
    }
  }

 private:
  std::set<std::string> haveMedian_;
};

}  // namespace

benchmark::internal::Benchmark* AddFloor(const std::string& name, BenchFunction run) {
  return benchmark::RegisterBenchmark(name.c_str(), std::move(run));
}

benchmark::internal::Benchmark* AddFigure(const std::string& name, const std::string& floor,
                                          Target target, BenchFunction run) {
  DeclareFigure(name, floor, target);
  return benchmark::RegisterBenchmark(name.c_str(), std::move(run));
}

int RunBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintFigureTable();
  return 0;
}

}  // namespace brimwell::bench
