// The include graph of the product folders, held against the layer order of the house: folders include
// only what lies below them, sub-folders inside a folder likewise, no two units include each other by any
// road, and the bridges' KSDK.h never sees JNI. Read from the source tree, so the next change that breaks
// a layer fails here, with every offending line named.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Include {
    std::string from;  // the including file, relative to the source root
    int line;
    std::string to;  // our file it resolves to, or the name of a system header
    bool system;     // a name none of our folders holds
};
using Graph = std::vector<Include>;

const std::vector<std::string> kProductFolders = {"platform", "scene",   "runtime1", "runtime2",
                                                  "common",   "bridge1", "bridge2"};
const std::vector<std::string> kIncludeRoots = {
    "platform/include", "scene/include", "runtime1/include", "runtime2/include", "runtime1/src",   "runtime2/src",
    "scene/src",        "common",        "bridge1",          "bridge2",          "bridge1/frames", "bridge2/frames"};

// What each folder may include besides itself.
const std::map<std::string, std::vector<std::string>> kMayInclude = {
    {"platform", {}},
    {"scene", {"platform/include/plexa/vector_units.h"}},  // the processor's vector units, to pick its loops
    {"runtime1", {"platform/", "scene/"}},
    {"runtime2", {"platform/", "scene/"}},
    {"common", {"platform/"}},
    {"bridge1", {"platform/", "common/", "runtime1/include/"}},
    {"bridge2", {"platform/", "common/", "runtime2/include/"}}};

// The virtual sensors' control faces sit in the runtimes' include/ for tests and the demo; a bridge that
// included one would run only on our runtime.
const std::set<std::string> kControlFaces = {"runtime1/include/runtime1/VirtualSensor1.h",
                                             "runtime2/include/runtime2/VirtualSensor2.h"};

// The layers inside a folder, lowest first; a file belongs to the first whose prefix it has.
const std::map<std::string, std::vector<std::string>> kLayers = {
    {"runtime1", {"runtime1/include/", "runtime1/src/sources/", "runtime1/src/"}},
    {"runtime2", {"runtime2/include/", "runtime2/src/"}},
    {"bridge1", {"bridge1/frames/", "bridge1/"}},
    {"bridge2", {"bridge2/frames/", "bridge2/"}}};

const std::vector<std::string> kMustNotSeeJni = {"bridge1/KSDK.h", "bridge2/KSDK.h"};

std::string topFolder(const std::string& path) { return path.substr(0, path.find('/')); }
bool startsWith(const std::string& path, const std::string& prefix) {
    return path.compare(0, prefix.size(), prefix) == 0;
}
std::string where(const Include& i) { return i.from + ":" + std::to_string(i.line) + " includes " + i.to; }

std::vector<std::string> folderViolations(const Graph& graph) {
    std::vector<std::string> found;
    for (const Include& i : graph) {
        if (i.system || topFolder(i.to) == topFolder(i.from)) continue;
        const auto allowed = kMayInclude.find(topFolder(i.from));
        const bool ok = allowed != kMayInclude.end() && !kControlFaces.count(i.to) &&
                        std::any_of(allowed->second.begin(), allowed->second.end(),
                                    [&](const std::string& prefix) { return startsWith(i.to, prefix); });
        if (!ok) found.push_back(where(i));
    }
    return found;
}

int layerOf(const std::string& path) {
    const auto layers = kLayers.find(topFolder(path));
    if (layers == kLayers.end()) return -1;
    for (size_t k = 0; k < layers->second.size(); ++k) {
        if (startsWith(path, layers->second[k])) return static_cast<int>(k);
    }
    return -1;
}

std::vector<std::string> layerViolations(const Graph& graph) {
    std::vector<std::string> found;
    for (const Include& i : graph) {
        if (i.system || topFolder(i.to) != topFolder(i.from)) continue;
        if (layerOf(i.from) >= 0 && layerOf(i.from) < layerOf(i.to)) found.push_back(where(i));
    }
    return found;
}

