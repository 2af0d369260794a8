// The walk with its folders read ahead on a helper thread reports exactly what the walk
// reading each folder itself reports: the same results with the same metadata, status
// lines and unreadable folders, in the same order; a stop leaves a prefix of that report,
// ends the helper and leaves no descriptor open.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <set>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "content/ContentTermBuilder.h"
#include "platform/Event.h"
#include "records/Search_Rule.h"
#include "search/NameLinePreparer.h"
#include "search/Search_FolderReadAhead.h"
#include "search/Search_FolderReader.h"
#include "search/Search_Man.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"
#include "TranscriptReceiver.h"

namespace {

using ReadAhead = Search_Man::FolderReadAhead;

size_t openDescriptors() {
    size_t n = 0;
    if (DIR* d = ::opendir("/proc/self/fd")) {
        while (::readdir(d))
            ++n;
        ::closedir(d);
    }
    return n;
}

const char* const kStems[] = {"alpha", "Beta", "report", "notes", ".hidden", "data_x", "log", "zeta"};
const char* const kExts[] = {".txt", ".log", ".tar", ".md", "", ".LOG"};

// A random tree below t/: nested folders (some empty), files of random sizes and times,
// links to files and to folders (never followed), a FIFO, and with `bigFolder` one folder
// of more entries than one slice holds.
void makeTree(const TempDir& dir, unsigned seed, bool bigFolder) {
    std::mt19937 rng(seed);
    std::vector<std::string> folders = {""};
    for (int i = 0; i < 30; ++i) {
        std::string folder = folders[rng() % folders.size()] + kStems[rng() % std::size(kStems)] + std::to_string(i) + "/";
        dir.mkdir("t/" + folder);
        folders.push_back(folder);
    }
    const int64_t now = ::time(nullptr);
    for (int i = 0; i < 250; ++i) {
        const std::string name = folders[rng() % folders.size()] + kStems[rng() % std::size(kStems)] +
                                 std::to_string(i) + kExts[rng() % std::size(kExts)];
        dir.write("t/" + name, std::string(rng() % 4000, 'x'));
        dir.setTimes("t/" + name, now - static_cast<int64_t>(rng() % (90 * 86400)));
    }
    for (int i = 0; i < 6; ++i) {
        const std::string from = folders[rng() % folders.size()];
        const std::string target = dir / ("t/" + folders[rng() % folders.size()]);
        ASSERT_EQ(::symlink(target.c_str(), (dir / ("t/" + from + "link" + std::to_string(i))).c_str()), 0);
    }
    ASSERT_EQ(::mkfifo((dir / ("t/" + folders[1] + "pipe")).c_str(), 0644), 0);
    if (bigFolder)
        for (int i = 0; i < 4200; ++i)
            dir.write("t/" + folders[2] + "many" + std::to_string(i) + (i % 3 ? ".txt" : ".log"), "");
}

struct RuleCase {
    const char* label;
    const char* names;
    void (*adjust)(Search_Rule&);
};

const RuleCase kRules[] = {
    {"every entry", "*", [](Search_Rule&) {}},
    {"name substring", "alpha", [](Search_Rule&) {}},
    {"extension", "*.log", [](Search_Rule&) {}},
    {"two groups, files only", "*.txt,b*", [](Search_Rule& r) { r.iTargetOption = 0; }},
    {"folders only", "*", [](Search_Rule& r) { r.iTargetOption = 1; }},
    {"path patterns", "/report*", [](Search_Rule&) {}},
    {"no subfolders", "*", [](Search_Rule& r) { r.bIncludeSubDir = 0; }},
    {"larger than 1 KiB", "*", [](Search_Rule& r) { r.bLargerOn = true; r.fLargerSize = 1; }},
    {"smaller, files", "*.txt", [](Search_Rule& r) { r.bSmallerOn = true; r.fSmallerSize = 2; r.iTargetOption = 0; }},
    {"within 30 days", "*", [](Search_Rule& r) { r.date.bAny = false; r.date.bWithin = true; r.date.nPrevious = 30; }},
    {"size and date", "*", [](Search_Rule& r) {
         r.bLargerOn = true; r.fLargerSize = 0.5f;
         r.date.bAny = false; r.date.bWithin = true; r.date.nPrevious = 45;
     }},
};

std::unique_ptr<Search_Rule> makeRule(const std::string& root, const RuleCase& c) {
    auto rule = std::make_unique<Search_Rule>();
    NameLinePreparer::prepare(c.names, false, *rule);
    rule->folders.push_back(root);
    c.adjust(*rule);
    return rule;
}

void addContentTerm(Search_Rule& rule, const char* text) {
    ContentTermRequest request;
    request.text = text;
    ASSERT_TRUE(ContentTermBuilder::addTerms(rule.containText, request).ok);
}

struct WalkReport {
    std::vector<std::string> lines;
    size_t results = 0;
};

WalkReport walk(const Search_Rule& rule, ReadAhead mode, bool messages = true, unsigned scanners = 1,
         const std::function<void(size_t)>& afterResult = {}) {
    Search_Man::s_hStopSearchEvent.reset();
    Search_Man man;
    man.setFolderReadAhead(mode);
    man.setScannerThreads(scanners);
    man.setPdfTextCache(false);
    TranscriptReceiver receiver;
    receiver.messages = messages;
    receiver.afterResult = afterResult;
    man.search(rule, &receiver);
    return {receiver.lines, receiver.results};
}

// The result paths in report order.
std::vector<std::string> resultPaths(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const std::string& line : lines)
        if (line.rfind("R ", 0) == 0)
            out.push_back(line.substr(2, line.find(" size=") - 2));
    return out;
}

