#include "ReferenceScan.h"

#include <algorithm>
#include <cstdio>

#include "records/ContainTextItem.h"
#include "tools/Tool_Utf16.h"

namespace {

int byteAt(const std::string& f, long pos) {
    return (pos >= 0 && pos < long(f.size())) ? static_cast<unsigned char>(f[size_t(pos)]) : -1;
}

// Step from scan position p: the announced length of a UTF-8 lead byte when all its
// continuation bytes are there, else one byte.
long stepAt(const std::string& f, long p) {
    const int b = byteAt(f, p);
    long len = 1;
    if (b >= 0xC2 && b <= 0xDF)
        len = 2;
    else if (b >= 0xE0 && b <= 0xEF)
        len = 3;
    else if (b >= 0xF0 && b <= 0xF4)
        len = 4;
    for (long k = 1; k < len; ++k) {
        const int c = byteAt(f, p + k);
        if (c < 0x80 || c > 0xBF)
            return 1;
    }
    return len;
}

bool isWordCharacter(const ContainTextItem& t, const std::string& f, long pos) {
    if (static_cast<unsigned char>(t.pattern[0]) > 0x7F)
        return false;
    if (t.isAnsi) {
        const int b = byteAt(f, pos);
        return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b == '_';
    }
    const int hi = byteAt(f, pos), lo = byteAt(f, pos + 1);
    if (hi < 0 || lo < 0)
        return false;
    const int v = hi * 256 + lo;
    return (v >= 0x3000 && v <= 0x3900) || (v >= 0x4100 && v <= 0x7A00);
}

int upper(int b) { return (b >= 0x61 && b <= 0x7A) ? b - 0x20 : b; }

std::string hexForm(const std::string& bytes) {
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X", c);
        out += buf;
        out += ' ';
    }
    return out;
}

std::string crlfToTwoSpaces(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            out += "  ";
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
}

bool cont(unsigned char c) { return c >= 0x80 && c <= 0xBF; }

void excerpt(const ContainTextItem& t, const std::string& f, long m, ReferenceTermResult& r) {
    const long len = long(t.pattern.size());
    const long end = m + len;
    const long ctx = t.isHex ? 24 : 48;
    const std::string utf16CrLf("\r\0\n\0", 4);

    // before
    std::string ctxBytes;
    bool dots = false;
    if (m > ctx) {
        dots = true;
        ctxBytes = f.substr(size_t(m - ctx), size_t(ctx));
        r.before = "...";
    } else {
        ctxBytes = f.substr(0, size_t(m));
    }
    if (t.isHex) {
        r.before += hexForm(ctxBytes);
    } else if (t.isAnsi) {
        int dropped = 0;
        while (dots && dropped < 3 && !ctxBytes.empty() && cont(static_cast<unsigned char>(ctxBytes[0]))) {
            ctxBytes.erase(0, 1);
            ++dropped;
        }
        if (ctxBytes.size() >= 2 && ctxBytes.compare(ctxBytes.size() - 2, 2, "\r\n") == 0)
            r.before += crlfToTwoSpaces(ctxBytes.substr(0, ctxBytes.size() - 2)) + " ";
        else
            r.before += crlfToTwoSpaces(ctxBytes);
    } else {
        bool tailSpace = false;
        if (ctxBytes.size() >= 4 && ctxBytes.compare(ctxBytes.size() - 4, 4, utf16CrLf) == 0) {
            ctxBytes.resize(ctxBytes.size() - 4);
            tailSpace = true;
        }
        if (!dots && ctxBytes.size() >= 2 && ctxBytes[0] == '\xFF' && ctxBytes[1] == '\xFE') {
            r.before += " ";
            ctxBytes.erase(0, 2);
        }
        if (dots && ctxBytes.size() >= 2) {
            const unsigned unit = static_cast<unsigned char>(ctxBytes[0]) | (static_cast<unsigned char>(ctxBytes[1]) << 8);
            if (unit >= 0xDC00 && unit <= 0xDFFF)
                ctxBytes.erase(0, 2);
        }
        r.before += Tool_Utf16::utf16LEToUtf8(ctxBytes);
        if (tailSpace)
            r.before += " ";
    }

    // match
    const std::string matched = f.substr(size_t(m), size_t(len));
    if (t.isHex) {
        r.match = hexForm(matched);
    } else if (t.isAnsi) {
        r.match = matched;
        if (f.compare(size_t(end), 2, "\r\n") == 0 && end + 2 <= long(f.size()))
            r.match += " ";
    } else {
        r.match = Tool_Utf16::utf16LEToUtf8(matched);
        if (end + 4 <= long(f.size()) && f.compare(size_t(end), 4, utf16CrLf) == 0)
            r.match += " ";
    }

    // after
    if (end >= long(f.size()))
        return;
    const long avail = long(f.size()) - end;
    const bool dotsAfter = avail > ctx;
    std::string taken = f.substr(size_t(end), size_t(dotsAfter ? ctx : avail));
    if (t.isHex) {
        r.after = hexForm(taken);
    } else if (t.isAnsi) {
        // an incomplete UTF-8 sequence at the end is dropped
        for (size_t k = 1; k <= 3 && k <= taken.size(); ++k) {
            const unsigned char c = static_cast<unsigned char>(taken[taken.size() - k]);
            if (cont(c))
                continue;
            const size_t need = (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 1;
            if (need > k)
                taken.resize(taken.size() - k);
            break;
        }
        r.after = crlfToTwoSpaces(taken);
    } else {
        if (taken.size() % 2)
            taken.pop_back();
        if (dotsAfter && taken.size() >= 2) {
            const unsigned unit = static_cast<unsigned char>(taken[taken.size() - 2]) |
                                  (static_cast<unsigned char>(taken[taken.size() - 1]) << 8);
            if (unit >= 0xD800 && unit <= 0xDBFF)
                taken.resize(taken.size() - 2);
        }
        r.after = Tool_Utf16::utf16LEToUtf8(taken);
    }
    if (dotsAfter)
        r.after += "...";
}

}  // namespace

