#pragma once
// One macro: a saved set of search options with a display name, an optional hot key and
// the flag that starts the search as soon as the macro is applied. The options themselves
// live in the macro's file, <macro folder>/<strFileTitle>.qdp. Plain value, any thread.
#include <cstdint>
#include <QString>

struct MacroRecord {
    QString strName;              // display name, as typed (trimmed)
    uint16_t wVirtual = 0;        // virtual-key code of the hot key, 0 for none
    uint16_t wModifier = 0;       // hot-key modifier bits: 1 Shift, 2 Ctrl, 4 Alt
    QString strFileTitle;         // file name without ".qdp"
    bool bRunAfterLaunch = true;  // start the search right after applying

    bool hasHotKey() const { return wVirtual != 0; }
    bool operator==(const MacroRecord&) const = default;
};
