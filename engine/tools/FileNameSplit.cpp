#include "tools/FileNameSplit.h"

#include <algorithm>

size_t FileNameSplit::dotsIn(std::string_view extensionPattern) {
    return static_cast<size_t>(std::count(extensionPattern.begin(), extensionPattern.end(), '.'));
}

size_t FileNameSplit::extensionDot(std::string_view name, size_t extensionDots) {
    const size_t last = name.rfind('.');
    // A name ending in a dot ("notes.") keeps it in the title: with an empty extension the
    // name rebuilt from title and extension would otherwise drop the dot and name another file.
    if (last == std::string_view::npos || last + 1 == name.size())
        return std::string_view::npos;
    size_t dot = last;
    for (size_t k = 0; k < extensionDots; ++k) {
        if (dot == 0)
            return last;   // fewer than k + 1 dots
        const size_t previous = name.rfind('.', dot - 1);
        if (previous == std::string_view::npos)
            return last;
        dot = previous;
    }
    return dot;
}

void FileNameSplit::forPattern(std::string_view& title, std::string_view& extension, size_t extensionDots,
                               std::string& scratch) {
    if (extensionDots == 0 || extension.empty())
        return;
    scratch.assign(title.data(), title.size());
    scratch.push_back('.');
    scratch.append(extension.data(), extension.size());
    const std::string_view name(scratch);
    const size_t dot = extensionDot(name, extensionDots);
    if (dot == std::string_view::npos || dot == title.size())
        return;   // the usual split: the views stay as they were
    title = name.substr(0, dot);
    extension = name.substr(dot + 1);
}

std::string FileNameSplit::patternPart(std::string_view pattern, bool title) {
    const size_t dot = pattern.find('.');
    if (title)
        return std::string(dot == std::string_view::npos ? pattern : pattern.substr(0, dot));
    return dot == std::string_view::npos ? std::string() : std::string(pattern.substr(dot + 1));
}
