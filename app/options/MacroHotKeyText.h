#pragma once
// The text of a macro hot key, as the macro menu and the macro dialogs show it: the
// modifiers first in the order Ctrl, Shift, Alt joined with "+", then "+" and the key's
// name (the name alone without modifiers). A code without a name gives the modifiers
// alone; no modifiers and no name give "". Modifier bits: 1 Shift, 2 Ctrl, 4 Alt (other
// bits are ignored). Pure functions; any thread.
#include <QString>

class MacroHotKeyText {
public:
    static constexpr int kShift = 1, kCtrl = 2, kAlt = 4;

    static QString text(int modifiers, int virtualKey);
    // The name of a virtual-key code ("Page Up", "F12", "Num 5", "A"...); "" for a code
    // the table does not name.
    static QString keyName(int virtualKey);
};
