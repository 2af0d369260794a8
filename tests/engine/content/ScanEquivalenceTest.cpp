// The fast scanner against the position-by-position transcription, on random files and
// terms: UTF-8 sequences (complete, cut, stray), CR LF, case variants, UTF-16 text, word
// boundaries, and matches placed around the read boundaries and the carried bytes.
#include <gtest/gtest.h>

#include <random>

#include "ReferenceScan.h"
#include "content/CT_Hex.h"
#include "search/Search_Man.h"
#include "records/Search_Rule.h"
#include "support/TempDir.h"
#include "tools/Tool_Utf16.h"

namespace {

// Reads in small random pieces, so the carry and partial reads are exercised too.
class ChoppyReader : public CT_Hex {
public:
    explicit ChoppyReader(unsigned seed) : m_rng(seed) {}

protected:
    ssize_t readBlock(uint8_t* into, size_t length) override {
        const size_t piece = std::uniform_int_distribution<size_t>(1, 70000)(m_rng);
        return CT_Hex::readBlock(into, std::min(length, piece));
    }

private:
    std::mt19937 m_rng;
};

class Generator {
public:
    explicit Generator(unsigned seed) : rng(seed) {}
    std::mt19937 rng;

    size_t below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(rng); }
    bool chance(int percent) { return int(below(100)) < percent; }

    std::string word() {
        static const char* const kWords[] = {"cat", "Cat", "CAT", "concat", "cats", "ab", "aB", "x_y", "é", "été",
                                             "日本", "9lives", "_", "a", "über", "Straße", "€uro", "𝄞clef"};
        return kWords[below(sizeof kWords / sizeof *kWords)];
    }

    void piece(std::string& out) {
        switch (below(14)) {
        case 0: out += word(); break;
        case 1: out += "\r\n"; break;
        case 2: out += ' '; break;
        case 3: out += char(0xC3 + below(2)); break;                      // possibly cut sequence
        case 4: out += char(0x80 + below(0x40)); break;                   // stray continuation
        case 5: out += char(0xE0 + below(0x15)); out += char(0x80 + below(0x40)); break;
        case 6: out += char(below(256)); break;
        case 7: out += Tool_Utf16::utf8ToUtf16LE(word()); break;
        case 8: out += std::string("\r\0\n\0", 4); break;
        case 9: out += char('0' + below(10)); break;
        case 10: out += char(0xF0 + below(5)); out += char(0x80 + below(0x40)); out += char(0x80 + below(0x40)); break;
        case 11: out += std::string("\xFF\xFE", 2); break;
        case 12: out += char(0); break;
        default: out += char('a' + below(26)); break;
        }
    }

    std::string dense(size_t n) {
        std::string s;
        while (s.size() < n)
            piece(s);
        s.resize(n);
        return s;
    }

    std::string file() {
        if (!chance(15))
            return dense(below(chance(50) ? 120 : 3000));
        // Large: cheap filler with dense stretches around the read boundaries.
        const size_t size = CT_Root::READ_SIZE - 400 + below(CT_Root::READ_SIZE + 1200);
        std::string block = dense(997);
        std::string s;
        while (s.size() < size)
            s += block;
        s.resize(size);
        for (size_t boundary : {size_t(CT_Root::READ_SIZE + 64), size_t(2 * CT_Root::READ_SIZE + 64), size}) {
            const size_t from = boundary > 300 ? boundary - 300 : 0;
            if (from >= size)
                continue;
            const std::string d = dense(std::min<size_t>(600, size - from));
            s.replace(from, d.size(), d);
        }
        return s;
    }

