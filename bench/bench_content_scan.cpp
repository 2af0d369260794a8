// Content scan throughput: 64 MiB of English-like text (warm in the page cache) searched
// for a rare word that occurs once near the end. Reports MB/s.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <unistd.h>

#include "content/CT_Hex.h"
#include "content/ContentTermBuilder.h"
#include "records/Search_Rule.h"

namespace {

const std::string& corpusFile() {
    static const std::string path = [] {
        static const char* const kWords[] = {
            "the", "of", "and", "to", "in", "is", "was", "that", "for", "it", "with", "as", "his", "on", "be",
            "at", "by", "had", "this", "not", "are", "but", "from", "or", "have", "an", "they", "which", "one",
            "you", "were", "her", "all", "she", "there", "would", "their", "we", "him", "been", "has", "when",
            "who", "will", "more", "no", "if", "out", "so", "said", "what", "up", "its", "about", "into", "than",
            "them", "can", "only", "other", "new", "some", "could", "time", "these", "two", "may", "then", "do",
            "first", "any", "my", "now", "such", "like", "our", "over", "man", "me", "even", "most", "made",
            "after", "also", "did", "many", "before", "must", "through", "back", "years", "where", "much",
            "your", "way", "well", "down", "should", "because", "each", "just", "those", "people", "Mr.", "how",
            "too", "little", "state", "good", "very", "make", "world", "still", "own", "see", "men", "work",
            "long", "get", "here", "between", "both", "life", "being", "under", "never", "day", "same",
            "another", "know", "while", "last", "might", "us", "great", "old", "year", "off", "come", "since",
            "against", "go", "came", "right", "used", "take", "three", "Quendrel", "café", "naïve", "über"};
        std::mt19937 rng(42);
        std::vector<double> weights;   // Zipf-like: common words first
        for (size_t i = 0; i < sizeof kWords / sizeof *kWords; ++i)
            weights.push_back(1.0 / double(i + 1));
        std::discrete_distribution<size_t> pick(weights.begin(), weights.end());
        std::string text;
        const size_t size = 64u << 20;
        text.reserve(size + 100);
        size_t line = 0;
        while (text.size() < size) {
            text += kWords[pick(rng)];
            if (++line % 12 == 0)
                text += ".\r\n";
            else
                text += ' ';
        }
        text.resize(size);
        text.replace(size - 1000, 11, " Zanzibari ");
        char name[] = "/tmp/bench_content_scanXXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0) {
            ::close(fd);
            std::ofstream(name, std::ios::binary) << text;
        }
        return std::string(name);
    }();
    return path;
}

void scan(benchmark::State& state, ContentTermRequest request) {
    const std::string& path = corpusFile();
    Search_Rule rule;
    ContentTermBuilder::addTerms(rule.containText, request);
    std::vector<uint8_t> buffer;
    for (auto _ : state) {
        CT_Hex scanner;
        scanner.open(path, false);
        const bool found = scanner.scanTerms(rule, buffer);
        if (!found)
            state.SkipWithError("rare word not found");
        benchmark::DoNotOptimize(found);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(64u << 20));
}

void BM_RareWordCaseInsensitive(benchmark::State& s) { scan(s, {"zanzibari"}); }
void BM_RareWordCaseSensitive(benchmark::State& s) {
    ContentTermRequest r{"Zanzibari"};
    r.isCaseSensitive = true;
    scan(s, r);
}
void BM_RareWordWholeWord(benchmark::State& s) {
    ContentTermRequest r{"zanzibari"};
    r.isWholeWord = true;
    scan(s, r);
}
void BM_RareWordBothEncodings(benchmark::State& s) {
    ContentTermRequest r{"zanzibari"};
    r.encoding = ContentTermRequest::ENC_BOTH;
    scan(s, r);
}

BENCHMARK(BM_RareWordCaseInsensitive)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RareWordCaseSensitive)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RareWordWholeWord)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RareWordBothEncodings)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    ::unlink(corpusFile().c_str());
    return 0;
}
