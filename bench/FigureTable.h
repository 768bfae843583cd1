#pragma once

// The benchmarks' one output: each figure beside the floor that the toolkit or the system
// sets for the same work, measured in the same run, and their ratio. Shared machines make
// absolute times wander; a ratio against a floor measured alongside holds still.

#include <optional>
#include <string>

namespace brimwell::bench {

enum class Unit { Nanoseconds, Kibibytes };

// What a figure must stay within, if anything: a ceiling on its own value or on its ratio.
struct Target {
  enum class Kind { None, Under, RatioAtMost } kind = Kind::None;
  double limit = 0;

  static Target None() { return {}; }
  static Target UnderNanoseconds(double ns) { return {Kind::Under, ns}; }
  static Target RatioAtMost(double ratio) { return {Kind::RatioAtMost, ratio}; }
};

inline constexpr double kMicrosecond = 1e3;
inline constexpr double kMillisecond = 1e6;

// Names a figure, the floor it is set against (empty for a floor itself) and its target.
// Figures are printed in the order they are declared.
void DeclareFigure(const std::string& name, const std::string& floor, Target target = {});

// The measured value of a figure or floor; a later value for the same name replaces it.
void RecordValue(const std::string& name, double value, Unit unit = Unit::Nanoseconds);

// Every declared figure with its value, its floor's value, the ratio and whether the target
// holds, one line each.
std::string FigureTableText();

// Prints that table. Returns false when a declared figure or floor was never measured.
bool PrintFigureTable();

}  // namespace brimwell::bench
