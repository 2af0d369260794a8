#include "content/ContentExcerpt.h"

#include <string>

#include "records/ContainTextItem.h"
#include "tools/Tool_Utf16.h"
#include "platform/Utf8Sequence.h"

namespace {

void appendHex(std::string& out, const uint8_t* p, size_t n) {
    static const char kDigits[] = "0123456789ABCDEF";
    for (size_t i = 0; i < n; ++i) {
        out += kDigits[p[i] >> 4];
        out += kDigits[p[i] & 15];
        out += ' ';
    }
}

void appendReplacingCrLf(std::string& out, const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n') {
            out += "  ";
            ++i;
        } else {
            out += static_cast<char>(p[i]);
        }
    }
}

bool isUtf16CrLf(const uint8_t* p) { return p[0] == 0x0D && p[1] == 0 && p[2] == 0x0A && p[3] == 0; }
unsigned unitAt(const uint8_t* p) { return p[0] | (unsigned(p[1]) << 8); }
}  // namespace

void ContentExcerpt::capture(const ContainTextItem& term, const uint8_t* data, uint64_t dataStart,
                             size_t dataLength, uint64_t fileSize, uint64_t m) {
    const size_t len = term.pattern.size();
    const uint64_t end = m + len;
    const uint64_t dataEnd = dataStart + dataLength;
    const size_t ctx = term.isHex ? HEX_CONTEXT : TEXT_CONTEXT;
    auto at = [&](uint64_t pos) { return data + (pos - dataStart); };
    std::string& before = term.snippetBefore;
    std::string& match = term.snippetMatch;
    std::string& after = term.snippetAfter;
    before.clear();
    match.clear();
    after.clear();

    // ---- before
    const bool dotsBefore = m > ctx;
    const uint64_t from = dotsBefore ? m - ctx : 0;
    const uint8_t* b = at(from);
    size_t bn = static_cast<size_t>(m - from);
    if (dotsBefore)
        before.append("...", 3);
    if (term.isHex) {
        appendHex(before, b, bn);
    } else if (term.isAnsi) {
        if (dotsBefore)
            for (int k = 0; k < 3 && bn > 0 && Utf8Sequence::isContinuation(*b); ++k, ++b, --bn) {
            }
        const bool crlfAtEnd = bn >= 2 && b[bn - 2] == '\r' && b[bn - 1] == '\n';
        appendReplacingCrLf(before, b, crlfAtEnd ? bn - 2 : bn);
        if (crlfAtEnd)
            before.push_back(' ');
    } else {
        std::string units(reinterpret_cast<const char*>(b), bn & ~size_t(1));
        bool crlfAtEnd = false;
        if (units.size() >= 4 && isUtf16CrLf(reinterpret_cast<const uint8_t*>(units.data()) + units.size() - 4)) {
            units.resize(units.size() - 4);
            crlfAtEnd = true;
        }
        std::string prefix;
        if (!dotsBefore && units.size() >= 2 && unitAt(reinterpret_cast<const uint8_t*>(units.data())) == 0xFEFF) {
            units.erase(0, 2);
            prefix.push_back(' ');
        } else if (dotsBefore && units.size() >= 2) {
            const unsigned first = unitAt(reinterpret_cast<const uint8_t*>(units.data()));
            if (first >= 0xDC00 && first <= 0xDFFF)
                units.erase(0, 2);
        }
        before += prefix;
        before += Tool_Utf16::utf16LEToUtf8(units);
        if (crlfAtEnd)
            before.push_back(' ');
    }

    // ---- match
    const uint8_t* mp = at(m);
    if (term.isHex) {
        appendHex(match, mp, len);
    } else if (term.isAnsi) {
        match.assign(reinterpret_cast<const char*>(mp), len);
        if (end + 2 <= dataEnd && end + 2 <= fileSize && at(end)[0] == '\r' && at(end)[1] == '\n')
            match.push_back(' ');
    } else {
        match = Tool_Utf16::utf16LEToUtf8(mp, len);
        if (end + 4 <= dataEnd && end + 4 <= fileSize && isUtf16CrLf(at(end)))
            match.push_back(' ');
    }

    // ---- after
    if (end >= fileSize)
        return;
    const bool dotsAfter = fileSize - end > ctx;
    const uint8_t* a = at(end);
    size_t an = dotsAfter ? ctx : static_cast<size_t>(fileSize - end);
    if (term.isHex) {
        appendHex(after, a, an);
    } else if (term.isAnsi) {
        // Drop a sequence whose continuation bytes were cut off.
        for (size_t k = 1; k <= 3 && k <= an; ++k) {
            const uint8_t c = a[an - k];
            if (Utf8Sequence::isContinuation(c))
                continue;
            if (static_cast<size_t>(Utf8Sequence::leadLength(c)) > k)
                an -= k;
            break;
        }
        appendReplacingCrLf(after, a, an);
    } else {
        an &= ~size_t(1);
        if (dotsAfter && an >= 2) {
            const unsigned last = unitAt(a + an - 2);
            if (last >= 0xD800 && last <= 0xDBFF)
                an -= 2;
        }
        after = Tool_Utf16::utf16LEToUtf8(a, an);
    }
    if (dotsAfter)
        after.append("...", 3);
}
