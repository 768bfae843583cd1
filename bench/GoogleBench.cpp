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

// Takes each benchmark's median over its repetitions (or its one run without repetitions), on
// the clock that the benchmark was added with.
class FigureReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred) {
        failed_ = true;
        continue;
      }
      const std::string& name = run.run_name.function_name;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (!median && (run.run_type == Run::RT_Aggregate || haveMedian_.count(name))) continue;
      if (median) haveMedian_.insert(name);
      const bool wallClock = run.run_name.time_type == "real_time";
      const double time = wallClock ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime();
      RecordValue(name, time * NanosecondsPer(run.time_unit));
    }
  }

  bool Failed() const { return failed_; }

 private:
  std::set<std::string> haveMedian_;
  bool failed_ = false;
};

}  // namespace

void AddFloor(const std::string& name, BenchFunction run, Clock clock) {
  benchmark::internal::Benchmark* added =
      benchmark::RegisterBenchmark(name.c_str(), std::move(run));
  if (clock == Clock::Wall) added->UseRealTime();
}

void AddFigure(const std::string& name, const std::string& floor, Target target, BenchFunction run,
               Clock clock) {
  DeclareFigure(name, floor, target);
  AddFloor(name, std::move(run), clock);
}

int RunBenchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  FigureReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  PrintFigureTable();
  return reporter.Failed() ? 1 : 0;
}

}  // namespace brimwell::bench
