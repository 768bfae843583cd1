#pragma once

// Whole processes as the benchmarks time them: started, waited for, and measured by the system.

#include <optional>
#include <string>
#include <vector>

namespace brimwell::bench {

struct ProcessRun {
  double nanoseconds;     // wall time from start to end
  double cpuNanoseconds;  // user + system
  double peakKibibytes;   // peak resident memory
};

// Runs arguments[0] with the rest as its arguments, its output (standard output and error)
// dropped, to its end. Nothing when it could not start, did not end with exit code 0, or ran
// past a minute, after which it is killed.
std::optional<ProcessRun> RunProcess(const std::vector<std::string>& arguments, char** environment);

double Median(std::vector<double> values);

// The median of one field over runs.
double MedianOf(const std::vector<ProcessRun>& runs, double ProcessRun::*field);

// The main() of a benchmark of whole processes: its one optional argument is how many times each
// process runs (by default defaultRuns), which measure takes; prints the usage for anything else.
int RunsMain(int argc, char** argv, int defaultRuns, int (*measure)(int runs));

}  // namespace brimwell::bench
