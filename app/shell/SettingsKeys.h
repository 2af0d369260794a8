#pragma once
// Every fixed key of the settings store, in one table: the owning record, the C++ type of
// the value, the member that holds it, the stored key name and the default. The records
// (SettingsRecords.h), their load and save code, and the key list that tests walk are all
// generated from these lists; no other file names a key of the store.
//
// Each row is X(type, member, "Stored key", default). Types are int (stored as an integer),
// QString (a string) and QByteArray (a binary value).
//
// Keys that are not fixed names are kept by AppSettings itself, beside this table:
//  - "PatternString" (search-display record): the specified-type extension list;
//  - "show_<caption>" (column flags): one per result-list column, named after the column
//    caption of the loaded language (strings 10, 13, 14, 15, 17, 16, 18, 19);
//  - "OpenAsMenuNumber" and "OpenAsMenuPrefix_Title<i>", "..._Program<i>", "..._Params<i>";
//  - "IndexedPathNum" and "IndexPath<i>";
//  - "ExcludeList" (binary: excluded folders, then excluded extensions, archive encoding).

// General options (the General option page).
#define QUENDREL_GENERAL_KEYS(X)                                  \
    X(int, dateFormat, "dateFormat", 2)                           \
    X(int, UseWindowsLocale, "UseWindowsLocale", 0)               \
    X(int, sizeFormat, "sizeFormat", 1)                           \
    X(int, SeparatedUseComma, "SeparatedUseComma", 1)             \
    X(int, ShowNumberOnly, "ShowNumberOnly", 0)                   \
    X(int, AutoRun, "AutoRun", 1)                                 \
    X(int, AutoIndex, "AutoIndex", 1)                             \
    X(int, HKSHVirtual, "HKSHVirtual", 112)                       \
    X(int, HKSHModifier, "HKSHModifier", 4)                       \
    X(int, bShowSplashImage, "bShowSplashImage", 1)               \
    X(int, ClickXToExit, "ClickXToExit", 0)                       \
    X(int, SortAfterSearch, "SortAfterSearch", 0)                 \
    X(int, SortOption, "SortOption", 0)                           \
    X(int, HistoryItemNum, "HistoryItemNum", 10)

// Search-display options (the Search option page). Colours are 0x00BBGGRR.
#define QUENDREL_SEARCH_DISPLAY_KEYS(X)                           \
    X(int, bBoldOfKeyString, "bBoldOfKeyString", 1)               \
    X(int, bSearchInCompressedFile, "bSearchInCompressedFile", 1) \
    X(int, bAutoNormalSearch, "bAutoNormalSearch", 1)             \
    X(int, bDisableBooleanOpt, "bDisableBooleanOpt", 0)           \
    X(int, bCachePdfText, "bCachePdfText", 1)                     \
    X(int, clrKeyString, "clrKeyString", 0x00A00000)              \
    X(int, clrRegularString, "clrRegularString", 0x00008000)

// Main frame state (besides the open-with entries).
#define QUENDREL_FRAME_KEYS(X)                                    \
    X(int, iButtonState, "iButtonState", 1)                       \
    X(QString, strLastIndexTime, "strLastIndexTime", QString())   \
    X(int, FirstRun, "FirstRun", 1)

// Main window placement: the normal rectangle in screen pixels and the maximized flag.
#define QUENDREL_PLACEMENT_KEYS(X)                                \
    X(int, MainWinLeft, "MainWinLeft", 0)                         \
    X(int, MainWinTop, "MainWinTop", 0)                           \
    X(int, MainWinRight, "MainWinRight", 0)                       \
    X(int, MainWinBottom, "MainWinBottom", 0)                     \
    X(int, MainWinState, "MainWinState", 1)

// Index time options. An empty "IndexCacheLocation" is replaced on load by the per-user
// cache folder ($XDG_CACHE_HOME/Quendrel).
#define QUENDREL_INDEX_TIME_KEYS(X)                               \
    X(int, iIndexPriority, "iIndexPriority", 9)                   \
    X(int, IndexTimeOption, "Index Time Option", 1)               \
    X(int, EveryDayTimeHour, "EveryDayTimeHour", 13)              \
    X(int, EveryDayTimeMinutes, "EveryDayTimeMinutes", 0)         \
    X(int, EveryDayTimeSecond, "EveryDayTimeSecond", 0)           \
    X(QString, IndexCacheLocation, "IndexCacheLocation", QString())

// Index exclusion flags (the excluded folder and extension lists are "ExcludeList").
#define QUENDREL_EXCLUDE_KEYS(X)                                  \
    X(int, ppdebIndexCompressed, "ppdebIndexCompressed", 1)       \
    X(int, ppdebInternetCookie, "ppdebInternetCookie", 1)         \
    X(int, ppdebInternetHistoryPath, "ppdebInternetHistoryPath", 1) \
    X(int, ppdebInternetTemporary, "ppdebInternetTemporary", 1)   \
    X(int, ppdebTemporary, "ppdebTemporary", 1)                   \
    X(int, ppdebQDPath, "ppdebQDPath", 1)                         \
    X(int, ppdebWindows, "ppdebWindows", 1)

// Option-panel state blobs (their format belongs to the option panels). An empty blob is
// not stored.
#define QUENDREL_PANEL_KEYS(X)                                    \
    X(QByteArray, DialogsData, "DialogsData", QByteArray())       \
    X(QByteArray, FileMasksGroup, "FileMasksGroup", QByteArray())
