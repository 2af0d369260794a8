#pragma once
// The texts of an indexing run: the size text and counts of the progress display (status
// pane 3, text 170), the summary at the end of a run (text 171), the time text, and the
// line written to the index log. Pure functions; user-interface thread (language texts).
//
// Size text: below 1024 bytes the grouped byte count, a space and text 34; below 1 MiB the
// kilobytes rounded up, grouped, then " KB"; below 1 GiB the megabytes with two decimals
// then " MB"; otherwise the gigabytes with three decimals then " GB".
#include <QDateTime>
#include <QString>
#include <cstdint>

class IndexRunText {
public:
    static QString sizeText(uint64_t bytes);
    // The entry count grouped into thousands.
    static QString countText(uint64_t entries);
    static QString progress(uint64_t bytes, uint64_t entries);   // text 170
    static QString summary(uint64_t bytes, uint64_t entries);    // text 171
    // " MM-dd-yyyy HH:mm:ss", with the leading space.
    static QString timeText(const QDateTime& when);
    // Text 68 (finished) or 71 (stopped).
    static QString label(bool stopped);
    // "[" + label + time text + "] " + summary + "\n".
    static QString logLine(const QString& label, const QString& timeText, const QString& summary);
};
