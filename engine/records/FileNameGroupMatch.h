#pragma once
// Evaluation of a prepared name group (FileNameGroup) against one name or relative path.
// Pure functions of their arguments; thread-safe.
#include <cstddef>

struct FileNameGroup;

class FileNameGroupMatch {
public:
    // Evaluates the group's terms left to right against `text`: its title patterns, or with
    // `usePathPatterns` its path patterns (text is then a relative folder path). A null
    // group never matches; a null text is the empty text.
    static bool compareFileGroup(const FileNameGroup* group, const char* text, bool usePathPatterns);
    // Same for the first `length` bytes of `text`.
    static bool compareFileGroup(const FileNameGroup* group, const char* text, size_t length, bool usePathPatterns);
};
