// Quick search: regrouping, column needs, the scan, fall-back, and equivalence with the
// disk walk over a generated tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <ctime>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>

#include "IndexTestSupport.h"
#include "content/ContentTermBuilder.h"
#include "index/FolderIncludeIndex.h"
#include "index/IndexIncludeFolder.h"
#include "support/TempDir.h"

using namespace IndexTest;

namespace {

// Exposes the internal steps for the regrouping and column-need tests.
class QuickMan : public Search_Man {
public:
    using Search_Man::reGroupRelationOfFolderAndCache;
};

class QuickSearch : public ::testing::Test {
protected:
    void SetUp() override {
        Tool_Resource::setIndexCachePath(cache.path());
        Search_Man::s_hStopSearchEvent.reset();
    }
    std::string root(const std::string& rel = "") const { return rel.empty() ? tree.path() : tree / rel; }

    std::set<std::string> run(Search_Rule& rule, bool quick, const std::vector<std::string>& indexed,
                              PathCollector* collector = nullptr) {
        Search_Man man;
        PathCollector local;
        PathCollector& c = collector ? *collector : local;
        rule.bQuickSearch = quick;
        man.addIndexedFilePathName(indexed);
        man.initSearcher(indexed);
        man.search(rule, &c);
        return c.unique();
    }
    TempDir cache, tree;
};

// Stops the search it belongs to at the first match.
struct StopAtFirstMatch : PathCollector {
    void addResult(const Search_Rule& rule, std::unique_ptr<Data_FileItem> item, bool fromWalk) override {
        PathCollector::addResult(rule, std::move(item), fromWalk);
        Search_Man::s_hStopSearchEvent.set();
    }
};

// The cache scan polls the search's stop event after every content test: a stop request
// ends it with the entry in progress, however many entries are left.
TEST_F(QuickSearch, StopRequestEndsAContentScanOfTheCacheEarly) {
    for (int k = 0; k < 12; ++k)
        tree.write("f" + std::to_string(k) + ".txt", "a needle here");
    indexRoots({root()});
    Search_Rule rule;
    rule.names = {"*.txt"};
    rule.folders = {root()};
    rule.bAutoNormalSearch = false;   // only the cache answers
    ASSERT_TRUE(ContentTermBuilder::addTerms(rule.containText, ContentTermRequest{"needle"}).ok);
    EXPECT_EQ(run(rule, true, {root()}).size(), 12u);
    StopAtFirstMatch stopping;
    run(rule, true, {root()}, &stopping);
    EXPECT_EQ(stopping.paths.size(), 1u);
    Search_Man::s_hStopSearchEvent.reset();
}

TEST(Regrouping, FoldersInsideAndAroundIndexedRoots) {
    QuickMan man;
    man.addIndexedFilePathName(std::vector<std::string>{"/data", "/other"});
    std::vector<IndexIncludeFolder> iif;
    std::vector<FolderIncludeIndex> fii;
    std::vector<std::string> rest;
    man.reGroupRelationOfFolderAndCache({"/data/docs", "/", "/data2", "/data"}, iif, fii, rest);
    ASSERT_EQ(iif.size(), 1u);
    EXPECT_EQ(iif[0].indexPath, "/data");
    EXPECT_EQ(iif[0].folders, (std::vector<std::string>{"/data/docs", "/data"}));
    ASSERT_EQ(fii.size(), 1u);
    EXPECT_EQ(fii[0].folder, "/");
    EXPECT_EQ(fii[0].indexPaths, (std::vector<std::string>{"/data", "/other"}));
    EXPECT_EQ(rest, std::vector<std::string>{"/data2"});
}

TEST_F(QuickSearch, RootContainingACacheUsesItAndWalksTheRestWithoutRepeats) {
    tree.write("idx/a.txt", "1");
    tree.write("plain/b.txt", "1");
    tree.write("c.txt", "1");
    indexRoots({root("idx")});
    tree.write("idx/late.txt", "1");   // not in the cache: proves idx was answered from it
    Search_Rule rule;
    rule.names = {"*.txt"};
    rule.folders = {root()};
    EXPECT_EQ(run(rule, true, {root("idx")}),
              (std::set<std::string>{root("idx/a.txt"), root("plain/b.txt"), root("c.txt")}));
    rule.bAutoNormalSearch = false;
    EXPECT_EQ(run(rule, true, {root("idx")}), (std::set<std::string>{root("idx/a.txt")}));
}

TEST_F(QuickSearch, FolderWithoutCacheIsWalkedOnDisk) {
    tree.write("A/idx/a.txt", "1");
    tree.write("B/b.txt", "1");
    indexRoots({root("A/idx")});
    Search_Rule rule;
    rule.names = {"*"};
    rule.folders = {root("A"), root("B")};
    rule.iTargetOption = 0;
    EXPECT_EQ(run(rule, true, {root("A/idx")}), (std::set<std::string>{root("A/idx/a.txt"), root("B/b.txt")}));
}

TEST_F(QuickSearch, MissingCacheFallsBackOnlyWithAutomaticDiskSearch) {
    tree.write("idx/a.txt", "1");
    Search_Rule rule;
    rule.names = {"*.txt"};
    rule.folders = {root("idx")};
    EXPECT_EQ(run(rule, true, {root("idx")}), (std::set<std::string>{root("idx/a.txt")}));
    rule.bAutoNormalSearch = false;
    EXPECT_TRUE(run(rule, true, {root("idx")}).empty());
}

TEST_F(QuickSearch, NoColumnNeededReportsEveryEntry) {
    tree.write("a.txt", "1");
    tree.write("d/b", "1");
    indexRoots({root()});
    Search_Rule rule;
    rule.names = {"*"};
    rule.bSearchInCompressed = 1;
    rule.folders = {root()};
    Search_CachePathSearcher s;
    ASSERT_TRUE(s.initSearcher(root()));
    Search_Man::Groups groups;
    Search_Man::divideGroupString(groups, rule);
    IndexIncludeFolder x{root(), {root()}};
    s.chooseCompareItems(x, groups, rule);
    EXPECT_TRUE(s.compareColumns().empty());
    EXPECT_EQ(s.getFileNumber(x), 3u);
    EXPECT_EQ(run(rule, true, {root()}), (std::set<std::string>{root("a.txt"), root("d"), root("d/b")}));
}

// Regression: a name ending in a dot came back from the cache without it.
TEST_F(QuickSearch, TrailingDotNameReadsBackWhole) {
    tree.write("notes.", "1");
    tree.write("a..", "1");
    indexRoots({root()});
    Search_Rule rule;
    rule.names = {"*"};
    rule.folders = {root()};
    const std::set<std::string> expected{root("notes."), root("a..")};
    EXPECT_EQ(run(rule, true, {root()}), expected);
    EXPECT_EQ(run(rule, false, {}), expected);
}

TEST_F(QuickSearch, FolderColumnSkippedWhenTheRootIsSearchedWhole) {
    tree.write("a.txt", "1");
    indexRoots({root()});
    Search_CachePathSearcher s;
    ASSERT_TRUE(s.initSearcher(root()));
    Search_Rule rule;
    rule.names = {"a*"};
    Search_Man::Groups groups;
    Search_Man::divideGroupString(groups, rule);
    auto tags = [&](const IndexIncludeFolder& x) {
        s.chooseCompareItems(x, groups, rule);
        std::set<std::string> t;
        for (auto* c : s.compareColumns())
            t.insert(c->tag());
        return t;
    };
    EXPECT_FALSE(tags({root(), {root()}}).count("fp"));
    EXPECT_FALSE(tags({root(), {root() + "/"}}).count("fp"));
    EXPECT_TRUE(tags({root(), {root("sub")}}).count("fp"));
    rule.bIncludeSubDir = 0;
    EXPECT_TRUE(tags({root(), {root()}}).count("fp"));
}

TEST_F(QuickSearch, EntryMatchingTwoGroupsIsReportedOnce) {
    tree.write("report.txt", "1");
    indexRoots({root()});
    Search_Rule rule;
    rule.names = {"rep*", "*.txt"};
    rule.folders = {root()};
    PathCollector c;
    run(rule, true, {root()}, &c);
    EXPECT_EQ(c.paths.count(root("report.txt")), 1u);
}

// Fault: the folder test took /data/Temp2 as lying inside the search folder /data/Temp.
TEST_F(QuickSearch, FolderTestMatchesWholeComponents) {
    tree.write("Temp/a.txt", "1");
    tree.write("Temp2/b.txt", "1");
    indexRoots({root()});
    Search_Rule rule;
    rule.names = {"*.txt"};
    rule.folders = {root("Temp")};
    EXPECT_EQ(run(rule, true, {root()}), (std::set<std::string>{root("Temp/a.txt")}));
}

// Fault: a later group was judged by the relative-path match of the first group that
// reached the folder column, so a quick search missed entries the disk walk found.
TEST_F(QuickSearch, MatchPathFlagIsPerGroup) {
    tree.write("src/deep/file.c", "1");
    indexRoots({root()});
    Search_Rule rule;
    rule.bMatchPath = true;
    rule.names = {"*nomatch*", "*deep*"};
    rule.folders = {root()};
    const auto disk = run(rule, false, {});
    EXPECT_TRUE(disk.count(root("src/deep/file.c")));
    EXPECT_EQ(run(rule, true, {root()}), disk);
}

// ---- corrupt caches ------------------------------------------------------------------------

struct Damage {
    const char* label;
    const char* tag;
    enum Kind { Truncate, Empty, Garbage, AppendRecord } kind;
    size_t keep;   // bytes kept for Truncate
};

class CorruptCache : public QuickSearch, public ::testing::WithParamInterface<Damage> {};

TEST_P(CorruptCache, RefusesRootOrSkipsEntryWithoutCrashing) {
    for (int i = 0; i < 20; ++i)
        tree.write("d" + std::to_string(i % 3) + "/file" + std::to_string(i) + ".txt", "x");
    tree.write(std::string(150, 'L') + "/" + std::string(150, 'M') + "/z.txt", "x");   // long folder record
    indexRoots({root()});
    const Damage& d = GetParam();
    const std::string file = columnFile(d.tag, root());
    std::string bytes = readFile(file);
    switch (d.kind) {
    case Damage::Truncate: bytes.resize(std::min(bytes.size(), d.keep)); break;
    case Damage::Empty: bytes.clear(); break;
    case Damage::Garbage:
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>(0xFF - (i * 37) % 11);
        break;
    case Damage::AppendRecord: bytes += std::string(8, '\xFF'); break;
    }
    writeFile(file, bytes);
    Search_Rule rule;
    rule.names = {"*i*.t*"};
    rule.folders = {root("d1")};
    rule.bIncludeSubDir = 1;
    rule.bAutoNormalSearch = false;
    PathCollector c;
    const auto found = run(rule, true, {root()}, &c);
    // Whatever survives is a real path of the tree.
    for (const auto& p : found)
        EXPECT_EQ(p.rfind(root("d1/"), 0), 0u) << p;
    Search_CachePathSearcher s;
    if (s.initSearcher(root())) {
        Data_FileItem it;
        for (uint32_t i = 0; i < 40; ++i)
            s.readFileInfo(i, it);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, CorruptCache,
    ::testing::Values(Damage{"TitleOffsetsTruncated", "idfn", Damage::Truncate, 10},
                      Damage{"TitleDataCut", "fn", Damage::Truncate, 7},
                      Damage{"TitleDataOneByte", "fn", Damage::Truncate, 1},
                      Damage{"FolderDataCutInLongPrefix", "fp", Damage::Truncate, 50},
                      Damage{"FolderDataGarbage", "fp", Damage::Garbage, 0},
                      Damage{"FolderOffsetsGarbage", "idfp", Damage::Garbage, 0},
                      Damage{"ExtensionDataGarbage", "fe", Damage::Garbage, 0},
                      Damage{"ArchiveDataGarbage", "fa", Damage::Garbage, 0},
                      Damage{"ArchiveOffsetsGarbage", "idfa", Damage::Garbage, 0},
                      Damage{"ArchiveDataCut", "fa", Damage::Truncate, 2},
                      Damage{"SizeColumnEmpty", "fs", Damage::Empty, 0},
                      Damage{"TimeColumnHalfRecord", "mt", Damage::Truncate, 12},
                      Damage{"AttributesExtraRecords", "ft", Damage::AppendRecord, 0},
                      Damage{"OffsetsExtraRecords", "idfe", Damage::AppendRecord, 0}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(QuickSearch, MismatchedColumnCountsRefuseTheRoot) {
    tree.write("a.txt", "1");
    tree.write("b.txt", "1");
    indexRoots({root()});
    writeFile(columnFile("ft", root()), u32(0));
    Search_CachePathSearcher s;
    EXPECT_FALSE(s.initSearcher(root()));
}

TEST_F(QuickSearch, OffsetPastDataFileSkipsOnlyThatEntry) {
    tree.write("a.txt", "1");
    tree.write("b.txt", "1");
    indexRoots({root()});
    std::string offsets = readFile(columnFile("idfn", root()));
    offsets.replace(0, 4, u32(100000));
    writeFile(columnFile("idfn", root()), offsets);
    Search_Rule rule;
    rule.names = {"*.txt"};
    rule.folders = {root()};
    rule.bAutoNormalSearch = false;
    // A column changed behind the generation record refuses the whole root...
    EXPECT_TRUE(run(rule, true, {root()}).empty());
    // ...and one the record vouches for loses only the entry it damages.
    ASSERT_TRUE(resealLiveRecord(root()));
    const auto found = run(rule, true, {root()});
    EXPECT_EQ(found.size(), 1u);
}

// "Between two dates" takes the whole end day in both searches: a file written half a
// second before midnight of the last day is found by the disk walk and by the cache alike,
// and one written at the next midnight by neither.
TEST_F(QuickSearch, BetweenDatesTakesTheLastSecondOfTheEndDayInBothSearchesRegression) {
    std::tm day{};
    day.tm_year = 2024 - 1900;
    day.tm_mon = 2;
    day.tm_mday = 12;
    day.tm_isdst = -1;
    std::tm end = day;
    end.tm_hour = 23;
    end.tm_min = 59;
    end.tm_sec = 59;
    const std::time_t from = std::mktime(&day);
    const std::time_t to = std::mktime(&end);
    ASSERT_NE(from, std::time_t(-1));
    ASSERT_NE(to, std::time_t(-1));
    struct Stamp {
        const char* name;
        std::time_t seconds;
        long nanoseconds;
        bool inside;
    };
    const Stamp stamps[] = {{"late.txt", to, 500'000'000L, true},
                            {"lastTick.txt", to, 999'999'900L, true},
                            {"first.txt", from, 0, true},
                            {"nextDay.txt", to + 1, 0, false},
                            {"dayBefore.txt", from - 1, 999'999'900L, false}};
    std::set<std::string> expected;
    for (const Stamp& st : stamps) {
        tree.write(st.name, "x");
        const timespec times[2] = {{st.seconds, st.nanoseconds}, {st.seconds, st.nanoseconds}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (tree / st.name).c_str(), times, 0), 0) << st.name;
        if (st.inside)
            expected.insert(tree / st.name);
    }
    indexRoots({root()});

    Search_Rule disk, quick;
    for (Search_Rule* r : {&disk, &quick}) {
        r->folders = {root()};
        r->names = {"*.txt"};
        r->date.bAny = false;
        r->date.bSpecify = true;
        r->date.specifyDate.tFrom = from;
        r->date.specifyDate.tTo = to;
    }
    quick.bAutoNormalSearch = false;   // the cache alone must answer
    EXPECT_EQ(run(disk, false, {}), expected);
    EXPECT_EQ(run(quick, true, {root()}), expected);
}

// ---- equivalence with the disk walk ------------------------------------------------------------

// One generated tree and its cache for the whole table (building it is the slow part).
class Equivalence : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_tree = new TempDir;
        s_cache = new TempDir;
        Tool_Resource::setIndexCachePath(s_cache->path());
        std::mt19937 rng(12345);
        const char* exts[] = {"txt", "TXT", "c", "h", "jpg", "", "tar.gz", "md"};
        const char* words[] = {"alpha", "beta", "Gamma", "delta", "report", "img", "x"};
        std::vector<std::string> folders = {""};
        for (int i = 0; i < 25; ++i) {
            const std::string parent = folders[rng() % folders.size()];
            folders.push_back(parent + (parent.empty() ? "" : "/") + words[rng() % 7] + std::to_string(i));
            s_tree->mkdir(folders.back());
        }
        const int64_t now = time(nullptr);
        for (int i = 0; i < 250; ++i) {
            const std::string folder = folders[rng() % folders.size()];
            const std::string ext = exts[rng() % 8];
            const std::string name = std::string(words[rng() % 7]) + std::to_string(i) + (ext.empty() ? "" : "." + ext);
            const std::string rel = folder.empty() ? name : folder + "/" + name;
            s_tree->write(rel, std::string(rng() % 3000, 'b'));
            s_tree->setTimes(rel, now - static_cast<int64_t>(rng() % (40 * 86400)));
        }
        indexRoots({s_tree->path()});
    }
    static void TearDownTestSuite() {
        delete s_tree;
        delete s_cache;
    }
    void SetUp() override {
        Tool_Resource::setIndexCachePath(s_cache->path());
        Search_Man::s_hStopSearchEvent.reset();
    }
    static std::set<std::string> run(Search_Rule& rule, bool quick, const std::vector<std::string>& indexed) {
        Search_Man man;
        PathCollector c;
        rule.bQuickSearch = quick;
        man.addIndexedFilePathName(indexed);
        man.initSearcher(indexed);
        man.search(rule, &c);
        EXPECT_EQ(c.unreadable, 0);
        EXPECT_EQ(c.paths.size(), c.unique().size()) << "an entry was reported twice";
        return c.unique();
    }
    static std::string root() { return s_tree->path(); }
    static TempDir* s_tree;
    static TempDir* s_cache;
};
TempDir* Equivalence::s_tree = nullptr;
TempDir* Equivalence::s_cache = nullptr;

struct RuleCase {
    const char* label;
    void (*fill)(Search_Rule&, const std::string& root);
};

class EquivalenceTable : public Equivalence, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(EquivalenceTable, QuickAndDiskSearchFindTheSamePaths) {
    Search_Rule quick, disk;
    for (Search_Rule* r : {&quick, &disk}) {
        r->folders = {root()};
        r->names = {"*"};
        GetParam().fill(*r, root());
    }
    const auto fromDisk = run(disk, false, {});
    quick.bAutoNormalSearch = false;   // everything must come from the cache
    const auto fromCache = run(quick, true, {root()});
    EXPECT_EQ(fromCache, fromDisk);
    EXPECT_FALSE(fromDisk.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rules, EquivalenceTable,
    ::testing::Values(
        RuleCase{"NameSubstring", [](Search_Rule& r, const std::string&) { r.names = {"*ta*"}; }},
        RuleCase{"Extension", [](Search_Rule& r, const std::string&) { r.names = {"*.txt"}; }},
        RuleCase{"TwoGroups", [](Search_Rule& r, const std::string&) { r.names = {"alpha*", "*.c"}; }},
        RuleCase{"CaseInsensitiveTitle", [](Search_Rule& r, const std::string&) { r.names = {"GAMMA*"}; }},
        RuleCase{"FilesLargerThan",
                 [](Search_Rule& r, const std::string&) {
                     r.iTargetOption = 0;
                     r.bLargerOn = true;
                     r.fLargerSize = 1;
                     r.wLargerUnit = 1;
                 }},
        RuleCase{"FilesSmallerThan",
                 [](Search_Rule& r, const std::string&) {
                     r.iTargetOption = 0;
                     r.bSmallerOn = true;
                     r.fSmallerSize = 500;
                     r.wSmallerUnit = 0;
                 }},
        RuleCase{"WithinDays",
                 [](Search_Rule& r, const std::string&) {
                     r.date.bAny = false;
                     r.date.bWithin = true;
                     r.date.nPrevious = 10;
                 }},
        RuleCase{"BetweenDates",
                 [](Search_Rule& r, const std::string&) {
                     r.date.bAny = false;
                     r.date.bSpecify = true;
                     r.date.specifyDate.tFrom = time(nullptr) - 30 * 86400;
                     r.date.specifyDate.tTo = time(nullptr) - 5 * 86400;
                 }},
        RuleCase{"FoldersOnly", [](Search_Rule& r, const std::string&) { r.iTargetOption = 1; }},
        RuleCase{"FilesOnly", [](Search_Rule& r, const std::string&) { r.iTargetOption = 0; r.names = {"*a*"}; }},
        RuleCase{"NoSubfolders", [](Search_Rule& r, const std::string&) { r.bIncludeSubDir = 0; }},
        RuleCase{"PathPattern",
                 [](Search_Rule& r, const std::string&) {
                     r.bMatchPath = true;
                     r.names = {"*beta*"};
                 }},
        RuleCase{"SubFolderOfRoot",
                 [](Search_Rule& r, const std::string& root) {
                     r.folders.clear();
                     for (const auto& e : std::filesystem::directory_iterator(root))
                         if (e.is_directory() && r.folders.size() < 2)
                             r.folders.push_back(e.path().string());
                 }}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