    std::unique_ptr<ContainTextItem> term(const std::string& file) {
        auto t = std::make_unique<ContainTextItem>();
        const int kind = int(below(10));
        if (kind < 5 && file.size() > 2) {
            // A piece of the file, so that it is found somewhere.
            const size_t len = 1 + below(std::min<size_t>(12, file.size() - 1));
            const size_t at = below(file.size() - len + 1);
            t->pattern = file.substr(at, len);
        } else if (kind < 7) {
            t->pattern = Tool_Utf16::utf8ToUtf16LE(word());
            t->isAnsi = false;
        } else if (kind < 8) {
            t->pattern = dense(1 + below(30));
        } else {
            t->pattern = word();
        }
        if (t->pattern.empty())
            t->pattern = "a";
        t->isHex = t->isAnsi && chance(15);
        t->isCaseSensitive = t->isHex ? 1 : int(chance(40));
        t->isWholeWord = t->isHex ? 0 : int(chance(40));
        if (chance(10) && !t->isHex)
            t->isAnsi = !t->isAnsi;   // UTF-16 flag on arbitrary bytes, odd lengths included
        t->isNot = int(chance(25));
        t->relation = int(below(4));
        t->patternLength = int32_t(t->pattern.size());
        return t;
    }
};

std::string hexDump(const std::string& s) {
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    return out;
}

std::string describe(const ContainTextItem& t) {
    return "pattern " + hexDump(t.pattern) + (t.isAnsi ? " ansi" : " utf16") + (t.isHex ? " hex" : "") +
           (t.isCaseSensitive ? " case" : "") + (t.isWholeWord ? " word" : "") + (t.isNot ? " not" : "") +
           " rel " + std::to_string(t.relation);
}

struct EquivalenceCase {
    unsigned seed;
    int files;
};

class ScanEquivalence : public ::testing::TestWithParam<EquivalenceCase> {};

TEST_P(ScanEquivalence, FastScanAgreesWithPositionWalk) {
    Search_Man::s_hStopSearchEvent.reset();
    TempDir dir;
    Generator gen(GetParam().seed);
    std::vector<uint8_t> sharedBuffer;   // reused across files, as the dispatcher does
    for (int n = 0; n < GetParam().files; ++n) {
        const std::string content = gen.file();
        Search_Rule rule;
        const size_t termCount = 1 + gen.below(4);
        for (size_t i = 0; i < termCount; ++i)
            rule.containText.push_back(gen.term(content));
        std::vector<const ContainTextItem*> terms;
        for (auto& t : rule.containText)
            terms.push_back(t.get());

        const std::string path = dir.write("f" + std::to_string(n), content);
        const ReferenceScanResult expected = referenceScan(content, terms);

        const bool choppy = gen.chance(30);
        std::unique_ptr<CT_Root> scanner = choppy ? std::make_unique<ChoppyReader>(GetParam().seed + n)
                                                  : std::make_unique<CT_Hex>();
        ASSERT_TRUE(scanner->open(path, false));
        const bool result = scanner->scanTerms(rule, sharedBuffer);
        const std::vector<bool> found = scanner->foundTerms();
        scanner->close();

        SCOPED_TRACE("file " + std::to_string(n) + " size " + std::to_string(content.size()) +
                     (choppy ? " choppy" : ""));
        for (size_t i = 0; i < terms.size(); ++i) {
            SCOPED_TRACE("term " + std::to_string(i) + ": " + describe(*terms[i]) +
                         (content.size() < 200 ? "\nfile " + hexDump(content) : std::string()));
            ASSERT_EQ(found[i], expected.terms[i].found);
            ASSERT_EQ(terms[i]->snippetBefore, expected.terms[i].before);
            ASSERT_EQ(terms[i]->snippetMatch, expected.terms[i].match);
            ASSERT_EQ(terms[i]->snippetAfter, expected.terms[i].after);
        }
        ASSERT_EQ(result, expected.result);
    }
}

INSTANTIATE_TEST_SUITE_P(RandomFiles, ScanEquivalence,
                         ::testing::Values(EquivalenceCase{1, 400}, EquivalenceCase{2, 400}, EquivalenceCase{3, 400},
                                           EquivalenceCase{4, 400}, EquivalenceCase{5, 400}),
                         [](const auto& info) { return "seed" + std::to_string(info.param.seed); });

}  // namespace
