#pragma once
// Where a file name divides into title and extension for the name tests.
//
// A name pattern is split at its first dot, so the extension pattern of a group may itself
// contain dots ("tar.gz" from "*.tar.gz"). A name is tested with an extension of as many
// dot-separated parts as that pattern needs: for an extension pattern with k dots the
// extension is the name's last k + 1 parts and the title the rest ("archive.tar.gz" with
// k = 1: title "archive", extension "tar.gz"). With k = 0 this is the usual split at the
// last dot. A name that has no extension by the usual split (no dot, or a dot at the end),
// or fewer than k + 1 dots, is divided by the usual split.
//
// Every place that divides names (items, the disk walk, archive members, index caches,
// mask selection) uses this one rule. Pure functions on bytes; thread-safe.
#include <cstddef>
#include <string>
#include <string_view>

class FileNameSplit {
public:
    // The title pattern (before the first dot; the whole pattern when it has none) or,
    // with `title` false, the extension pattern (after the first dot; empty when it has
    // none) of a name pattern.
    static std::string patternPart(std::string_view pattern, bool title);
    // The number of dots in an extension pattern (the k above).
    static size_t dotsIn(std::string_view extensionPattern);
    // The index of the dot that ends the title of `name` for an extension pattern with
    // `extensionDots` dots; npos when the whole name is the title.
    static size_t extensionDot(std::string_view name, size_t extensionDots = 0);

    // Re-divides a name that is held as title and extension split at its last dot (items
    // and index caches keep names so) for an extension pattern with `extensionDots` dots.
    // `title` and `extension` are then views of the parts to test; they point into the
    // arguments or into `scratch`, which must outlive them. With 0 dots they are the
    // arguments unchanged.
    static void forPattern(std::string_view& title, std::string_view& extension, size_t extensionDots,
                           std::string& scratch);
};
