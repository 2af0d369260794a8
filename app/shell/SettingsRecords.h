#pragma once
// The in-memory records of the settings store: plain values with the store's defaults,
// generated from the key table in SettingsKeys.h plus the keys that are not fixed names.
// A default-constructed record holds every default; AppSettings loads and saves them.
// Values only: no record touches the settings file.
#include <array>
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include "shell/SettingsKeys.h"

#define QUENDREL_SETTINGS_MEMBER_(type, member, key, def) type member = def;

struct GeneralOptions {
    QUENDREL_GENERAL_KEYS(QUENDREL_SETTINGS_MEMBER_)
    bool operator==(const GeneralOptions&) const = default;
};

struct SearchDisplayOptions {
    QUENDREL_SEARCH_DISPLAY_KEYS(QUENDREL_SETTINGS_MEMBER_)
    // "PatternString": extensions without the dot, in order.
    QStringList patternExtensions = defaultPatternExtensions();

    // "doc", "xls", "ppt", "mp3", "avi", "htm", "html", "mpg", "txt", "exe".
    static QStringList defaultPatternExtensions();
    bool operator==(const SearchDisplayOptions&) const = default;
};

struct ColumnFlags {
    static constexpr int kColumnCount = 8;
    // Language strings of the captions of columns 0..7 (the "show_" key names use them).
    static constexpr std::array<unsigned, kColumnCount> kCaptionIds{10, 13, 14, 15, 17, 16, 18, 19};
    // 1: column i is shown. Columns 0..4 by default.
    std::array<int, kColumnCount> show{1, 1, 1, 1, 1, 0, 0, 0};
    bool operator==(const ColumnFlags&) const = default;
};

struct FrameState {
    QUENDREL_FRAME_KEYS(QUENDREL_SETTINGS_MEMBER_)
    bool operator==(const FrameState&) const = default;
};

// One configured program of the open-with menu.
struct OpenWithEntry {
    QString title;
    QString program;
    QString params;
    bool operator==(const OpenWithEntry&) const = default;
};

struct WindowPlacement {
    QUENDREL_PLACEMENT_KEYS(QUENDREL_SETTINGS_MEMBER_)
    bool operator==(const WindowPlacement&) const = default;
};

struct IndexTimeOptions {
    QUENDREL_INDEX_TIME_KEYS(QUENDREL_SETTINGS_MEMBER_)
    bool operator==(const IndexTimeOptions&) const = default;
};

struct IndexedPaths {
    // Roots to index, without a trailing '/' (the root "/" itself stays "/"). Until a
    // stored "IndexedPathNum" replaces it, the list holds every local disk mount point.
    QStringList paths = localDriveRoots();

    static QStringList localDriveRoots();
    bool operator==(const IndexedPaths&) const = default;
};

struct ExcludeList {
    QUENDREL_EXCLUDE_KEYS(QUENDREL_SETTINGS_MEMBER_)
    QStringList folders;                          // excluded folders, initially none
    QStringList extensions{QStringLiteral("tmp")};  // excluded extensions

    // The "ExcludeList" blob: the two lists in the archive encoding, folders first.
    QByteArray encode() const;
    // Reads a blob made by encode(); false (lists untouched) when it is malformed.
    bool decode(const QByteArray& blob);
    bool operator==(const ExcludeList&) const = default;
};

struct PanelState {
    QUENDREL_PANEL_KEYS(QUENDREL_SETTINGS_MEMBER_)
    bool operator==(const PanelState&) const = default;
};

#undef QUENDREL_SETTINGS_MEMBER_