std::set<std::string> asSet(const std::vector<std::string>& paths) { return {paths.begin(), paths.end()}; }

class FolderReadAhead : public ::testing::Test {
protected:
    void TearDown() override { Search_Man::s_hStopSearchEvent.reset(); }
    TempDir tmp;
};

TEST_F(FolderReadAhead, SameTranscriptAsThePlainWalkOverRandomTreesAndRules) {
    for (unsigned seed = 1; seed <= 4; ++seed) {
        TempDir dir;
        makeTree(dir, seed, seed == 1);
        for (const RuleCase& c : kRules) {
            const auto rule = makeRule(dir / "t", c);
            const WalkReport plain = walk(*rule, ReadAhead::Never);
            ASSERT_GT(plain.lines.size(), 1u) << c.label;
            EXPECT_EQ(walk(*rule, ReadAhead::Always).lines, plain.lines) << "seed " << seed << ": " << c.label;
            // Size and date rules share their metadata reads with a stat helper instead.
            EXPECT_EQ(walk(*rule, ReadAhead::Automatic).lines, plain.lines) << "seed " << seed << ": " << c.label;
            EXPECT_EQ(walk(*rule, ReadAhead::Always, false).lines, walk(*rule, ReadAhead::Never, false).lines)
                << "seed " << seed << ": " << c.label << " (no status lines)";
        }
    }
}

TEST_F(FolderReadAhead, ContentSearchesReportTheSameWithAndWithoutReadingAhead) {
    makeTree(tmp, 7, false);
    // Some files hold the word, in folders all over the tree.
    std::mt19937 rng(7);
    for (int i = 0; i < 40; ++i)
        tmp.write("t/" + std::string(kStems[rng() % std::size(kStems)]) + std::to_string(i) + "/w" + std::to_string(i),
                  i % 2 ? "some alpha text" : "none here");
    for (const char* names : {"*", "w*"}) {
        const auto rule = makeRule(tmp / "t", {"content", names, [](Search_Rule&) {}});
        addContentTerm(*rule, "alpha");
        const WalkReport plain = walk(*rule, ReadAhead::Never, true, 1);
        ASSERT_GT(plain.results, 0u) << names;
        for (unsigned scanners : {1u, 2u})
            EXPECT_EQ(walk(*rule, ReadAhead::Always, true, scanners).lines, plain.lines) << names << " " << scanners;
    }
}

