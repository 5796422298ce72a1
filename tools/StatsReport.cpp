#include "StatsReport.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace {

// std::to_string of integers is locale-free; so is everything else here.
std::string Number(std::uint64_t value) {
    return std::to_string(value);
}

const char* ColourName(const PathStatistics& statistics, std::size_t a, std::size_t b) {
    return statistics.LineRed(a, b) ? "red" : "black";
}

// Every pair of nodes once, the smaller number first, a node with itself included.
template <typename Visit> void ForEachLine(const PathStatistics& statistics, Visit visit) {
    for (std::size_t a = 1; a < statistics.nodeCount; ++a) {
        for (std::size_t b = a; b < statistics.nodeCount; ++b) {
            visit(a, b);
        }
    }
}

std::string Csv(const LoadReport& load, const PathStatistics& statistics) {
    std::string out = "kind,node,node2,colour,value\n";
    out += "result,,,," + std::to_string(load.result) + '\n';
    out += "malformed_line,,,," + Number(load.malformedLine) + '\n';
    out += "steps,,,," + Number(statistics.steps) + '\n';
    out += "marker_steps,,,," + Number(statistics.markerSteps) + '\n';
    out += "no_node_steps,,,," + Number(statistics.noNodeSteps) + '\n';
    for (std::size_t node = 1; node < statistics.nodeCount; ++node) {
        out += "node," + Number(node) + ",,," + Number(statistics.nodeSteps[node]) + '\n';
    }
    ForEachLine(statistics, [&](std::size_t a, std::size_t b) {
        out += "line," + Number(a) + ',' + Number(b) + ',' + ColourName(statistics, a, b) + ',' +
               Number(statistics.LineRuns(a, b)) + '\n';
    });
    for (std::size_t node = 1; node < statistics.nodeCount; ++node) {
        out += "marker," + Number(node) + ",,," + Number(statistics.markerDots[node]) + '\n';
    }
    return out;
}

// One array of objects, one object a line.
template <typename Entry>
void JsonArray(std::string& out, const char* name, std::size_t count, Entry entry,
               bool last = false) {
    out += "  \"";
    out += name;
    out += "\": [";
    for (std::size_t k = 0; k < count; ++k) {
        out += k == 0 ? "\n    {" : ",\n    {";
        entry(k);
        out += '}';
    }
    out += count == 0 ? "]" : "\n  ]";
    out += last ? "\n" : ",\n";
}

std::string Json(const LoadReport& load, const PathStatistics& statistics) {
    std::string out = "{\n  \"schema\": 1,\n";
    out += "  \"view\": \"";
    out += StructureOf(statistics.kind).commandLineName;
    out += "\",\n";
    out += "  \"result\": " + std::to_string(load.result) + ",\n";
    out += "  \"malformed_line\": " + Number(load.malformedLine) + ",\n";
    out += "  \"steps\": " + Number(statistics.steps) + ",\n";
    out += "  \"marker_steps\": " + Number(statistics.markerSteps) + ",\n";
    out += "  \"no_node_steps\": " + Number(statistics.noNodeSteps) + ",\n";
    const std::size_t nodes = statistics.nodeCount - 1;
    JsonArray(out, "nodes", nodes, [&](std::size_t k) {
        out += "\"node\": " + Number(k + 1) + ", \"steps\": " + Number(statistics.nodeSteps[k + 1]);
    });
    std::vector<std::pair<std::size_t, std::size_t>> lines;
    ForEachLine(statistics, [&](std::size_t a, std::size_t b) { lines.emplace_back(a, b); });
    JsonArray(out, "lines", lines.size(), [&](std::size_t k) {
        const auto [a, b] = lines[k];
        out += "\"node\": " + Number(a) + ", \"node2\": " + Number(b) + ", \"colour\": \"" +
               ColourName(statistics, a, b) + "\", \"count\": " + Number(statistics.LineRuns(a, b));
    });
    JsonArray(
        out, "markers", nodes,
        [&](std::size_t k) {
            out += "\"node\": " + Number(k + 1) +
                   ", \"count\": " + Number(statistics.markerDots[k + 1]);
        },
        true);
    out += "}\n";
    return out;
}

} // namespace

std::string FormatStatistics(const LoadReport& load, const PathStatistics& statistics,
                             StatsFormat format) {
    return format == StatsFormat::Json ? Json(load, statistics) : Csv(load, statistics);
}
