#pragma once
// The one table between the Windows virtual-key codes that settings and macro files store
// and Qt keys (and, for the X key grab, X keysyms), plus the stored modifier forms.
//
// Rows: letters, digits, F1-F24, the numeric keypad (Qt keys with KeypadModifier), arrows,
// Home/End/Page Up/Page Down/Insert/Delete, Space, Tab, Return, Escape, Backspace and the
// OEM punctuation keys of the US layout. Qt reports some keys by their shifted symbol
// (Shift+1 as '!', Shift+; as ':'); those map to the same code one way only.
//
// Modifier forms: the hot-key-control form stored in settings (Shift 1, Ctrl 2, Alt 4,
// extended 8) and the registration form (Alt 1, Ctrl 2, Shift 4, Windows 8). The extended
// bit marks a key, not a modifier: it has no Qt modifier and is kept only by the
// conversions between the two stored forms. Pure functions; any thread.
#include <cstdint>
#include <optional>
#include <vector>
#include <QKeyCombination>
#include <QKeySequence>
#include <Qt>

class VirtualKeyTable {
public:
    struct Row {
        int vk;           // Windows virtual-key code
        Qt::Key key;      // Qt key
        bool keypad;      // the key is on the numeric keypad (Qt::KeypadModifier)
        uint32_t keysym;  // X keysym of the unshifted key
    };

    // Hot-key-control form.
    static constexpr int kHotKeyShift = 1, kHotKeyCtrl = 2, kHotKeyAlt = 4, kHotKeyExtended = 8;
    // Registration form.
    static constexpr int kModAlt = 1, kModCtrl = 2, kModShift = 4, kModWin = 8;

    static const std::vector<Row>& rows();
    static std::optional<Row> fromVirtualKey(int vk);
    // The code of a Qt key; `modifiers` tells keypad keys apart. 0 when unknown.
    static int virtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // The Qt key of a code (with KeypadModifier for keypad rows); Qt::Key_unknown when unknown.
    static QKeyCombination qtKeyFromVirtualKey(int vk);
    // 0 when unknown.
    static uint32_t keysymFromVirtualKey(int vk);

    static Qt::KeyboardModifiers modifiersFromHotKeyFlags(int flags);
    static int hotKeyFlagsFromModifiers(Qt::KeyboardModifiers modifiers);
    static int registrationFromHotKeyFlags(int flags);
    static int hotKeyFlagsFromRegistration(int registration);
    // The shortcut of a stored hot key (empty when the code is unknown).
    static QKeySequence sequence(int vk, int hotKeyFlags);
};