TEST_F(FolderReadAhead, UnreadableFoldersAreReportedInWalkOrder) {
    makeTree(tmp, 3, false);
    tmp.write("t/locked/inner/x.txt", "x");
    tmp.write("t/alpha1/deep/locked2/y.txt", "y");
    tmp.mkdir("t/alpha1/deep/open");
    Unprivileged::openUp(tmp.path());
    ::chmod((tmp / "t/locked").c_str(), 0);
    ::chmod((tmp / "t/alpha1/deep/locked2").c_str(), 0);
    const std::string root = tmp / "t";
    const int code = Unprivileged::run([&] {
        for (const RuleCase& c : {kRules[0], kRules[7]}) {
            const auto rule = makeRule(root, c);
            const WalkReport plain = walk(*rule, ReadAhead::Never);
            const auto reported = [&](const std::string& folder) {
                return std::count(plain.lines.begin(), plain.lines.end(),
                                  "U " + root + folder + " " + std::to_string(EACCES)) == 1;
            };
            if (!reported("/locked") || !reported("/alpha1/deep/locked2"))
                return 1;
            if (walk(*rule, ReadAhead::Always).lines != plain.lines)
                return 2;
        }
        return 0;
    });
    EXPECT_EQ(code, 0) << "1: not reported by the plain walk, 2: the reports differ";
}

TEST_F(FolderReadAhead, EntriesVanishingMidWalkAreNeverReportedAsUnreadable) {
    // Folders a, b, ... each with files; after the first result the later folders lose
    // their files (and some the folder itself). What the helper listed before cannot be
    // stat'ed any more, so a rule that reads metadata only for matches reports exactly what
    // the plain walk reports; one that tests sizes may still report what was read ahead,
    // but never a file that did not exist and never a vanished folder as unreadable.
    const auto build = [&] {
        for (int f = 0; f < 12; ++f)
            for (int i = 0; i < 30; ++i)
                tmp.write("t/f" + std::to_string(f) + "/sub/file" + std::to_string(i) + ".txt", std::string(2048, 'x'));
    };
    const auto vanish = [&](size_t results) {
        if (results != 1)
            return;
        for (int f = 4; f < 12; ++f) {
            for (int i = 0; i < 30; ++i)
                ::unlink((tmp / ("t/f" + std::to_string(f) + "/sub/file" + std::to_string(i) + ".txt")).c_str());
            if (f % 2 == 0)
                ::rmdir((tmp / ("t/f" + std::to_string(f) + "/sub")).c_str());
        }
    };
    for (const RuleCase& c : {kRules[0], kRules[7]}) {
        const auto rule = makeRule(tmp / "t", c);
        build();
        const WalkReport before = walk(*rule, ReadAhead::Never, false);
        build();
        const WalkReport plain = walk(*rule, ReadAhead::Never, false, 1, vanish);
        build();
        const WalkReport ahead = walk(*rule, ReadAhead::Always, false, 1, vanish);
        build();
        const WalkReport automatic = walk(*rule, ReadAhead::Automatic, false, 1, vanish);
        for (const WalkReport* run : {&plain, &ahead, &automatic})
            for (const std::string& line : run->lines)
                EXPECT_NE(line.rfind("U ", 0), 0u) << c.label << ": " << line;
        const std::set<std::string> all = asSet(resultPaths(before.lines)), p = asSet(resultPaths(plain.lines)),
                                    a = asSet(resultPaths(ahead.lines));
        EXPECT_LT(p.size(), all.size()) << c.label << ": nothing vanished";
        EXPECT_TRUE(std::includes(all.begin(), all.end(), a.begin(), a.end())) << c.label;
        // The files that never vanished are found by both.
        for (const std::string& path : all) {
            if (path.find("/f1/") != std::string::npos || path.find("/f3/") != std::string::npos) {
                EXPECT_TRUE(a.count(path) == 1 && p.count(path) == 1) << c.label << ": " << path;
            }
        }
        // Stats shared with a helper are read when the walk reaches the folder, as without.
        // (The tree was rebuilt: times differ, paths do not.)
        EXPECT_EQ(resultPaths(automatic.lines), resultPaths(plain.lines)) << c.label;
        if (!Search_Man::needsMetadata(*rule)) {
            EXPECT_EQ(resultPaths(ahead.lines), resultPaths(plain.lines)) << c.label;
        }
    }
}