ReferenceScanResult referenceScan(const std::string& f, const std::vector<const ContainTextItem*>& terms) {
    ReferenceScanResult out;
    out.terms.resize(terms.size());
    // Every scan position of the file; each term is tried wherever it fits. Position -1
    // stands for the start of the file, the boundary before a whole word at offset 0.
    const long size = long(f.size());
    size_t missing = terms.size();
    for (long p = -1; p < size && missing > 0; p += p < 0 ? 1 : stepAt(f, p)) {
        for (size_t i = 0; i < terms.size(); ++i) {
            const ContainTextItem& t = *terms[i];
            const long len = long(t.pattern.size());
            if (out.terms[i].found || len == 0 || (p < 0 && !t.isWholeWord))
                continue;
            if (p + len > size)
                continue;
            if (!t.isAnsi && !t.isHex && p >= 0 && (p % 2) != 0)
                continue;
            long cand = p;
            if (t.isWholeWord && p < 0) {
                cand = 0;
            } else if (t.isWholeWord) {
                if (isWordCharacter(t, f, p))
                    continue;
                cand = p + (!t.isAnsi ? 2 : stepAt(f, p));
            }
            if (cand + len > size)
                continue;
            bool equal = true;
            for (long k = 0; k < len && equal; ++k) {
                int a = byteAt(f, cand + k), b = static_cast<unsigned char>(t.pattern[size_t(k)]);
                if (!t.isCaseSensitive) {
                    a = upper(a);
                    b = upper(b);
                }
                equal = a == b;
            }
            if (!equal)
                continue;
            if (t.isWholeWord && isWordCharacter(t, f, cand + len))
                continue;
            out.terms[i].found = true;
            --missing;
            excerpt(t, f, cand, out.terms[i]);
        }
    }
    for (size_t i = 0; i < terms.size(); ++i) {
        const bool value = out.terms[i].found != (terms[i]->isNot != 0);
        if (i == 0)
            out.result = value;
        else if (terms[i]->relation == 0)
            out.result = out.result && value;
        else if (terms[i]->relation == 1)
            out.result = out.result || value;
        else if (terms[i]->relation == 2)
            out.result = out.result != value;
    }
    return out;
}
