#include "table.h"

#include <cstdio>

namespace vtbench {

namespace {

std::string Number(double value) {
  if (value < 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, value >= 100 ? "%.0f" : value >= 10 ? "%.1f" : "%.2f", value);
  return text;
}

std::string Ratio(double a, double b) {
  if (a < 0 || b <= 0) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%.2fx", a / b);
  return text;
}

std::string OrDash(const std::string& text) { return text.empty() ? "-" : text; }

}  // namespace

void PrintHeader() {
  std::printf(
      "HEAD\tmeasure\tunit\ttool\tfloor\ttool/floor\talternative\talt\ttool/alt\t"
      "calls/ext tool\tcalls/ext floor\tgoal\tresult\n");
}

void PrintRow(const TableRow& row) {
  std::printf("ROW\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n", row.measure.c_str(), row.unit.c_str(),
              Number(row.tool).c_str(), Number(row.floor).c_str(), Ratio(row.tool, row.floor).c_str(),
              OrDash(row.altName).c_str(), Number(row.alt).c_str(), Ratio(row.tool, row.alt).c_str(),
              Number(row.toolCalls).c_str(), Number(row.floorCalls).c_str(), OrDash(row.goal).c_str(),
              row.goal.empty() ? "-"
              : row.met        ? "met"
                               : "MISSED");
  std::fflush(stdout);
}

}  // namespace vtbench
