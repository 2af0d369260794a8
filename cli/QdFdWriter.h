#pragma once
// Writing whole texts to a file descriptor (standard output or error), as every part of
// qdsearch does.
#include <string_view>

class QdFdWriter {
public:
    // Writes every byte, retrying short writes and interrupted calls (Ctrl+C arrives while
    // results are being printed). False when the descriptor refuses (a closed pipe, a full disk).
    static bool writeAll(int fd, std::string_view text);
};
