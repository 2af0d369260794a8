// CT_Root::scanTerms: one pass over the file for all terms.
//
// Rather than testing every term at every scan position, each term that is still missing
// jumps with memchr to the next occurrence of one of its bytes (the one expected to be
// rarest; both cases of a letter for a case-insensitive term), compares the whole term
// there and then checks that the match is one the position walk would have produced:
//  * Every byte that is not a continuation byte (0x80-0xBF) is a scan position, because
//    only continuation bytes are ever stepped over. A continuation byte is a scan position
//    unless the nearest non-continuation byte before it (at most 3 back) is a lead byte
//    whose complete sequence covers it. So membership is decided by looking back 3 bytes.
//  * A whole-word match at c comes from the scan position p right before it: c = p + 2
//    for UTF-16 terms, c = p + step(p) for ANSI terms; at c = 0, the start of the file,
//    there is no character before it, which counts as a boundary.
// The reads keep 64 bytes of history and the longest term plus 64 bytes of look-ahead
// around the positions handled per read, so excerpts and word tests never see a cut.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

#include "content/CT_Root.h"
#include "platform/Event.h"
#include "records/ContainTextItem.h"
#include "content/ContentExcerpt.h"
#include "records/Search_Rule.h"
#include "platform/Utf8Sequence.h"

bool CT_Root::stopRequested() const { return m_stop && m_stop->isSet(); }

namespace {

constexpr size_t kHistory = 64;
constexpr size_t kLookAheadExtra = 64;

inline uint8_t foldUpper(uint8_t b) { return (b >= 'a' && b <= 'z') ? uint8_t(b - 32) : b; }

inline bool isAnsiWordByte(int b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_';
}

// Rough frequency rank of a byte in files people search (higher = more common); used to
// pick the byte a term is looked for by.
int byteRank(uint8_t b) {
    static const char kCommon[] = " etaoinsrhldcumfpgwybvkxjqz";
    if (b == 0 || b == ' ' || b == 0xFF)
        return 255;
    if (b >= 'A' && b <= 'Z')
        b = uint8_t(b + 32);
    if (b >= 'a' && b <= 'z') {
        const char* at = std::strchr(kCommon, b);
        return 230 - int(at - kCommon) * 4;
    }
    if (b == '\n' || b == '\r' || b == '\t' || b == '.' || b == ',' || b == 'e')
        return 200;
    if (b >= '0' && b <= '9')
        return 120;
    if (b < 0x20)
        return 60;
    if (b >= 0x80)
        return 80;
    return 100;   // punctuation
}

// The file bytes held in the buffer: [start, start + length), absolute file offsets.
struct Window {
    const uint8_t* data = nullptr;
    uint64_t start = 0;
    size_t length = 0;
    uint64_t fileSize = 0;

    int at(int64_t pos) const {
        if (pos < int64_t(start) || pos >= int64_t(start + length))
            return -1;
        return data[pos - int64_t(start)];
    }
    // Length of the step from scan position p: a complete UTF-8 sequence, else 1.
    int step(int64_t p) const {
        const int len = Utf8Sequence::leadLength(at(p));
        for (int k = 1; k < len; ++k)
            if (!Utf8Sequence::isContinuation(at(p + k)))
                return 1;
        return len;
    }
    bool isScanPosition(int64_t q) const {
        if (!Utf8Sequence::isContinuation(at(q)))
            return true;
        for (int k = 1; k <= 3; ++k) {
            const int64_t r = q - k;
            if (r < 0)
                return true;
            if (!Utf8Sequence::isContinuation(at(r)))
                return step(r) <= k;
        }
        return true;
    }
    // The scan position whose step ends at c, or -1.
    int64_t scanPredecessor(int64_t c) const {
        for (int k = 1; k <= 4 && c - k >= 0; ++k)
            if (isScanPosition(c - k) && step(c - k) == k)
                return c - k;
        return -1;
    }
};

class TermMatcher {
public:
    explicit TermMatcher(const ContainTextItem& term) {
        const auto* p = reinterpret_cast<const uint8_t*>(term.pattern.data());
        m_length = term.pattern.size();
        m_caseSensitive = term.isCaseSensitive != 0;
        m_utf16 = !term.isAnsi;
        m_evenOnly = m_utf16 && !term.isHex;
        m_wholeWord = term.isWholeWord != 0;
        m_wordCharsApply = m_wholeWord && m_length > 0 && p[0] <= 0x7F;
        m_folded.resize(m_length);
        for (size_t i = 0; i < m_length; ++i)
            m_folded[i] = m_caseSensitive ? p[i] : foldUpper(p[i]);
        int best = 1 << 30;
        for (size_t i = 0; i < m_length; ++i) {
            const uint8_t b = p[i];
            const bool letter = !m_caseSensitive && ((b | 0x20) >= 'a' && (b | 0x20) <= 'z');
            const int rank = byteRank(b) * (letter ? 2 : 1);
            if (rank < best) {
                best = rank;
                m_anchor = i;
                m_anchorA = letter ? uint8_t(b & ~0x20) : b;
                m_anchorB = letter ? uint8_t(b | 0x20) : b;
            }
        }
    }

