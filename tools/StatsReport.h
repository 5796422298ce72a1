#pragma once

#include "PathStatistics.h"
#include "SequenceLoader.h"

#include <string>

enum class StatsFormat { Csv, Json };

// The counts behind a picture as text: one CSV table, or one JSON object. Both
// hold the same figures in the same order; the layout is described in
// qornv-render(1) and kept stable.
//
// CSV: header "kind,node,node2,colour,value"; rows of the kinds result,
// malformed_line, steps, marker_steps, no_node_steps (value only), then node
// (node, value), line (node <= node2, colour, value) and marker (node, value).
std::string FormatStatistics(const LoadReport& load, const PathStatistics& statistics,
                             StatsFormat format);
