// The floors of the house, read from the sources themselves: which folder may
// include which, and how large a file may grow. The build already keeps Qt
// out of the core (its include path has none); these rules keep the windows
// from leaning on each other and on the main window, so a page can be built
// and tested over a small interface of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path Root = TRACEMOOR_SOURCE_DIR;

// The folders that hold our sources and tests; build trees and the fuzz
// corpus are not among them.
const std::vector<std::string> SourceFolders = {
    "analyzer", "bench", "cli", "cpumap", "desktop",   "device", "display", "files", "gather",
    "host",     "lang",  "man", "plot",   "protocols", "search", "trigger", "ui",    "tests"};

struct Include
{
    std::string text;  // as written between the quotes
    std::string found; // the file it names, relative to the root; empty when not ours
};

struct SourceFile
{
    std::string path; // relative to the root
    int lines = 0;
    bool includesQt = false; // a <Q...> header directly
    std::vector<Include> includes;
};

bool StartsWith(const std::string &s, const std::string &prefix)
{
    return s.compare(0, prefix.size(), prefix) == 0;
}

class SourceTree
{
public:
    SourceTree()
    {
        for (const auto &folder : SourceFolders) {
            if (!fs::is_directory(Root / folder))
                continue;
            for (const auto &entry : fs::recursive_directory_iterator(Root / folder)) {
                const auto ext = entry.path().extension();
                if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h"))
                    Read(fs::relative(entry.path(), Root).generic_string());
            }
        }
    }

    const std::map<std::string, SourceFile> &Files() const { return files; }

    // True when the file reaches a Qt header through any chain of includes.
    bool ReachesQt(const std::string &path) const
    {
        if (const auto known = qt.find(path); known != qt.end())
            return known->second;
        qt[path] = false; // a cycle adds nothing
        const auto file = files.find(path);
        if (file == files.end())
            return false;
        bool reaches = file->second.includesQt;
        for (const auto &inc : file->second.includes)
            reaches = reaches || (!inc.found.empty() && ReachesQt(inc.found));
        qt[path] = reaches;
        return reaches;
    }

private:
    void Read(const std::string &path)
    {
        static const std::regex quoted(R"re(^\s*#\s*include\s*"([^"]+)")re");
        static const std::regex angled(R"(^\s*#\s*include\s*<(Q[A-Za-z]*|Qt[A-Za-z]*/[^>]*)>)");
        SourceFile file;
        file.path = path;
        std::ifstream in(Root / path);
        std::string line;
        std::smatch m;
        while (std::getline(in, line)) {
            ++file.lines;
            if (std::regex_search(line, m, quoted)) {
                Include inc{m[1].str(), {}};
                const fs::path fromRoot = Root / inc.text;
                const fs::path beside = (Root / path).parent_path() / inc.text;
                if (fs::is_regular_file(fromRoot))
                    inc.found = fs::relative(fromRoot, Root).lexically_normal().generic_string();
                else if (fs::is_regular_file(beside))
                    inc.found = fs::relative(beside, Root).lexically_normal().generic_string();
                file.includes.push_back(inc);
            } else if (std::regex_search(line, m, angled)) {
                file.includesQt = true;
            }
        }
        files[path] = std::move(file);
    }

    std::map<std::string, SourceFile> files;
    mutable std::map<std::string, bool> qt;
};

const SourceTree &Tree()
{
    static const SourceTree tree;
    return tree;
}

bool InFolder(const std::string &path, std::initializer_list<const char *> folders)
{
    return std::any_of(folders.begin(), folders.end(),
                       [&](const char *f) { return StartsWith(path, std::string(f) + "/"); });
}

struct LayerRule
{
    const char *name;
    // The files the rule speaks of.
    std::function<bool(const std::string &path)> covers;
    // True when the file may include `inc` (inc.found names our file).
    std::function<bool(const Include &inc)> allows;
    // The files may not include a Qt header of their own either.
    bool qtFree = false;
};

bool IsCore(const std::string &found)
{
    return !Tree().ReachesQt(found);
}

const std::vector<LayerRule> &Rules()
{
    static const std::vector<LayerRule> rules = {
        {"TheMainWindowIsIncludedOnlyInItsOwnFolder",
         [](const std::string &p) {
             return !InFolder(p, {"analyzer", "tests/analyzer"});
         },
         [](const Include &inc) { return inc.found != "analyzer/TForm1.h"; }},
        {"OutsideItsFolderTheAnalyzerIsReachedThroughItsCoreOnly",
         [](const std::string &p) {
             return !InFolder(p, {"analyzer", "tests"});
         },
         [](const Include &inc) {
             return !StartsWith(inc.found, "analyzer/") || IsCore(inc.found);
         }},
        {"GathermoorBorrowsNothingFromTheAnalyzersFolder",
         [](const std::string &p) { return InFolder(p, {"gather"}); },
         [](const Include &inc) { return !StartsWith(inc.found, "analyzer/"); }},
        {"TheWindowHelpersStandBelowEveryWindow",
         [](const std::string &p) { return InFolder(p, {"ui"}); },
         [](const Include &inc) {
             return InFolder(inc.found, {"ui", "host"}) || IsCore(inc.found);
         }},
        {"TheHostPartsAndTheCommandLineProgramAreCore",
         [](const std::string &p) {
             return InFolder(p, {"host", "cli"});
         },
         [](const Include &inc) { return IsCore(inc.found); }, true},
    };
    return rules;
}

void PrintTo(const LayerRule &rule, std::ostream *out) { *out << rule.name; }

class IncludeLayers : public testing::TestWithParam<LayerRule>
{
};

TEST_P(IncludeLayers, Holds)
{
    const LayerRule &rule = GetParam();
    int covered = 0;
    for (const auto &[path, file] : Tree().Files()) {
        if (!rule.covers(path))
            continue;
        ++covered;
        for (const auto &inc : file.includes) {
            if (!inc.found.empty()) {
                EXPECT_TRUE(rule.allows(inc)) << path << " includes " << inc.found;
            }
        }
        if (rule.qtFree) {
            EXPECT_FALSE(file.includesQt) << path << " includes a Qt header";
        }
    }
    EXPECT_GT(covered, 0) << "the rule covers no file: the folders moved";
}

INSTANTIATE_TEST_SUITE_P(House, IncludeLayers, testing::ValuesIn(Rules()),
                         [](const testing::TestParamInfo<LayerRule> &rule) {
                             return std::string(rule.param.name);
                         });

// A file that grows past this is split along its jobs before it takes more.
constexpr int MostLines = 620;

TEST(SourceFiles, NoneGrowsPastAboutSixHundredLines)
{
    ASSERT_GT(Tree().Files().size(), 100u) << "the source tree was not found at " << Root;
    for (const auto &[path, file] : Tree().Files())
        EXPECT_LE(file.lines, MostLines) << path;
}

TEST(SourceFiles, TheCoreHeadersTheRulesRelyOnAreSeenAsCore)
{
    // A rule that relies on a reading of the includes that has gone wrong
    // would pass anything; these are known to be Qt-free and Qt, respectively.
    EXPECT_TRUE(IsCore("analyzer/CAcquisition.h"));
    EXPECT_TRUE(IsCore("device/WSystem.h"));
    EXPECT_FALSE(IsCore("analyzer/TForm1.h"));
    EXPECT_FALSE(IsCore("ui/UiText.h"));
}

} // namespace