TEST_F(FolderReadAhead, StopAfterAResultLeavesAPrefixAndNoOpenDescriptors) {
    // More folders than the helper may hold ahead, so that it waits for room when stopped.
    for (int f = 0; f < 600; ++f)
        tmp.write("t/d" + std::to_string(f / 30) + "/e" + std::to_string(f) + "/n" + std::to_string(f) + ".txt", "x");
    for (const RuleCase& c : {kRules[0], kRules[8]}) {
        const auto rule = makeRule(tmp / "t", c);
        const WalkReport full = walk(*rule, ReadAhead::Never);
        ASSERT_GT(full.results, 100u) << c.label;
        for (size_t stopAt : {size_t{1}, size_t{40}, full.results - 1}) {
            for (ReadAhead mode : {ReadAhead::Always, ReadAhead::Automatic}) {
                const std::string what = std::string(c.label) + " stop at " + std::to_string(stopAt) +
                                         (mode == ReadAhead::Always ? " ahead" : " automatic");
                const size_t descriptors = openDescriptors();
                const WalkReport stopped = walk(*rule, mode, true, 1, [&](size_t results) {
                    if (results == stopAt)
                        Search_Man::s_hStopSearchEvent.set();
                });
                EXPECT_EQ(openDescriptors(), descriptors) << what;
                EXPECT_EQ(stopped.results, stopAt) << what;
                ASSERT_FALSE(stopped.lines.empty());
                EXPECT_EQ(stopped.lines.back(), "finished");
                // Everything before the end is the plain walk's report up to the stop.
                const std::vector<std::string> head(stopped.lines.begin(), stopped.lines.end() - 1);
                ASSERT_LE(head.size(), full.lines.size());
                EXPECT_TRUE(std::equal(head.begin(), head.end(), full.lines.begin())) << what;
            }
        }
    }
}

TEST_F(FolderReadAhead, StopFromAnotherThreadEndsTheWalkPromptly) {
    for (int f = 0; f < 400; ++f)
        for (int i = 0; i < 20; ++i)
            tmp.write("t/d" + std::to_string(f % 20) + "/e" + std::to_string(f) + "/n" + std::to_string(i), "");
    const auto rule = makeRule(tmp / "t", kRules[7]);
    const WalkReport full = walk(*rule, ReadAhead::Never, false);
    const size_t descriptors = openDescriptors();
    for (int delayMs : {0, 1, 5}) {
        Search_Man::s_hStopSearchEvent.reset();
        Search_Man man;
        man.setFolderReadAhead(ReadAhead::Always);
        TranscriptReceiver receiver;
        receiver.messages = false;
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
            Search_Man::s_hStopSearchEvent.set();
        });
        man.search(*rule, &receiver);   // returns: the helper ended (no hang)
        stopper.join();
        ASSERT_FALSE(receiver.lines.empty());
        EXPECT_EQ(receiver.lines.back(), "finished");
        const std::vector<std::string> head(receiver.lines.begin(), receiver.lines.end() - 1);
        EXPECT_TRUE(head.size() <= full.lines.size() && std::equal(head.begin(), head.end(), full.lines.begin()))
            << "delay " << delayMs;
    }
    EXPECT_EQ(openDescriptors(), descriptors);
}

