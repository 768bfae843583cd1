#pragma once

// Google Benchmark runs whose medians go into the figure table.

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

#include "FigureTable.h"

namespace brimwell::bench {

using BenchFunction = std::function<void(benchmark::State&)>;

// Work that only computes counts the process's CPU time: what it takes on an idle machine, and
// what a shared machine's load disturbs far less. Work that waits for the disk counts wall time.
enum class Clock { Cpu, Wall };

// A floor: the same work done with nothing but the toolkit or the system.
void AddFloor(const std::string& name, BenchFunction run, Clock clock = Clock::Cpu);
// A figure of the program, set against a floor added under the name floor.
void AddFigure(const std::string& name, const std::string& floor, Target target, BenchFunction run,
               Clock clock = Clock::Cpu);

// Runs the registered benchmarks with the given command line and prints the figure table.
// Fails when a benchmark reported an error.
int RunBenchmarks(int argc, char** argv);

}  // namespace brimwell::bench
