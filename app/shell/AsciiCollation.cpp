// AsciiCollation: the collator's order of printable-ASCII texts from per-character weights.
#include "shell/AsciiCollation.h"

#include <QCollatorSortKey>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <map>
#include <mutex>
#include <numeric>
#include <optional>
#include <vector>

namespace {
constexpr char kFirst = 0x20;
constexpr char kLast = 0x7E;
// Longer texts checked besides every text of up to two characters.
constexpr int kSampleTexts = 4000;

QCollatorSortKey keyOf(const QCollator& collator, std::string_view text)
{
    return collator.sortKey(QString::fromLatin1(text.data(), qsizetype(text.size())));
}

// A fixed sample of texts of 3 to 12 characters, mostly letters and digits (where
// contractions live), with spaces and punctuation among them.
std::vector<std::string> sampleTexts()
{
    static const std::string kCommon = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ._-";
    std::vector<std::string> out;
    out.reserve(kSampleTexts);
    uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int i = 0; i < kSampleTexts; ++i) {
        std::string text(3 + next() % 10, ' ');
        for (char& c : text)
            c = next() % 4 == 0 ? char(kFirst + next() % (kLast - kFirst + 1)) : kCommon[next() % kCommon.size()];
        out.push_back(std::move(text));
    }
    return out;
}
}  // namespace

AsciiCollation::AsciiCollation(const QCollator& collator)
{
    std::vector<std::string> singles;
    for (char c = kFirst; c <= kLast; ++c)
        singles.emplace_back(1, c);
    std::vector<QCollatorSortKey> singleKeys;
    singleKeys.reserve(singles.size());
    for (const std::string& s : singles)
        singleKeys.push_back(keyOf(collator, s));
    std::vector<size_t> byKey(singles.size());
    std::iota(byKey.begin(), byKey.end(), 0);
    std::stable_sort(byKey.begin(), byKey.end(),
                     [&](size_t a, size_t b) { return singleKeys[a].compare(singleKeys[b]) < 0; });
    uint8_t w = 0;
    for (size_t k = 0; k < byKey.size(); ++k) {
        if (k == 0 || singleKeys[byKey[k - 1]].compare(singleKeys[byKey[k]]) != 0)
            ++w;
        m_weight[uint8_t(singles[byKey[k]][0])] = w;
    }

    // The check: in the weights' order, each neighbour pair must compare the same way
    // under the collator. Both orders are total preorders, so that makes them one order.
    std::vector<std::string> texts{std::string()};
    texts.insert(texts.end(), singles.begin(), singles.end());
    for (char a = kFirst; a <= kLast; ++a)
        for (char b = kFirst; b <= kLast; ++b)
            texts.push_back(std::string{a, b});
    for (std::string& s : sampleTexts())
        texts.push_back(std::move(s));
    std::sort(texts.begin(), texts.end(), [this](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
    std::optional<QCollatorSortKey> previous;
    for (size_t k = 0; k < texts.size(); ++k) {
        QCollatorSortKey key = keyOf(collator, texts[k]);
        if (previous) {
            const int slow = previous->compare(key);
            const int fast = compare(texts[k - 1], texts[k]);
            if ((slow < 0 ? -1 : slow > 0 ? 1 : 0) != fast)
                return;  // not usable
        }
        previous = std::move(key);
    }
    m_usable = true;
}

std::shared_ptr<const AsciiCollation> AsciiCollation::forLocale(const QLocale& locale)
{
    static std::mutex lock;
    static std::map<QString, std::shared_ptr<const AsciiCollation>> built;
    std::lock_guard guard(lock);
    std::shared_ptr<const AsciiCollation>& slot = built[locale.name()];
    if (!slot) {
        QCollator collator(locale);
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(false);
        slot = std::make_shared<const AsciiCollation>(collator);
    }
    return slot;
}

bool AsciiCollation::covers(std::string_view text)
{
    for (char c : text)
        if (c < kFirst || c > kLast)
            return false;
    return true;
}

void AsciiCollation::appendWeights(std::string_view text, std::string& out) const
{
    for (char c : text)
        out.push_back(char(weight(c)));
}

uint64_t AsciiCollation::prefix(std::string_view text, size_t from) const
{
    uint64_t p = 0;
    for (size_t i = from; i < from + 8; ++i)
        p = (p << 8) | (i < text.size() ? weight(text[i]) : 0u);
    return p;
}

int AsciiCollation::compare(std::string_view a, std::string_view b) const
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const uint8_t x = weight(a[i]), y = weight(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}
