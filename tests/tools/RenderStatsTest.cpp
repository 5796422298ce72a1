#include "ToolRunner.h"

#include <gtest/gtest.h>

#include <cctype>
#include <charconv>
#include <map>

namespace {

// What either format says, read back into one shape.
struct Figures {
    std::map<std::string, long long> file; // result, malformed_line, steps, ...
    std::map<int, long long> nodes;
    std::map<std::pair<int, int>, std::pair<std::string, long long>> lines;
    std::map<int, long long> markers;
    friend bool operator==(const Figures&, const Figures&) = default;
};

// An integer written as one: digits, a minus sign at most, nothing else.
long long Integer(const std::string& text) {
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    EXPECT_TRUE(!text.empty() && error == std::errc() && end == text.data() + text.size())
        << "not an integer: '" << text << "'";
    return value;
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

Figures ParseCsv(const std::string& text) {
    Figures figures;
    auto rows = Split(text, '\n');
    EXPECT_EQ(rows.back(), "") << "the last row ends in a line feed";
    rows.pop_back();
    EXPECT_EQ(rows.at(0), "kind,node,node2,colour,value");
    for (std::size_t k = 1; k < rows.size(); ++k) {
        const auto f = Split(rows[k], ',');
        EXPECT_EQ(f.size(), 5u) << rows[k];
        if (f.size() != 5) {
            continue;
        }
        const long long value = Integer(f[4]);
        if (f[0] == "node") {
            figures.nodes[static_cast<int>(Integer(f[1]))] = value;
        } else if (f[0] == "line") {
            figures.lines[{static_cast<int>(Integer(f[1])), static_cast<int>(Integer(f[2]))}] = {
                f[3], value};
        } else if (f[0] == "marker") {
            figures.markers[static_cast<int>(Integer(f[1]))] = value;
        } else {
            EXPECT_EQ(f[1] + f[2] + f[3], "") << rows[k];
            figures.file[f[0]] = value;
        }
    }
    return figures;
}

// Just enough JSON for the statistics: objects, arrays, plain strings, integers.
class Json {
  public:
    struct Value {
        std::string text;     // strings
        long long number = 0; // integers
        std::map<std::string, Value> members;
        std::vector<Value> items;
    };

    static Value Parse(const std::string& text) {
        Json parser(text);
        Value value = parser.ParseValue();
        parser.SkipBlanks();
        EXPECT_EQ(parser.at, text.size()) << "text after the object";
        return value;
    }

  private:
    explicit Json(const std::string& text) : text(text) {}

    void SkipBlanks() {
        while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) {
            ++at;
        }
    }
    bool Take(char c) {
        SkipBlanks();
        if (at < text.size() && text[at] == c) {
            ++at;
            return true;
        }
        return false;
    }
    std::string String() {
        EXPECT_TRUE(Take('"'));
        const std::size_t end = text.find('"', at);
        std::string value = text.substr(at, end - at);
        EXPECT_EQ(value.find('\\'), std::string::npos);
        at = end + 1;
        return value;
    }
    Value ParseValue() {
        Value value;
        SkipBlanks();
        if (Take('{')) {
            while (!Take('}')) {
                const std::string name = String();
                EXPECT_TRUE(Take(':'));
                value.members[name] = ParseValue();
                Take(',');
            }
        } else if (Take('[')) {
            while (!Take(']')) {
                value.items.push_back(ParseValue());
                Take(',');
            }
        } else if (at < text.size() && text[at] == '"') {
            value.text = String();
        } else {
            const std::size_t begin = at;
            while (at < text.size() && (text[at] == '-' || std::isdigit(text[at]))) {
                ++at;
            }
            value.number = Integer(text.substr(begin, at - begin));
        }
        return value;
    }

    const std::string& text;
    std::size_t at = 0;
};

Figures ParseJson(const std::string& text, std::string& view) {
    const Json::Value root = Json::Parse(text);
    Figures figures;
    EXPECT_EQ(root.members.at("schema").number, 1);
    view = root.members.at("view").text;
    for (const char* name :
         {"result", "malformed_line", "steps", "marker_steps", "no_node_steps"}) {
        figures.file[name] = root.members.at(name).number;
    }
    for (const auto& node : root.members.at("nodes").items) {
        figures.nodes[static_cast<int>(node.members.at("node").number)] =
            node.members.at("steps").number;
    }
    for (const auto& line : root.members.at("lines").items) {
        figures.lines[{static_cast<int>(line.members.at("node").number),
                       static_cast<int>(line.members.at("node2").number)}] = {
            line.members.at("colour").text, line.members.at("count").number};
    }
    for (const auto& marker : root.members.at("markers").items) {
        figures.markers[static_cast<int>(marker.members.at("node").number)] =
            marker.members.at("count").number;
    }
    return figures;
}

// Both formats of one call, checked to say the same.
Figures StatsOf(const std::vector<std::string>& arguments, const std::string& expectedView) {
    const ToolRun csv = RunTool(arguments);
    std::vector<std::string> jsonArguments = arguments;
    jsonArguments.insert(jsonArguments.begin() + 1, {"--format", "json"});
    const ToolRun json = RunTool(jsonArguments);
    EXPECT_EQ(csv.exitStatus, 0) << csv.err;
    EXPECT_EQ(json.exitStatus, 0) << json.err;
    std::string view;
    const Figures figures = ParseCsv(csv.out);
    EXPECT_EQ(ParseJson(json.out, view), figures);
    EXPECT_EQ(view, expectedView);
    return figures;
}

// The non-zero lines, as (node, node2) -> colour and count.
std::map<std::pair<int, int>, std::pair<std::string, long long>> DrawnLines(const Figures& f) {
    auto lines = f.lines;
    std::erase_if(lines, [](const auto& line) { return line.second.second == 0; });
    return lines;
}

std::map<int, long long> NonZero(std::map<int, long long> counts) {
    std::erase_if(counts, [](const auto& entry) { return entry.second == 0; });
    return counts;
}

// A tag line, a marker before and after a corner run, a step without an
// icosahedron node (class 0: a marker step on the octahedron), an empty line.
const char* const sampleFile =
    "QORN-V run\n;;;;;3\n;;;;;0\n;;;;;1\n;;;;;5\n;;;;;17\n;;;;;3\n\n;;;;;4\n";

TEST(RenderStats, IcosahedronCountsInBothFormats) {
    TemporaryKzt file(sampleFile);
    const Figures f = StatsOf({"--stats", file.path}, "icosahedron");
    EXPECT_EQ(f.file, (std::map<std::string, long long>{{"result", 1},
                                                        {"malformed_line", 0},
                                                        {"steps", 8},
                                                        {"marker_steps", 2},
                                                        {"no_node_steps", 1}}));
    EXPECT_EQ(NonZero(f.nodes), (std::map<int, long long>{{1, 1}, {3, 2}, {4, 1}, {5, 1}}));
    EXPECT_EQ(DrawnLines(f), (decltype(f.lines){{{1, 3}, {"red", 2}}, {{3, 4}, {"black", 1}}}));
    EXPECT_EQ(NonZero(f.markers), (std::map<int, long long>{{3, 2}}));
    // Every pair once, a node with itself included: 13 * 14 / 2.
    EXPECT_EQ(f.lines.size(), 91u);
    EXPECT_EQ(f.lines.at(std::pair(1, 5)), std::pair(std::string("red"), 0LL));
    EXPECT_EQ(f.lines.at(std::pair(2, 13)).first, "black");
}

TEST(RenderStats, OctahedronCountsClassCodes) {
    TemporaryKzt file(sampleFile);
    const Figures f = StatsOf({"--stats", "--view", "octahedron", file.path}, "octahedron");
    EXPECT_EQ(f.file.at("marker_steps"), 3);
    EXPECT_EQ(f.file.at("no_node_steps"), 0);
    EXPECT_EQ(NonZero(f.nodes), (std::map<int, long long>{{1, 1}, {2, 3}, {3, 1}}));
    EXPECT_EQ(DrawnLines(f), (decltype(f.lines){{{1, 2}, {"red", 2}}, {{2, 2}, {"black", 1}}}));
    EXPECT_EQ(NonZero(f.markers), (std::map<int, long long>{{1, 1}, {2, 2}}));
    EXPECT_EQ(f.lines.size(), 28u);
}

TEST(RenderStats, DemonstrationSequenceWithoutFile) {
    const Figures ico = StatsOf({"--stats"}, "icosahedron");
    EXPECT_EQ(ico.file.at("steps"), 338);
    EXPECT_EQ(DrawnLines(ico).size(), 85u); // 75 seen, 10 of zero length
    // The demonstration has no class codes: the octahedron shows no path.
    const Figures octa = StatsOf({"--stats", "--view", "octahedron"}, "octahedron");
    EXPECT_EQ(octa.file.at("steps"), 0);
    EXPECT_TRUE(DrawnLines(octa).empty());
}

TEST(RenderStats, MalformedLineIsAWarningAndItsNumberIsReported) {
    TemporaryKzt file(";;;;;4\r\nQORN-V\r\n;;;;;6\r\n;;;;;+5\r\n;;;;;6\r\n");
    const Figures f = StatsOf({"--stats", file.path}, "icosahedron");
    EXPECT_EQ(f.file.at("result"), -1);
    EXPECT_EQ(f.file.at("malformed_line"), 4);
    EXPECT_EQ(f.file.at("steps"), 2);
    EXPECT_EQ(DrawnLines(f), (decltype(f.lines){{{4, 6}, {"black", 1}}}));
    const ToolRun run = RunTool({"--stats", file.path});
    EXPECT_NE(run.err.find("line 4"), std::string::npos) << run.err;
}

TEST(RenderStats, UnopenableFileFailsWithNothingOnStdout) {
    const ToolRun run = RunTool({"--stats", "--format", "json", "/nonexistent/run.kzt"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("/nonexistent/run.kzt"), std::string::npos);
}

} // namespace