// The reader and its helper directly: slices in order, excluded folders, the bound.
std::vector<std::string> readAll(int rootFd, const std::string& root, const Search_FolderReader::Options& options,
                                 bool ahead) {
    Search_FolderReader reader(rootFd, root, options);
    std::vector<std::string> out;
    auto slice = std::make_unique<Search_FolderSlice>();
    std::unique_ptr<Search_FolderReadAhead> helper;
    if (ahead)
        helper = std::make_unique<Search_FolderReadAhead>(reader);
    while (helper ? helper->take(slice) : reader.read(*slice)) {
        std::string line = slice->folderPath + (slice->firstOfFolder ? " first" : "") +
                           (slice->lastOfFolder ? " last" : "") + " " + std::to_string(slice->count());
        for (size_t i = 0; i < slice->count(); ++i) {
            line += std::string(" ") + slice->nameCStr(i);
            if (options.withMetadata)
                line += slice->statOk[i] ? ":" + std::to_string(slice->stats[i].size) : ":gone";
        }
        out.push_back(line);
    }
    return out;
}

TEST_F(FolderReadAhead, ReaderSlicesComeInOrderAndSkipExcludedFolders) {
    makeTree(tmp, 5, true);
    const std::string root = tmp / "t";
    const int rootFd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ASSERT_GE(rootFd, 0);
    Event stop;
    std::vector<std::string> excluded;
    // Two folders with everything below them (not the big one), one given with a trailing '/'.
    const std::vector<std::string> all = readAll(rootFd, root, {true, false, nullptr, &stop}, false);
    std::string big;
    for (const std::string& line : all)
        if (line.find(" many") != std::string::npos)
            big = line.substr(0, line.find(' '));
    ASSERT_FALSE(big.empty());
    for (const std::string& line : all) {
        const std::string folder = line.substr(0, line.find(' '));
        if (std::count(folder.begin(), folder.end(), '/') == std::count(root.begin(), root.end(), '/') + 2 &&
            big.rfind(folder, 0) != 0 && excluded.size() < 2)
            excluded.push_back(excluded.empty() ? folder : folder.substr(0, folder.size() - 1));
    }
    ASSERT_EQ(excluded.size(), 2u);
    for (const bool metadata : {false, true}) {
        const Search_FolderReader::Options options{true, metadata, &excluded, &stop};
        const std::vector<std::string> plain = readAll(rootFd, root, options, false);
        EXPECT_EQ(readAll(rootFd, root, options, true), plain);
        size_t bigSlices = 0;
        for (const std::string& line : plain) {
            for (const std::string& folder : excluded)
                EXPECT_NE(line.rfind(std::string(Search_FolderReader::withoutTrailingSlashes(folder)) + "/", 0), 0u)
                    << line;
            bigSlices += line.find(" many") != std::string::npos;
        }
        EXPECT_GE(bigSlices, 2u) << "a folder larger than a slice comes in more than one";
        EXPECT_LT(plain.size(), all.size());
    }
    ::close(rootFd);
}

TEST_F(FolderReadAhead, HelperHoldsNoMoreThanItsBudget) {
    // A low descriptor limit gives a small budget: the helper must wait for the walk.
    for (int f = 0; f < 200; ++f)
        tmp.mkdir("t/d" + std::to_string(f));
    const std::string root = tmp / "t";
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &old), 0);
    const size_t base = openDescriptors();
    struct rlimit low = old;
    low.rlim_cur = base + 40;   // a budget of (base + 40) / 4 folders
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    const size_t budget = (base + 40) / 4;
    {
        const int rootFd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ASSERT_GE(rootFd, 0);
        Event stop;
        Search_FolderReader reader(rootFd, root, {true, false, nullptr, &stop});
        Search_FolderReadAhead ahead(reader);
        // Wait until the helper has filled its budget, then give it time to overrun it.
        for (int i = 0; i < 500 && ahead.slicesRead() < budget; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        EXPECT_EQ(ahead.slicesRead(), budget);
        EXPECT_LE(openDescriptors(), base + 2 + budget);   // root, helper's current folder
        size_t taken = 0;
        std::unique_ptr<Search_FolderSlice> slice;
        while (ahead.take(slice))
            ++taken;
        EXPECT_EQ(taken, 201u);   // the root and its 200 folders
        ::close(rootFd);
    }
    ::setrlimit(RLIMIT_NOFILE, &old);
}

}  // namespace
