#pragma once
// A cheap stand-in for a collator's sort keys on names of printable ASCII (0x20..0x7E): it
// orders them exactly as the collator's sortKey() does, without making a key.
//
// Each of the 95 characters gets a weight from 1 up, its place in the collator's order of
// the single characters (characters the collator treats as equal share one); two texts
// compare by their weights character by character, a text before any longer text it begins.
// That is the collator's order only where the collation has no contractions, ignorable
// characters or levels that reorder a character's neighbours; so construction checks it:
// every text of up to two such characters and a fixed sample of longer ones must come out
// in the collator's order (equal where the collator says equal). When any does not,
// usable() is false and the caller must collate. Texts with any other byte are never
// covered. Immutable after construction; any thread may read it. forLocale() builds one
// per locale and keeps it (thread-safe).
#include <QCollator>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class AsciiCollation {
public:
    // The collator is used as it is set (case sensitivity, numeric mode).
    explicit AsciiCollation(const QCollator& collator);
    // The fast path of the result list's collator: the locale's, case-insensitive,
    // numeric mode off. Built once per locale name.
    static std::shared_ptr<const AsciiCollation> forLocale(const QLocale& locale);

    bool usable() const { return m_usable; }
    // true when every byte of `text` is printable ASCII.
    static bool covers(std::string_view text);
    // The weight of a covered character (1..95).
    uint8_t weight(char c) const { return m_weight[uint8_t(c) & 0x7F]; }
    // Appends the weights of a covered text to `out`.
    void appendWeights(std::string_view text, std::string& out) const;
    // The eight weights of a covered text from character `from` on, packed big-endian, zero
    // after its end: two texts whose packed words differ (and whose earlier characters
    // weigh the same) compare as the words do.
    uint64_t prefix(std::string_view text, size_t from = 0) const;
    // -1, 0 or 1 as the collator's sort keys of two covered texts compare (when usable).
    int compare(std::string_view a, std::string_view b) const;

private:
    std::array<uint8_t, 128> m_weight{};
    bool m_usable = false;
};
