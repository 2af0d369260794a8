#pragma once
// What the contained-text panel shows: the fields of the "ContainText" section of a
// search-options file and of the panel's "DialogsData" record, with their defaults.
// Plain value, any thread.
#include <QString>

struct ContainTextValue {
    int bCaseMain = 0;
    int bMainWholeWord = 0;
    int bMainNot = 0;
    QString mainText;
    int iMainHex = 0;    // 0 text string, 1 hexadecimal value
    int iMainType = 0;   // encoding: 0 ANSI, 1 UTF-16, 2 both
    QString userInput;   // the user-defined expression

    bool operator==(const ContainTextValue&) const = default;
};
