// The receiver hears of every folder and file the search could not read, and of nothing
// that merely vanished.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>

#include "RecordingReceiver.h"
#include "content/ContentTermBuilder.h"
#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "support/TempDir.h"
#include "support/Unprivileged.h"

namespace {

class UnreadableRecorder : public RecordingReceiver {
public:
    std::vector<std::pair<std::string, int>> unreadable;
    void entryUnreadable(const std::string& path, int errorNumber) override {
        unreadable.emplace_back(path, errorNumber);
    }
};

std::unique_ptr<Search_Rule> rule(const std::string& folder, const std::string& text = "") {
    auto r = std::make_unique<Search_Rule>();
    NameLinePreparer::prepare("*.txt", false, *r);
    r->folders.push_back(folder);
    if (!text.empty()) {
        ContentTermRequest request;
        request.text = text;
        ContentTermBuilder::addTerms(r->containText, request);
    }
    return r;
}

using Reports = std::vector<std::pair<std::string, int>>;

class SearchUnreadable : public ::testing::Test {
protected:
    void SetUp() override {
        Search_Man::s_hStopSearchEvent.reset();
        tmp.write("t/open/a.txt", "word");
        tmp.write("t/locked/b.txt", "word");
        tmp.write("t/secret.txt", "word");
        Unprivileged::openUp(tmp.path());
        ::chmod((tmp / "t/locked").c_str(), 0);
        ::chmod((tmp / "t/secret.txt").c_str(), 0);
    }
    // 0 when a search as an unprivileged user reported exactly `expected`.
    int reportsUnprivileged(const std::string& folder, const std::string& text, const Reports& expected) {
        return Unprivileged::run([&] {
            Search_Man searcher;
            UnreadableRecorder r;
            searcher.search(*rule(folder, text), &r);
            return r.unreadable == expected ? 0 : 1;
        });
    }
    TempDir tmp;
};

TEST_F(SearchUnreadable, FolderThatCannotBeListedIsReported) {
    EXPECT_EQ(reportsUnprivileged(tmp / "t", "", {{tmp / "t/locked", EACCES}}), 0);
}

TEST_F(SearchUnreadable, FileWhoseContentCannotBeOpenedIsReported) {
    EXPECT_EQ(reportsUnprivileged(tmp / "t", "word", {{tmp / "t/secret.txt", EACCES}, {tmp / "t/locked", EACCES}}),
              0);
}

TEST_F(SearchUnreadable, RootThatCannotBeOpenedIsReported) {
    EXPECT_EQ(reportsUnprivileged(tmp / "t/locked/", "", {{tmp / "t/locked", EACCES}}), 0);
    Search_Man searcher;
    UnreadableRecorder r;
    searcher.search(*rule(tmp / "missing/"), &r);
    EXPECT_EQ(r.unreadable, (Reports{{tmp / "missing", ENOENT}}));
}

TEST_F(SearchUnreadable, VanishedFoldersAndOtherFileKindsAreNotReported) {
    ::chmod((tmp / "t/locked").c_str(), 0755);
    ::chmod((tmp / "t/secret.txt").c_str(), 0644);
    tmp.write("t/gone/c.txt", "word");
    ASSERT_EQ(::mkfifo((tmp / "t/pipe.txt").c_str(), 0644), 0);
    UnreadableRecorder r;
    r.afterResult = [&](size_t n) {
        if (n == 1)
            std::filesystem::remove_all(tmp / "t/gone");
    };
    Search_Man searcher;
    searcher.search(*rule(tmp / "t", "word"), &r);
    EXPECT_EQ(r.unreadable, Reports{});
    EXPECT_GE(r.items.size(), 1u);
}

}  // namespace
