#pragma once
// The one ASCII case fold of the program: 'A' to 'Z' become 'a' to 'z'; every other byte,
// those of UTF-8 sequences included, stays as it is (names and keys are compared without
// regard to ASCII case only). Pure functions; thread-safe.
#include <string>
#include <string_view>

class AsciiCase {
public:
    static constexpr char fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

    static std::string folded(std::string_view text) {
        std::string out(text);
        for (char& c : out)
            c = fold(c);
        return out;
    }

    static bool equalFolded(std::string_view a, std::string_view b) {
        if (a.size() != b.size())
            return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (fold(a[i]) != fold(b[i]))
                return false;
        return true;
    }
};