// A unit is a header with the .cpp/.inc files of its folder and stem. Units that reach each other form a
// cycle; each group is reported once, with the lines that join it.
std::vector<std::string> cycleViolations(const Graph& graph) {
    const auto unit = [](const std::string& file) { return fs::path(file).replace_extension().generic_string(); };
    std::map<std::string, std::set<std::string>> edges, reach;
    for (const Include& i : graph) {
        if (!i.system && unit(i.from) != unit(i.to)) edges[unit(i.from)].insert(unit(i.to));
    }
    for (const auto& start : edges) {
        std::vector<std::string> pending(start.second.begin(), start.second.end());
        std::set<std::string>& seen = reach[start.first];
        while (!pending.empty()) {
            const std::string next = pending.back();
            pending.pop_back();
            const auto onward = edges.find(next);
            if (seen.insert(next).second && onward != edges.end()) {
                pending.insert(pending.end(), onward->second.begin(), onward->second.end());
            }
        }
    }
    std::vector<std::string> found;
    std::set<std::string> reported;
    for (const auto& start : reach) {
        if (reported.count(start.first) || !start.second.count(start.first)) continue;
        std::set<std::string> group;
        for (const std::string& other : start.second) {
            const auto back = reach.find(other);
            if (back != reach.end() && back->second.count(start.first)) group.insert(other);
        }
        std::string text = "cycle:";
        for (const Include& i : graph) {
            if (!i.system && unit(i.from) != unit(i.to) && group.count(unit(i.from)) && group.count(unit(i.to))) {
                text += "\n    " + where(i);
            }
        }
        reported.insert(group.begin(), group.end());
        found.push_back(text);
    }
    return found;
}

// Follows our own headers from each file that must not see JNI, and names the road to <jni.h>.
std::vector<std::string> jniViolations(const Graph& graph) {
    std::vector<std::string> found;
    for (const std::string& start : kMustNotSeeJni) {
        std::map<std::string, std::string> road = {{start, ""}};
        std::vector<std::string> pending = {start};
        while (!pending.empty()) {
            const std::string file = pending.back();
            pending.pop_back();
            for (const Include& i : graph) {
                if (i.from != file) continue;
                if (i.to == "jni.h") found.push_back(road[file] + where(i));
                if (!i.system && road.emplace(i.to, road[file] + where(i) + ", ").second) pending.push_back(i.to);
            }
        }
    }
    return found;
}

// Quoted names: the including folder first, then the include roots of its own top folder (the compiler's
// path for it), then the others. Angle brackets: only our public header folders, whose names (plexa/...,
// runtime1/...) no system header shares, so <plexa/platform.h> counts and <math.h> stays the system's.
std::string resolve(const std::set<std::string>& ours, const std::string& from, const std::string& name, bool angle) {
    std::vector<std::string> candidates;
    if (!angle) candidates.push_back((fs::path(from).parent_path() / name).lexically_normal().generic_string());
    std::vector<std::string> roots = kIncludeRoots;
    std::stable_partition(roots.begin(), roots.end(),
                          [&](const std::string& r) { return topFolder(r) == topFolder(from); });
    for (const std::string& root : roots) {
        if (!angle || fs::path(root).filename() == "include") candidates.push_back(root + "/" + name);
    }
    for (const std::string& candidate : candidates) {
        if (ours.count(candidate)) return candidate;
    }
    return std::string();
}

Graph readGraph(const fs::path& root, std::set<std::string>& ours) {
    for (const std::string& folder : kProductFolders) {
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file() && (extension == ".h" || extension == ".cpp" || extension == ".inc")) {
                ours.insert(entry.path().lexically_relative(root).generic_string());
            }
        }
    }
    static const std::regex directive(R"(^\s*#\s*include\s*([<"])([^">]+)[">])");
    Graph graph;
    for (const std::string& file : ours) {
        std::ifstream in(root / file);
        std::string text;
        std::smatch match;
        for (int line = 1; std::getline(in, text); ++line) {
            if (!std::regex_search(text, match, directive)) continue;
            const std::string resolved = resolve(ours, file, match[2], match[1] == "<");
            graph.push_back({file, line, resolved.empty() ? match[2].str() : resolved, resolved.empty()});
        }
    }
    return graph;
}

std::string listed(const std::vector<std::string>& violations) {
    std::string text;
    for (const std::string& v : violations) text += "\n  " + v;
    return text;
}

