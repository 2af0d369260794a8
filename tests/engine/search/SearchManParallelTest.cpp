// Content tests on scanner threads: the receiver hears exactly what a walk testing every
// file itself reports (results with their excerpts and metadata, status lines, unreadable
// files, in the same order), and a stop leaves a prefix of that report.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <functional>
#include <random>
#include <sys/stat.h>
#include <thread>

#include "content/CT_PDF.h"
#include "content/ContentTermBuilder.h"
#include "records/ISearchResultReciever.h"
#include "records/Search_Rule.h"
#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "support/TempDir.h"
#include "support/TestPdf.h"
#include "support/Unprivileged.h"
#include "TranscriptReceiver.h"

namespace {

const char* const kWords[] = {"alpha", "Beta", "gamma", "delta_x", "zeta", "Omega", "pi", "rho", "sigma", "tau"};

std::string randomText(std::mt19937& rng, size_t words) {
    std::string text;
    for (size_t i = 0; i < words; ++i) {
        text += kWords[rng() % std::size(kWords)];
        switch (rng() % 6) {
        case 0: text += "\r\n"; break;
        case 1: text += "."; break;
        case 2: text += "\xC3\xA9 "; break;   // é
        default: text += " "; break;
        }
    }
    return text;
}

std::string utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

// A random tree: text files, UTF-16 files, empty files, fake and (when `realPdfs`) real
// PDF documents, nested folders.
void makeTree(const TempDir& dir, unsigned seed, int files, int realPdfs) {
    std::mt19937 rng(seed);
    const char* const folders[] = {"", "a/", "a/b/", "c/", "c/d/e/", "f g/"};
    const char* const exts[] = {".txt", ".log", ".pdf", ".md", ""};
    for (int i = 0; i < files; ++i) {
        const std::string folder = folders[rng() % std::size(folders)];
        const std::string ext = exts[rng() % std::size(exts)];
        const std::string name = folder + std::string(kWords[rng() % std::size(kWords)]) + std::to_string(i) + ext;
        std::string bytes;
        switch (rng() % 8) {
        case 0: bytes = utf16(randomText(rng, 20)); break;
        case 1: break;   // empty
        case 2: bytes = randomText(rng, 4000); break;   // longer than one read
        default: bytes = randomText(rng, 2 + rng() % 60); break;
        }
        if (ext == ".pdf" && realPdfs > 0 && rng() % 2 == 0) {
            --realPdfs;
            bytes = TestPdf::document("pdf " + randomText(rng, 6));
        }
        dir.write("t/" + name, bytes);
    }
}

struct ContentTerm {
    const char* text;
    int encoding;
    bool caseSensitive, wholeWord, isNot;
    int relation;
};

std::unique_ptr<Search_Rule> makeRule(const std::string& root, const std::string& names,
                                      const std::vector<ContentTerm>& terms) {
    auto rule = std::make_unique<Search_Rule>();
    NameLinePreparer::prepare(names, false, *rule);
    rule->folders.push_back(root);
    for (const ContentTerm& t : terms) {
        ContentTermRequest request;
        request.text = t.text;
        request.encoding = t.encoding;
        request.isCaseSensitive = t.caseSensitive;
        request.isWholeWord = t.wholeWord;
        request.isNot = t.isNot;
        request.relation = t.relation;
        EXPECT_TRUE(ContentTermBuilder::addTerms(rule->containText, request).ok);
    }
    return rule;
}

std::vector<std::string> transcript(const Search_Rule& rule, unsigned threads, bool messages = true) {
    Search_Man::s_hStopSearchEvent.reset();
    Search_Man man;
    man.setScannerThreads(threads);
    man.setPdfTextCache(false);
    TranscriptReceiver receiver;
    receiver.messages = messages;
    man.search(rule, &receiver);
    return receiver.lines;
}

size_t resultCount(const std::vector<std::string>& lines) {
    size_t n = 0;
    for (const std::string& line : lines)
        n += line.rfind("R ", 0) == 0;
    return n;
}

// Keeps the per-user cache folder inside the test's temporary folder.
class ScannerThreads : public ::testing::Test {
protected:
    void SetUp() override {
        m_oldCache = std::getenv("XDG_CACHE_HOME") ? std::getenv("XDG_CACHE_HOME") : "";
        ::setenv("XDG_CACHE_HOME", cache.path().c_str(), 1);
    }
    void TearDown() override {
        if (m_oldCache.empty())
            ::unsetenv("XDG_CACHE_HOME");
        else
            ::setenv("XDG_CACHE_HOME", m_oldCache.c_str(), 1);
        Search_Man::s_hStopSearchEvent.reset();
    }
    TempDir cache;
    TempDir tmp;

private:
    std::string m_oldCache;
};

TEST_F(ScannerThreads, SameTranscriptAsOneThreadOverRandomTreesAndRules) {
    const std::vector<std::pair<std::string, std::vector<ContentTerm>>> rules = {
        {"*", {{"alpha", 0, false, false, false, 0}}},
        {"*.txt,alpha*", {{"gamma", 0, false, false, false, 0}}},   // two groups: a file may be tested twice
        {"*", {{"Beta", 0, true, true, false, 0}}},
        {"*", {{"zeta", 0, false, false, true, 0}}},                 // NOT: files without the word
        {"*.pdf,*.log", {{"sigma", 2, false, false, false, 0}, {"tau", 0, false, false, false, 1}}},
        {"*", {{"delta", 0, false, true, false, 0}, {"pi", 0, false, false, false, 2}}},
        {"", {{"e\xCC\x81", 0, false, false, true, 0}, {"\xC3\xA9 Omega", 0, false, false, false, 0}}},
    };
    for (unsigned seed = 1; seed <= 5; ++seed) {
        TempDir dir;
        makeTree(dir, seed, seed == 5 ? 400 : 80, seed <= 2 ? 2 : 0);   // 400: batches fill up
        for (size_t r = 0; r < rules.size(); ++r) {
            const auto rule = makeRule(dir / "t", rules[r].first, rules[r].second);
            const std::vector<std::string> single = transcript(*rule, 1);
            ASSERT_GT(single.size(), 2u);
            for (unsigned threads : {2u, 5u}) {
                EXPECT_EQ(transcript(*rule, threads), single) << "seed " << seed << " rule " << r << " threads "
                                                              << threads;
            }
            EXPECT_EQ(transcript(*rule, 3, false), transcript(*rule, 1, false)) << "seed " << seed << " rule " << r;
        }
    }
}

// More files than the pool lets wait at a time, all matching: the queue fills and drains.
TEST_F(ScannerThreads, LongWalkKeepsOrderPastTheQueueLimit) {
    for (int i = 0; i < 300; ++i)
        tmp.write("t/d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".txt",
                  std::string(size_t(i) * 37 % 3000, 'x') + "needle" + std::to_string(i));
    const auto rule = makeRule(tmp / "t", "*", {{"needle", 0, false, false, false, 0}});
    const std::vector<std::string> single = transcript(*rule, 1);
    EXPECT_EQ(resultCount(single), 300u);
    EXPECT_EQ(transcript(*rule, 4), single);
}

TEST_F(ScannerThreads, UnreadableFilesReportedInPlace) {
    tmp.write("t/a.txt", "word");
    tmp.write("t/b.txt", "word");
    tmp.write("t/c.txt", "other");
    tmp.write("t/sub/d.txt", "word");
    Unprivileged::openUp(tmp.path());
    ASSERT_EQ(::chmod((tmp / "t/b.txt").c_str(), 0), 0);
    const auto rule = makeRule(tmp / "t", "*.txt,b*", {{"word", 0, false, false, false, 0}});
    const int code = Unprivileged::run([&] {
        const std::vector<std::string> single = transcript(*rule, 1);
        size_t unreadable = 0;
        for (const std::string& line : single)
            unreadable += line.rfind("U ", 0) == 0;
        if (unreadable != 2)   // tested once per matching name group
            return 1;
        return transcript(*rule, 3) == single ? 0 : 2;
    });
    EXPECT_EQ(code, 0);
}

// The walk's own output (an unreadable folder) right after a folder whose tests are still
// being gathered while every scanner is busy with large files: the gathered tests go first.
TEST_F(ScannerThreads, WalkOutputAfterGatheredTestsKeepsItsPlace) {
    const std::string big(200000, 'y');
    for (int i = 0; i < 100; ++i)
        tmp.write("t/f" + std::to_string(i) + ".txt", big + "needle");
    tmp.write("t/locked/x.txt", "needle");
    tmp.write("t/open/y.txt", "needle");
    Unprivileged::openUp(tmp.path());
    ASSERT_EQ(::chmod((tmp / "t/locked").c_str(), 0), 0);
    const auto rule = makeRule(tmp / "t", "*", {{"needle", 0, false, false, false, 0}});
    const int code = Unprivileged::run([&] {
        const std::vector<std::string> single = transcript(*rule, 1);
        if (resultCount(single) != 101)
            return 1;
        for (int round = 0; round < 10; ++round)   // the scanners' timing varies: try a few
            if (transcript(*rule, 2) != single)
                return 2;
        return 0;
    });
    ::chmod((tmp / "t/locked").c_str(), 0755);
    EXPECT_EQ(code, 0);
}

bool isPrefix(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

TEST_F(ScannerThreads, StopDuringScanningLeavesPrefixOfOneThreadReport) {
    for (int i = 0; i < 200; ++i)
        tmp.write("t/f" + std::to_string(1000 + i) + ".txt", std::string(size_t(i % 5) * 20000, 'y') + "needle");
    const auto rule = makeRule(tmp / "t", "*", {{"needle", 0, false, false, false, 0}});
    std::vector<std::string> single = transcript(*rule, 1);
    ASSERT_EQ(single.back(), "finished");
    single.pop_back();
    for (size_t stopAfter : {size_t(1), size_t(17), size_t(120)}) {
        Search_Man::s_hStopSearchEvent.reset();
        Search_Man man;
        man.setScannerThreads(4);
        TranscriptReceiver receiver;
        receiver.afterResult = [&](size_t n) {
            if (n == stopAfter)
                Search_Man::s_hStopSearchEvent.set();
        };
        man.search(*rule, &receiver);
        ASSERT_EQ(receiver.lines.back(), "finished");
        receiver.lines.pop_back();
        EXPECT_EQ(receiver.results, stopAfter) << "nothing is reported after the stop";
        EXPECT_TRUE(isPrefix(receiver.lines, single)) << "stop after " << stopAfter;
    }
}

// Converters that never end on their own: a stop must end every running one, and the
// scanners must have run more than one at a time.
TEST_F(ScannerThreads, StopEndsRunningConversions) {
    if (CT_PDF::converterProgram() != "pdftotext")
        GTEST_SKIP() << "a converter is installed in the program folder";
    const std::string bin = tmp.mkdir("slow-bin");
    const std::string pids = tmp.mkdir("pids");
    tmp.write("slow-bin/pdftotext", "#!/bin/sh\nPATH=/usr/bin:/bin\necho $$ > '" + pids +
                                        "/'$$\nexec sleep 600\n");
    ASSERT_EQ(::chmod((bin + "/pdftotext").c_str(), 0755), 0);
    for (int i = 0; i < 6; ++i)
        tmp.write("t/doc" + std::to_string(i) + ".pdf", TestPdf::document("zanzibar"));
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", bin.c_str(), 1);

    const auto countPids = [&] {
        std::vector<pid_t> out;
        if (DIR* d = ::opendir(pids.c_str())) {
            while (dirent* e = ::readdir(d))
                if (e->d_name[0] != '.')
                    out.push_back(pid_t(std::atoi(e->d_name)));
            ::closedir(d);
        }
        return out;
    };
    Search_Man::s_hStopSearchEvent.reset();
    std::atomic<bool> searching{true};
    std::thread stopper([&] {
        // Waits (without a bound on how long a converter takes to start) for two at once.
        while (searching && countPids().size() < 2)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        Search_Man::s_hStopSearchEvent.set();
    });
    Search_Man man;
    man.setScannerThreads(3);
    man.setPdfTextCache(false);
    TranscriptReceiver receiver;
    const auto rule = makeRule(tmp / "t", "*", {{"zanzibar", 0, false, false, false, 0}});
    man.search(*rule, &receiver);
    searching = false;
    stopper.join();
    ::setenv("PATH", oldPath.c_str(), 1);

    EXPECT_EQ(receiver.results, 0u);
    EXPECT_EQ(receiver.lines.back(), "finished");
    const std::vector<pid_t> started = countPids();
    EXPECT_GE(started.size(), 2u) << "conversions ran side by side";
    for (pid_t pid : started) {
        errno = 0;
        EXPECT_EQ(::kill(pid, 0), -1) << "converter " << pid << " still there";
        EXPECT_EQ(errno, ESRCH);
    }
}

// A file named .pdf that is no PDF is searched as the text it is, whatever converter is
// on PATH (here one that would fail every document).
TEST_F(ScannerThreads, FakePdfFoundByItsTextWithoutConverter) {
    const std::string bin = tmp.mkdir("bad-bin");
    const std::string marker = tmp / "converter-ran";
    tmp.write("bad-bin/pdftotext", "#!/bin/sh\n: > '" + marker + "'\nexit 1\n");
    ASSERT_EQ(::chmod((bin + "/pdftotext").c_str(), 0755), 0);
    tmp.write("t/notes.pdf", "plain notes with zanzibar inside");
    tmp.write("t/other.pdf", "nothing here");
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", bin.c_str(), 1);
    const auto rule = makeRule(tmp / "t", "*.pdf", {{"zanzibar", 0, false, false, false, 0}});
    std::vector<std::string> lines[2] = {transcript(*rule, 1), transcript(*rule, 2)};
    ::setenv("PATH", oldPath.c_str(), 1);
    for (const auto& out : lines) {
        ASSERT_EQ(resultCount(out), 1u);
        bool found = false;
        for (const std::string& line : out)
            found = found || (line.find("notes.pdf") != std::string::npos && line.rfind("R ", 0) == 0 &&
                              line.find("[plain notes with |zanzibar| inside]") != std::string::npos);
        EXPECT_TRUE(found);
    }
    EXPECT_NE(::access(marker.c_str(), F_OK), 0) << "no converter for a file without the signature";
}

}  // namespace
