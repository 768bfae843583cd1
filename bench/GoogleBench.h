#pragma once

// Google Benchmark runs whose medians go into the figure table.

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "FigureTable.h"

namespace brimwell::bench {

using BenchFunction = std::function<void(benchmark::State&)>;

// A floor: the same work done with nothing but the toolkit or the system. Figures and floors
// count CPU time unless ->UseRealTime() is called on the result.
benchmark::internal::Benchmark* AddFloor(const std::string& name, BenchFunction run);
// A figure of the program, set against a floor added under the name floor.
benchmark::internal::Benchmark* AddFigure(const std::string& name, const std::string& floor,
                                          Target target, BenchFunction run);

// Runs the registered benchmarks with the given command line and prints the figure table.
int RunBenchmarks(int argc, char** argv);

}  // namespace brimwell::bench
