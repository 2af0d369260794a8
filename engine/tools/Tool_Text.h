#pragma once
// Small byte-string helpers shared by the pattern and expression parsers. "White space" is
// the ASCII set space, tab, CR, LF, VT and FF; bytes above 0x7F are never trimmed.
#include <string>
#include <string_view>

class Tool_Text {
public:
    static constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";

    // Removes leading bytes that are in `set`.
    static void trimLeft(std::string& s, std::string_view set = kWhiteSpace) {
        const size_t first = s.find_first_not_of(set);
        if (first == std::string::npos)
            s.clear();
        else if (first > 0)
            s.erase(0, first);
    }
    // Removes trailing bytes that are in `set`.
    static void trimRight(std::string& s, std::string_view set = kWhiteSpace) {
        const size_t last = s.find_last_not_of(set);
        if (last == std::string::npos)
            s.clear();
        else
            s.erase(last + 1);
    }
    static void trim(std::string& s, std::string_view set = kWhiteSpace) {
        trimRight(s, set);
        trimLeft(s, set);
    }
    static std::string trimmed(std::string s, std::string_view set = kWhiteSpace) {
        trim(s, set);
        return s;
    }
    static bool isWhiteSpace(char c) { return kWhiteSpace.find(c) != std::string_view::npos; }
};
