#pragma once
// Turns what a person typed for content search into the content terms of a rule. The
// contained-text panel and the command line both call it, so both build the very same terms.
//
// The main text gives one term, or two when both encodings are asked for. A user-defined
// expression gives one term per analysed segment (see addExpression). Terms are appended
// to the list in the order built; on an error nothing is appended.
#include <memory>
#include <string>
#include <vector>

struct ContainTextItem;

struct ContentTermRequest {
    enum Encoding { ENC_ANSI = 0, ENC_UTF16 = 1, ENC_BOTH = 2 };

    std::string text;
    bool isHex = false;          // the text is hexadecimal byte values (spaces ignored)
    int encoding = ENC_ANSI;     // ignored for hexadecimal text
    bool isCaseSensitive = false;
    bool isWholeWord = false;
    bool isNot = false;
    int relation = 0;            // 0 AND, 1 OR, 2 XOR
};

struct ContentTermResult {
    bool ok = true;
    // Language string describing the error: 90 odd number of hexadecimal digits,
    // 91 a character that is no hexadecimal digit; 0 when ok.
    unsigned errorString = 0;
};

class ContentTermBuilder {
public:
    using TermList = std::vector<std::unique_ptr<ContainTextItem>>;

    static constexpr unsigned ERR_HEX_ODD_DIGITS = 90;
    static constexpr unsigned ERR_HEX_BAD_DIGIT = 91;

    // Appends the term(s) for one request. An empty (or blank) text adds nothing and succeeds.
    static ContentTermResult addTerms(TermList& terms, const ContentTermRequest& request);

    // Appends the terms of a user-defined expression: the expression is trimmed and, when it
    // does not start with a separating operator, an AND operator is put in front; it is split
    // into segments at the separating operators; each segment's operator characters give its
    // flags; a segment with an empty text adds nothing. Hexadecimal segment errors are
    // reported as for addTerms, and then nothing of the expression is appended.
    static ContentTermResult addExpression(TermList& terms, const std::string& expression);

    // Decodes hexadecimal digit pairs (spaces ignored). Returns 0 and fills `bytes`, or the
    // error string number.
    static unsigned decodeHex(const std::string& text, std::string& bytes);
};
