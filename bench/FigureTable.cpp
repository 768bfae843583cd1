#include "FigureTable.h"

#include <cstdarg>
#include <cstdio>
#include <map>
#include <vector>

namespace brimwell::bench {
namespace {

struct Figure {
  std::string name;
  std::string floor;
  Target target;
};

struct Value {
  double amount;
  Unit unit;
};

std::vector<Figure>& Figures() {
  static std::vector<Figure> figures;
  return figures;
}

std::map<std::string, Value>& Values() {
  static std::map<std::string, Value> values;
  return values;
}

std::string Printed(const char* format, ...) {
  char line[256];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(line, sizeof line, format, arguments);
  va_end(arguments);
  return line;
}

std::string Format(double amount, Unit unit) {
  char text[32];
  if (unit == Unit::Kibibytes)
    std::snprintf(text, sizeof text, "%.1f MiB", amount / 1024);
  else if (amount < kMicrosecond)
    std::snprintf(text, sizeof text, "%.1f ns", amount);
  else if (amount < kMillisecond)
    std::snprintf(text, sizeof text, "%.2f us", amount / kMicrosecond);
  else
    std::snprintf(text, sizeof text, "%.2f ms", amount / kMillisecond);
  return text;
}

std::string Describe(const Target& target, Unit unit) {
  switch (target.kind) {
    case Target::Kind::None:
      return "";
    case Target::Kind::Under:
      return "< " + Format(target.limit, unit);
    case Target::Kind::RatioAtMost: {
      char text[16];
      std::snprintf(text, sizeof text, "<= %.2fx", target.limit);
      return text;
    }
  }
  return "";
}

bool Holds(const Target& target, double amount, double ratio) {
  switch (target.kind) {
    case Target::Kind::None:
      return true;
    case Target::Kind::Under:
      return amount < target.limit;
    case Target::Kind::RatioAtMost:
      return ratio <= target.limit;
  }
  return true;
}

const Value* Find(const std::string& name) {
  const auto found = Values().find(name);
  return found == Values().end() ? nullptr : &found->second;
}

}  // namespace

void DeclareFigure(const std::string& name, const std::string& floor, Target target) {
  Figures().push_back({name, floor, target});
}

void RecordValue(const std::string& name, double value, Unit unit) {
  Values().insert_or_assign(name, Value{value, unit});
}

std::string FigureTableText() {
  std::string text = Printed("\n%-44s %11s  %-36s %11s %8s  %-11s %s\n", "figure", "value", "floor",
                             "value", "ratio", "target", "holds");
  for (const Figure& figure : Figures()) {
    const Value* value = Find(figure.name);
    const Value* floor = Find(figure.floor);
    if (!value || !floor) {
      text += Printed("%-44s not measured\n", figure.name.c_str());
      continue;
    }
    const double ratio = value->amount / floor->amount;
    const std::string target = Describe(figure.target, value->unit);
    const char* holds = target.empty()                               ? ""
                        : Holds(figure.target, value->amount, ratio) ? "yes"
                                                                     : "NO";
    text += Printed("%-44s %11s  %-36s %11s %7.3fx  %-11s %s\n", figure.name.c_str(),
                    Format(value->amount, value->unit).c_str(), figure.floor.c_str(),
                    Format(floor->amount, floor->unit).c_str(), ratio, target.c_str(), holds);
  }
  return text;
}

bool PrintFigureTable() {
  std::fputs(FigureTableText().c_str(), stdout);
  std::fflush(stdout);
  for (const Figure& figure : Figures())
    if (!Find(figure.name) || !Find(figure.floor)) return false;
  return true;
}

}  // namespace brimwell::bench
