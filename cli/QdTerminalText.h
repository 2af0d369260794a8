#pragma once
// Text from the file system (names, paths, content excerpts) made safe to show on a
// terminal: control characters would otherwise move the cursor, change colours, retitle
// the window or ring the bell.
//
// qdsearch escapes only what it writes to a terminal; pipes, files and -0 output get the
// bytes exactly as they are. The escapes are C-style and unambiguous:
//   \a \b \t \n \v \f \r \e  for BEL, BS, TAB, LF, VT, FF, CR, ESC
//   \xHH                     for the other C0 bytes (0x00-0x1F), DEL (0x7F) and every byte
//                            that does not belong to a well-formed UTF-8 sequence
//   \u0080 ... \u009f        for the C1 control characters written in UTF-8 (C2 80 - C2 9F)
//   \\                       for a backslash itself
// Every other well-formed UTF-8 sequence and printable ASCII byte stays as it is.
#include <string>
#include <string_view>

class QdTerminalText {
public:
    static std::string escapeControls(std::string_view text);
    // True when `fd` is a terminal (isatty).
    static bool isTerminal(int fd);
};