Include edge(const std::string& from, const std::string& to) { return {from, 1, to, to == "jni.h"}; }

TEST(IncludeGraph, EachRuleFindsWhatAMadeUpGraphBreaks) {
    struct Case {
        const char* what;
        Graph graph;
        size_t folder, layer, cycle, jni;
    };
    // clang-format off
    const Case cases[] = {
        {"a clean house", {edge("runtime1/src/A.cpp", "runtime1/src/A.h"),
            edge("runtime1/src/A.h", "runtime1/src/sources/S.h"), edge("runtime1/src/sources/S.h", "runtime1/include/runtime1/N.h"),
            edge("runtime1/include/runtime1/N.h", "platform/include/plexa/platform.h"), edge("bridge1/P.cpp", "jni.h"),
            edge("bridge1/KSDK.h", "runtime1/include/runtime1/N.h"), edge("bridge1/P.cpp", "bridge1/frames/F.h")}, 0, 0, 0, 0},
        {"upward inside folders", {edge("runtime1/src/sources/S.cpp", "runtime1/src/D.h"),
            edge("bridge1/frames/F.cpp", "bridge1/KSDK.h"), edge("runtime2/include/runtime2/K.h", "runtime2/src/R.h")}, 0, 3, 0, 0},
        {"across folders", {edge("bridge1/X.cpp", "runtime1/src/D.h"), edge("common/C.h", "bridge2/KSDK.h"),
            edge("platform/src/a.cpp", "scene/include/x.h"), edge("bridge2/Y.cpp", "runtime1/include/runtime1/N.h"),
            edge("bridge2/Z.cpp", "runtime2/include/runtime2/VirtualSensor2.h")}, 5, 0, 0, 0},
        {"units through their .cpp files, and a unit with itself", {edge("bridge1/A.cpp", "bridge1/B.h"),
            edge("bridge1/B.cpp", "bridge1/C.h"), edge("bridge1/C.h", "bridge1/A.h"), edge("bridge1/A.cpp", "bridge1/A.h"),
            edge("bridge2/D.cpp", "bridge2/E.h"), edge("bridge2/E.cpp", "bridge2/D.h")}, 0, 0, 2, 0},
        {"JNI directly and through a header", {edge("bridge1/KSDK.h", "jni.h"), edge("bridge2/KSDK.h", "common/J.h"),
            edge("common/J.h", "jni.h")}, 0, 0, 0, 2},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(folderViolations(c.graph).size(), c.folder) << listed(folderViolations(c.graph));
        EXPECT_EQ(layerViolations(c.graph).size(), c.layer) << listed(layerViolations(c.graph));
        EXPECT_EQ(cycleViolations(c.graph).size(), c.cycle) << listed(cycleViolations(c.graph));
        EXPECT_EQ(jniViolations(c.graph).size(), c.jni) << listed(jniViolations(c.graph));
    }
}

TEST(IncludeGraph, ProductFoldersKeepTheirLayers) {
    std::set<std::string> ours;
    const Graph graph = readGraph(PLEXA_SOURCE_ROOT, ours);
    // A wrong root or a broken reader would find nothing to object to.
    for (const std::string& file : kMustNotSeeJni) ASSERT_TRUE(ours.count(file)) << file << " not found";
    ASSERT_GT(std::count_if(graph.begin(), graph.end(), [](const Include& i) { return !i.system; }), 200);

    EXPECT_TRUE(folderViolations(graph).empty())
        << "A folder includes one it may not (bridges see only their runtime's include/ but not its control face, "
           "common sees only platform, runtimes see platform and scene):"
        << listed(folderViolations(graph));
    EXPECT_TRUE(layerViolations(graph).empty())
        << "A lower sub-folder includes a higher one (include < src/sources < src; frames < the bridge):"
        << listed(layerViolations(graph));
    EXPECT_TRUE(cycleViolations(graph).empty()) << "Units include each other:" << listed(cycleViolations(graph));
    EXPECT_TRUE(jniViolations(graph).empty()) << "KSDK.h sees <jni.h>:" << listed(jniViolations(graph));
}

}  // namespace
