#pragma once
// The settings the result list draws its cells by, copied out of AppSettings so that the
// cell texts are a pure function of an item and this value (tests build it directly).
// Colours are QColors made from the stored 0x00BBGGRR values.
#include <QColor>

class AppSettings;

struct ResultDisplayOptions {
    int sizeFormat = 1;         // 0 bytes, 1 KB rounded up
    int separatedUseComma = 1;  // 1: digit grouping
    int showNumberOnly = 0;     // 1: no unit after the number
    int dateFormat = 2;         // 0 date, 1 date HH:mm, 2 date HH:mm:ss
    int useWindowsLocale = 0;   // 1: the system locale's long date
    bool boldKeyString = true;
    QColor keyColour = fromColorRef(0x00A00000);
    QColor regularColour = fromColorRef(0x00008000);

    static ResultDisplayOptions fromSettings(const AppSettings& settings);
    // 0x00BBGGRR -> QColor.
    static QColor fromColorRef(unsigned colorRef);
    bool operator==(const ResultDisplayOptions&) const = default;
};
