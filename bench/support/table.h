// One line of the results table. Each benchmark prints its rows on stdout as tab-separated fields
// after the marker "ROW"; scripts/bench.sh gathers them under one header.
#pragma once
#include <string>

namespace vtbench {

struct TableRow {
  std::string measure;
  std::string unit = "ms";
  double tool = -1;   // median of the tool's runs; -1: not measured
  double floor = -1;  // median of the fewest direct calls doing the same
  std::string altName;
  double alt = -1;        // median of what a user or developer would use instead
  double toolCalls = -1;  // registry calls per extension
  double floorCalls = -1;
  std::string goal;  // empty: no goal for this row
  bool met = false;
};

// Prints the row; ratios are computed here (tool/floor, tool/alt).
void PrintRow(const TableRow& row);
// The header with the same columns, after the marker "HEAD"; every benchmark prints it first.
void PrintHeader();

}  // namespace vtbench
