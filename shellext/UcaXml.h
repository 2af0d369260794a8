#pragma once
// The custom-action file of the Thunar file manager (uca.xml): a root element <actions>
// holding <action> elements, each with a <unique-id>. A small bounded reader of our own
// finds the actions and where the root closes; editing removes the actions of one unique
// id and inserts a new block, leaving every other byte of the file as it was.
//
// Bounds: at most kMaxBytes of text and kMaxDepth levels of elements; comments, processing
// instructions, CDATA and a DOCTYPE without an internal subset are skipped. Anything the
// reader does not understand (an unclosed tag, mismatched end tags, a root other than
// <actions>) makes it refuse, so a file it cannot read is never rewritten. Pure functions.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class UcaXml {
public:
    static constexpr size_t kMaxBytes = 4u << 20;
    static constexpr int kMaxDepth = 64;

    struct Action {
        size_t begin = 0;  // offset of "<action"
        size_t end = 0;    // one past its end tag
        std::string uniqueId;  // the text of <unique-id>, entities decoded, trimmed
    };
    struct Layout {
        std::vector<Action> actions;
        size_t rootClose = 0;     // offset of "</actions>" (or of "<actions/>")
        bool rootEmptyTag = false;  // the root is written "<actions/>"
        size_t rootEmptyTagEnd = 0;
    };

    // False with a reason for text it refuses.
    static bool read(std::string_view text, Layout& layout, std::string* error = nullptr);

    // `text` without the actions of `uniqueId` and, when `block` is not empty, with `block`
    // (one whole <action> element and its line end) as the last action. An action of that
    // id already equal to `block` (and the only one) leaves the text as it is. An empty
    // `text` becomes a new file. False (out untouched) when `text` is refused.
    static bool edit(std::string_view text, const std::string& uniqueId, const std::string& block, std::string& out,
                     std::string* error = nullptr);

    static std::string escape(std::string_view text);
    static std::string unescape(std::string_view text);
};
