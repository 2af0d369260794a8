#pragma once
// Builds the excerpt of a term's first match: the term's snippetBefore, snippetMatch and
// snippetAfter. All lengths are bytes of the file.
//
//  * Context: 48 bytes for a text term, 24 for a hexadecimal term.
//  * Before: the context bytes before the match; when the match starts more than the
//    context size into the file, only the last context-size bytes, led by "...".
//  * Match: the matched bytes of the file.
//  * After (only when the match ends before the end of the file): the context bytes after
//    the match; when more remain, only context-size bytes, followed by "...".
//  * Hexadecimal term: every byte as two upper-case digits and a space ("0D 0A ").
//  * ANSI text term: a cut UTF-8 sequence at either edge is dropped (leading continuation
//    bytes after "...", an incomplete sequence at the end of the after-context); a CR LF
//    at the very end of the before-context becomes one space, every other CR LF of both
//    contexts two spaces; a CR LF right after the match adds one space to the match.
//  * UTF-16 text term: converted to UTF-8; a byte-order mark at the start of the file
//    becomes a space; a surrogate half cut off at an edge is dropped; a CR LF at the very
//    end of the before-context becomes one space; a UTF-16 CR LF right after the match adds
//    one space to the match.
#include <cstddef>
#include <cstdint>

struct ContainTextItem;

class ContentExcerpt {
public:
    static constexpr size_t TEXT_CONTEXT = 48;
    static constexpr size_t HEX_CONTEXT = 24;

    // `data` holds the file bytes [dataStart, dataStart + dataLength); it must cover the
    // contexts of the match and the four bytes after it (as far as the file reaches).
    // `fileSize` is the size of the file being scanned.
    static void capture(const ContainTextItem& term, const uint8_t* data, uint64_t dataStart, size_t dataLength,
                        uint64_t fileSize, uint64_t matchStart);
};
