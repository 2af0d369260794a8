// Name-group evaluation as the disk search does it: the group's extension pattern against
// the extension, then the group's terms against the title, over a million generated names.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "records/Data_FileItem.h"
#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "records/FileNameGroupMatch.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Resource.h"
#include "tools/Tool_WCComp.h"

namespace {

struct Name {
    std::string title;
    std::string ext;
};

// Deterministic, realistic names: words, separators, dates, version digits, extensions.
const std::vector<Name>& names() {
    static const std::vector<Name> list = [] {
        const char* words[] = {"report", "Invoice", "holiday", "IMG", "draft", "budget", "notes", "Meeting",
                               "final", "scan", "photo", "backup", "Project", "summary", "data", "old",
                               "letter", "README", "config", "main", "test", "résumé", "plan", "archive"};
        const char* exts[] = {"pdf", "docx", "txt", "jpg", "png", "cpp", "h", "xlsx", "zip", "mp3", "gz", "", "md"};
        const char* seps[] = {"_", "-", " ", ""};
        uint32_t seed = 2024;
        auto next = [&seed] { return seed = seed * 1664525u + 1013904223u, seed >> 8; };
        std::vector<Name> v;
        v.reserve(1000000);
        for (int i = 0; i < 1000000; ++i) {
            std::string file;
            const int parts = 1 + static_cast<int>(next() % 3);
            for (int p = 0; p < parts; ++p) {
                if (p)
                    file += seps[next() % 4];
                file += words[next() % (sizeof words / sizeof *words)];
            }
            switch (next() % 4) {
            case 0:
                file += '_';
                file += std::to_string(2015 + next() % 11);
                file += '-';
                file += std::to_string(1 + next() % 12);
                break;
            case 1:
                file += " (";
                file += std::to_string(next() % 20);
                file += ')';
                break;
            case 2:
                file += 'v';
                file += std::to_string(next() % 100);
                break;
            default: break;
            }
            const char* ext = exts[next() % (sizeof exts / sizeof *exts)];
            if (*ext)
            {
                file += '.';
                file += ext;
            }
            Data_FileItem item;
            item.setFileName(file);
            v.push_back({item.m_strTitle, item.m_strExt});
        }
        return v;
    }();
    return list;
}

std::unique_ptr<FileNameGroup> groupFor(const std::string& line) {
    Search_Rule rule;
    NameLinePreparer::prepare(line, false, rule);
    std::vector<std::unique_ptr<FileNameGroup>> groups;
    Search_Man::divideGroupString(groups, rule);
    return std::move(groups.at(0));
}

void runGroup(benchmark::State& state, const std::string& line) {
    const auto& list = names();
    const auto group = groupFor(line);
    size_t matched = 0;
    for (auto _ : state) {
        matched = 0;
        for (const Name& n : list) {
            if (Tool_WCComp::comparePattenString(group->strExtPattern, n.ext, false) == 0 &&
                FileNameGroupMatch::compareFileGroup(group.get(), n.title.data(), n.title.size(), false))
                ++matched;
        }
        benchmark::DoNotOptimize(matched);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * list.size()));
    state.counters["ns_per_name"] = benchmark::Counter(static_cast<double>(state.iterations() * list.size()),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["matched"] = static_cast<double>(matched);
}

void BM_SingleTerm(benchmark::State& state) { runGroup(state, "report"); }
void BM_ThreeTermsWithExtension(benchmark::State& state) { runGroup(state, "rep -old ^2024.pdf"); }

BENCHMARK(BM_SingleTerm)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThreeTermsWithExtension)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
