// The bucketed grouping must give exactly what the pairwise scan gives: the same groups in
// the same order with the same members, numbers, progress lines and return value, on random
// candidate lists full of awkward entries.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "DuplicateTestSupport.h"
#include "search/Search_Man.h"
#include "support/TempDir.h"

using namespace duptest;

namespace {

// Contents chosen so that sizes collide while contents differ, and so that a run of files
// shares its first 64 KB and differs only further on.
std::vector<std::string> contentPool() {
    std::mt19937 rng(7);
    std::string big(70000, '\0');
    for (char& c : big)
        c = static_cast<char>(rng() & 0xFF);
    std::vector<std::string> pool = {"", "a", "b", "ab", "ba", "abc", "abd", "xyz", big};
    for (int v = 0; v < 6; ++v) {
        std::string variant = big;
        variant[69000] = static_cast<char>(v);   // beyond the first 64 KB
        pool.push_back(variant);
    }
    std::string early = big;
    early[10] ^= 0x55;
    pool.push_back(early);
    return pool;
}

const std::vector<std::string> kNames = {"Readme.TXT", "readme.txt", "README.TXT", "a.b",    "A.B",      "x",
                                         "X",          "\xC3\xA4.txt", "\xC3\x84.txt", "noext", ".profile", "x.tar.gz"};

struct Scenario {
    TempDir dir;
    std::vector<std::unique_ptr<Data_FileItem>> items;
};

std::unique_ptr<Scenario> buildScenario(unsigned seed) {
    static const std::vector<std::string> contents = contentPool();
    auto s = std::make_unique<Scenario>();
    std::mt19937 rng(seed);
    const int count = static_cast<int>(rng() % 41);
    const bool root = ::geteuid() == 0;
    std::vector<std::string> vanish;
    std::vector<std::string> files;
    for (int k = 0; k < count; ++k) {
        const std::string rel = "d" + std::to_string(k) + "/" + kNames[rng() % kNames.size()];
        const unsigned kind = rng() % 100;
        std::string full;
        if (kind < 8) {
            full = s->dir.mkdir(rel);
        } else if (kind < 11) {
            s->dir.mkdir("d" + std::to_string(k));
            full = s->dir / rel;
            if (::mkfifo(full.c_str(), 0600) != 0)
                full = s->dir.write(rel, "fifo");
        } else if (kind < 15 && !files.empty()) {
            full = files[rng() % files.size()];   // the same file listed twice
        } else {
            full = s->dir.write(rel, contents[rng() % contents.size()]);
            s->dir.setTimes(rel, 1600000000 + static_cast<int64_t>(rng() % 3));
            if (kind < 25)
                vanish.push_back(full);
            else if (kind < 29 && !root)
                ::chmod(full.c_str(), 0);
            else
                files.push_back(full);
        }
        auto item = itemFor(full, k);
        if (!item)
            item = itemNamed(full, 0, k);
        s->items.push_back(std::move(item));
    }
    for (const auto& path : vanish)
        ::unlink(path.c_str());
    return s;
}

struct Outcome {
    uint32_t returned = 0;
    std::vector<std::string> messages;
    std::vector<std::vector<Member>> groups;
    bool emptied = false;
};

template <typename Run>
Outcome runOnce(const Scenario& s, size_t stopAfter, Run run) {
    auto candidates = cloneAll(s.items);
    RecordingReceiver receiver;
    receiver.stopAfterMessages = stopAfter;
    Search_Man::s_hStopSearchEvent.reset();
    Outcome out;
    out.returned = run(&receiver, candidates);
    Search_Man::s_hStopSearchEvent.reset();
    out.messages = receiver.messages;
    out.groups = receiver.groups;
    out.emptied = candidates.empty();
    return out;
}

std::string levelLabel(int level) {
    static const char* names[] = {"name", "size", "time", "CRC-32", "MD5", "bytes"};
    return level >= 0 && level <= 5 ? names[level] : "other (" + std::to_string(level) + ")";
}

// One test over every level: making the real files is the slow part, so each random list
// serves all levels (ctest runs every test in a process of its own).
TEST(GroupingMatchesPairwiseScan, AtEveryLevelOnRandomCandidateLists) {
    const std::vector<int> levels = {-1, 0, 1, 2, 3, 4, 5, 6};
    std::map<int, size_t> groupsSeen;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        const auto scenario = buildScenario(seed * 7919);
        for (int level : levels) {
            Duplicate_Rule rule;
            rule.bEnable = 1;
            rule.iLevel = level;
            std::mt19937 rng(seed + static_cast<unsigned>(level));
            for (size_t stopAfter : {SIZE_MAX, static_cast<size_t>(1 + rng() % 8)}) {
                SCOPED_TRACE("seed " + std::to_string(seed) + ", level " + levelLabel(level) + ", stop after " +
                             std::to_string(stopAfter) + " messages");
                const Outcome pairwise = runOnce(*scenario, stopAfter, [&](auto* r, auto& c) {
                    PairwiseDuplicateMan finder;
                    return finder.searchPairwise(r, rule, c);
                });
                const Outcome bucketed = runOnce(*scenario, stopAfter, [&](auto* r, auto& c) {
                    Duplicate_Man finder;
                    finder.setStopEvent(&Search_Man::s_hStopSearchEvent);
                    return finder.search(r, rule, c);
                });
                ASSERT_EQ(bucketed.groups, pairwise.groups);
                ASSERT_EQ(bucketed.messages, pairwise.messages);
                ASSERT_EQ(bucketed.returned, pairwise.returned);
                ASSERT_TRUE(bucketed.emptied);
                groupsSeen[level] += pairwise.groups.size();
            }
        }
    }
    for (int level : levels)
        EXPECT_GT(groupsSeen[level], 20u) << "the random lists should hold duplicates at level " << levelLabel(level);
}

}  // namespace