    size_t length() const { return m_length; }
    bool found = false;

    // Looks for the first match whose scan position lies in [p0, p1); true when found.
    bool findIn(const Window& w, int64_t p0, int64_t p1, int64_t& matchStart) const {
        if (m_length == 0)
            return false;
        const int64_t cFrom = std::max<int64_t>(p0, int64_t(w.start));
        int64_t cEnd = p1 + (m_wholeWord ? 4 : 0);                         // exclusive
        cEnd = std::min<int64_t>(cEnd, int64_t(w.start + w.length) - int64_t(m_length) + 1);
        if (cEnd <= cFrom)
            return false;
        const uint8_t* base = w.data;
        const uint8_t* lo = base + (cFrom - int64_t(w.start)) + m_anchor;
        const uint8_t* hi = base + (cEnd - int64_t(w.start)) + m_anchor;
        auto next = [hi](const uint8_t* from, uint8_t byte) -> const uint8_t* {
            return from < hi ? static_cast<const uint8_t*>(std::memchr(from, byte, size_t(hi - from))) : nullptr;
        };
        const uint8_t* na = next(lo, m_anchorA);
        const uint8_t* nb = m_anchorB != m_anchorA ? next(lo, m_anchorB) : nullptr;
        while (na || nb) {
            const uint8_t* hit;
            if (na && (!nb || na < nb)) {
                hit = na;
                na = next(na + 1, m_anchorA);
            } else {
                hit = nb;
                nb = next(nb + 1, m_anchorB);
            }
            const uint8_t* cand = hit - m_anchor;
            if (!equalsAt(cand))
                continue;
            const int64_t c = int64_t(w.start) + (cand - base);
            if (accepts(w, c, p0, p1)) {
                matchStart = c;
                return true;
            }
        }
        return false;
    }

private:
    bool equalsAt(const uint8_t* cand) const {
        if (m_caseSensitive)
            return std::memcmp(cand, m_folded.data(), m_length) == 0;
        for (size_t i = 0; i < m_length; ++i)
            if (foldUpper(cand[i]) != static_cast<uint8_t>(m_folded[i]))
                return false;
        return true;
    }

    bool isWordAt(const Window& w, int64_t pos) const {
        if (!m_wordCharsApply)
            return false;
        if (!m_utf16)
            return isAnsiWordByte(w.at(pos));
        const int high = w.at(pos), low = w.at(pos + 1);
        if (high < 0 || low < 0)
            return false;
        const int v = (high << 8) | low;
        return (v >= 0x3000 && v <= 0x3900) || (v >= 0x4100 && v <= 0x7A00);
    }

    // Would the position walk have produced a match at c, from a position in [p0, p1)?
    bool accepts(const Window& w, int64_t c, int64_t p0, int64_t p1) const {
        int64_t p;
        if (m_wholeWord && c == 0) {
            // The start of the file is a word boundary: a word there has no character
            // before it. It belongs to the first positions handled.
            return p0 == 0 && !isWordAt(w, int64_t(m_length));
        }
        if (!m_wholeWord) {
            p = c;
            if (!w.isScanPosition(p))
                return false;
        } else if (m_utf16) {
            p = c - 2;
            if (p < 0 || !w.isScanPosition(p))
                return false;
        } else {
            p = w.scanPredecessor(c);
            if (p < 0)
                return false;
        }
        if (p < p0 || p >= p1)
            return false;
        if (m_evenOnly && (p & 1))
            return false;
        if (m_wholeWord && (isWordAt(w, p) || isWordAt(w, c + int64_t(m_length))))
            return false;
        return true;
    }

    size_t m_length = 0;
    bool m_caseSensitive = false;
    bool m_utf16 = false;
    bool m_evenOnly = false;
    bool m_wholeWord = false;
    bool m_wordCharsApply = false;
    std::string m_folded;
    size_t m_anchor = 0;
    uint8_t m_anchorA = 0, m_anchorB = 0;
};

bool evaluate(const Search_Rule& rule, const std::vector<TermMatcher>& matchers) {
    bool result = false;
    for (size_t i = 0; i < matchers.size(); ++i) {
        const bool value = matchers[i].found != (rule.containText[i]->isNot != 0);
        if (i == 0) {
            result = value;
            continue;
        }
        switch (rule.containText[i]->relation) {
        case 0: result = result && value; break;
        case 1: result = result || value; break;
        case 2: result = result != value; break;
        default: break;
        }
    }
    return result;
}

}  // namespace

bool CT_Root::scanTerms(const Search_Rule& rule) {
    std::vector<uint8_t> buffer;
    return scanTerms(rule, buffer);
}

bool CT_Root::scanTerms(const Search_Rule& rule, std::vector<uint8_t>& buffer) {
    m_found.assign(rule.containText.size(), false);
    if (!m_hFile.valid() || rule.containText.empty())
        return false;
    std::vector<TermMatcher> matchers;
    matchers.reserve(rule.containText.size());
    size_t maxLength = 0;
    size_t minLength = SIZE_MAX;   // shortest term that can match at all (empty ones never do)
    for (const auto& term : rule.containText) {
        matchers.emplace_back(*term);
        maxLength = std::max(maxLength, term->pattern.size());
        minLength = std::min(minLength, std::max<size_t>(term->pattern.size(), 1));
    }
    uint64_t fileSize = m_fileSize;

    const size_t lookAhead = maxLength + kLookAheadExtra;
    const size_t capacity = READ_SIZE + lookAhead + kHistory;
    if (buffer.size() < capacity)
        buffer.resize(capacity);
    uint8_t* buf = buffer.data();

    // Each term is tried at every scan position where it fits, so positions run up to the
    // last one where the shortest term fits. A term's own end bound comes from the window:
    // findIn never places a candidate past the data, and at the last read that is the file's end.
    int64_t limit = int64_t(fileSize) - int64_t(minLength);   // last scan position
    uint64_t winStart = 0;   // file offset of buf[0]
    size_t have = 0;         // bytes in buf
    int64_t p0 = 0;          // first scan position not yet handled
    size_t missing = matchers.size();

    for (;;) {
        const uint64_t want = std::min<uint64_t>(capacity - have, fileSize - (winStart + have));
        if (want > 0) {
            const ssize_t n = readBlock(buf + have, size_t(want));
            if (n < 0)
                return false;
            if (n == 0) {   // the file became shorter: its end is here
                fileSize = winStart + have;
                limit = int64_t(fileSize) - int64_t(minLength);
            }
            have += size_t(n);
        }
        if (stopRequested())
            return false;

        const bool final = winStart + have >= fileSize;
        int64_t p1 = limit + 1;
        if (!final)
            p1 = std::min<int64_t>(p1, int64_t(winStart + have) - int64_t(lookAhead));
        if (p1 > p0) {
            const Window w{buf, winStart, have, fileSize};
            for (auto& m : matchers) {
                if (m.found)
                    continue;
                int64_t c;
                if (m.findIn(w, p0, p1, c)) {
                    m.found = true;
                    m_found[size_t(&m - matchers.data())] = true;
                    --missing;
                    const ContainTextItem& term = *rule.containText[size_t(&m - matchers.data())];
                    ContentExcerpt::capture(term, buf, winStart, have, fileSize, uint64_t(c));
                }
            }
            p0 = p1;
        }
        if (missing == 0 || final || p0 > limit)
            break;
        // Keep the history before the next position and the unhandled tail.
        const uint64_t keepFrom = std::max<uint64_t>(winStart, p0 > int64_t(kHistory) ? uint64_t(p0) - kHistory : 0);
        const size_t drop = size_t(keepFrom - winStart);
        if (drop > 0) {
            std::memmove(buf, buf + drop, have - drop);
            have -= drop;
            winStart = keepFrom;
        }
    }
    return evaluate(rule, matchers);
}
