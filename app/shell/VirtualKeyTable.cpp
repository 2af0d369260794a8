#include "shell/VirtualKeyTable.h"

namespace {

std::vector<VirtualKeyTable::Row> buildRows() {
    std::vector<VirtualKeyTable::Row> r;
    for (int i = 0; i < 26; ++i)
        r.push_back({0x41 + i, Qt::Key(Qt::Key_A + i), false, uint32_t(0x61 + i)});
    for (int i = 0; i < 10; ++i)
        r.push_back({0x30 + i, Qt::Key(Qt::Key_0 + i), false, uint32_t(0x30 + i)});
    for (int i = 0; i < 24; ++i)
        r.push_back({0x70 + i, Qt::Key(Qt::Key_F1 + i), false, uint32_t(0xffbe + i)});
    for (int i = 0; i < 10; ++i)
        r.push_back({0x60 + i, Qt::Key(Qt::Key_0 + i), true, uint32_t(0xffb0 + i)});
    const VirtualKeyTable::Row fixed[] = {
        {0x6A, Qt::Key_Asterisk, true, 0xffaa},  // VK_MULTIPLY
        {0x6B, Qt::Key_Plus, true, 0xffab},      // VK_ADD
        {0x6D, Qt::Key_Minus, true, 0xffad},     // VK_SUBTRACT
        {0x6E, Qt::Key_Period, true, 0xffae},    // VK_DECIMAL
        {0x6F, Qt::Key_Slash, true, 0xffaf},     // VK_DIVIDE
        {0x25, Qt::Key_Left, false, 0xff51},
        {0x26, Qt::Key_Up, false, 0xff52},
        {0x27, Qt::Key_Right, false, 0xff53},
        {0x28, Qt::Key_Down, false, 0xff54},
        {0x24, Qt::Key_Home, false, 0xff50},
        {0x23, Qt::Key_End, false, 0xff57},
        {0x21, Qt::Key_PageUp, false, 0xff55},   // VK_PRIOR
        {0x22, Qt::Key_PageDown, false, 0xff56}, // VK_NEXT
        {0x2D, Qt::Key_Insert, false, 0xff63},
        {0x2E, Qt::Key_Delete, false, 0xffff},
        {0x20, Qt::Key_Space, false, 0x20},
        {0x09, Qt::Key_Tab, false, 0xff09},
        {0x0D, Qt::Key_Return, false, 0xff0d},
        {0x1B, Qt::Key_Escape, false, 0xff1b},
        {0x08, Qt::Key_Backspace, false, 0xff08},
        {0xBA, Qt::Key_Semicolon, false, 0x3b},     // VK_OEM_1
        {0xBB, Qt::Key_Equal, false, 0x3d},         // VK_OEM_PLUS
        {0xBC, Qt::Key_Comma, false, 0x2c},         // VK_OEM_COMMA
        {0xBD, Qt::Key_Minus, false, 0x2d},         // VK_OEM_MINUS
        {0xBE, Qt::Key_Period, false, 0x2e},        // VK_OEM_PERIOD
        {0xBF, Qt::Key_Slash, false, 0x2f},         // VK_OEM_2
        {0xC0, Qt::Key_QuoteLeft, false, 0x60},     // VK_OEM_3
        {0xDB, Qt::Key_BracketLeft, false, 0x5b},   // VK_OEM_4
        {0xDC, Qt::Key_Backslash, false, 0x5c},     // VK_OEM_5
        {0xDD, Qt::Key_BracketRight, false, 0x5d},  // VK_OEM_6
        {0xDE, Qt::Key_Apostrophe, false, 0x27},    // VK_OEM_7
    };
    r.insert(r.end(), std::begin(fixed), std::end(fixed));
    return r;
}

// Keys Qt reports by their shifted symbol (US layout), and the code of the unshifted key.
struct Alias {
    Qt::Key key;
    int vk;
};
constexpr Alias kAliases[] = {
    {Qt::Key_Exclam, 0x31},      {Qt::Key_At, 0x32},          {Qt::Key_NumberSign, 0x33},
    {Qt::Key_Dollar, 0x34},      {Qt::Key_Percent, 0x35},     {Qt::Key_AsciiCircum, 0x36},
    {Qt::Key_Ampersand, 0x37},   {Qt::Key_Asterisk, 0x38},    {Qt::Key_ParenLeft, 0x39},
    {Qt::Key_ParenRight, 0x30},  {Qt::Key_Colon, 0xBA},       {Qt::Key_Plus, 0xBB},
    {Qt::Key_Less, 0xBC},        {Qt::Key_Underscore, 0xBD},  {Qt::Key_Greater, 0xBE},
    {Qt::Key_Question, 0xBF},    {Qt::Key_AsciiTilde, 0xC0},  {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Bar, 0xDC},         {Qt::Key_BraceRight, 0xDD},  {Qt::Key_QuoteDbl, 0xDE},
    {Qt::Key_Enter, 0x0D},       {Qt::Key_Backtab, 0x09},
};

}  // namespace

const std::vector<VirtualKeyTable::Row>& VirtualKeyTable::rows() {
    static const std::vector<Row> table = buildRows();
    return table;
}

std::optional<VirtualKeyTable::Row> VirtualKeyTable::fromVirtualKey(int vk) {
    for (const Row& row : rows())
        if (row.vk == vk)
            return row;
    return std::nullopt;
}

int VirtualKeyTable::virtualKeyFromQt(int qtKey, Qt::KeyboardModifiers modifiers) {
    const bool keypad = modifiers.testFlag(Qt::KeypadModifier);
    for (const Row& row : rows())
        if (row.key == qtKey && row.keypad == keypad)
            return row.vk;
    // A keypad key without a keypad row (Enter, arrows with Num Lock off) is the main key.
    for (const Row& row : rows())
        if (row.key == qtKey && !row.keypad)
            return row.vk;
    for (const Alias& alias : kAliases)
        if (alias.key == qtKey)
            return alias.vk;
    return 0;
}

QKeyCombination VirtualKeyTable::qtKeyFromVirtualKey(int vk) {
    const auto row = fromVirtualKey(vk);
    if (!row)
        return QKeyCombination(Qt::Key_unknown);
    return QKeyCombination(row->keypad ? Qt::KeypadModifier : Qt::NoModifier, row->key);
}

uint32_t VirtualKeyTable::keysymFromVirtualKey(int vk) {
    const auto row = fromVirtualKey(vk);
    return row ? row->keysym : 0;
}

Qt::KeyboardModifiers VirtualKeyTable::modifiersFromHotKeyFlags(int flags) {
    Qt::KeyboardModifiers m;
    if (flags & kHotKeyShift)
        m |= Qt::ShiftModifier;
    if (flags & kHotKeyCtrl)
        m |= Qt::ControlModifier;
    if (flags & kHotKeyAlt)
        m |= Qt::AltModifier;
    return m;
}

int VirtualKeyTable::hotKeyFlagsFromModifiers(Qt::KeyboardModifiers modifiers) {
    int flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= kHotKeyShift;
    if (modifiers & Qt::ControlModifier)
        flags |= kHotKeyCtrl;
    if (modifiers & Qt::AltModifier)
        flags |= kHotKeyAlt;
    return flags;
}

int VirtualKeyTable::registrationFromHotKeyFlags(int flags) {
    int mod = 0;
    if (flags & kHotKeyShift)
        mod |= kModShift;
    if (flags & kHotKeyCtrl)
        mod |= kModCtrl;
    if (flags & kHotKeyAlt)
        mod |= kModAlt;
    if (flags & kHotKeyExtended)
        mod |= kModWin;
    return mod;
}

int VirtualKeyTable::hotKeyFlagsFromRegistration(int registration) {
    int flags = 0;
    if (registration & kModShift)
        flags |= kHotKeyShift;
    if (registration & kModCtrl)
        flags |= kHotKeyCtrl;
    if (registration & kModAlt)
        flags |= kHotKeyAlt;
    if (registration & kModWin)
        flags |= kHotKeyExtended;
    return flags;
}

QKeySequence VirtualKeyTable::sequence(int vk, int hotKeyFlags) {
    const QKeyCombination key = qtKeyFromVirtualKey(vk);
    if (key.key() == Qt::Key_unknown)
        return {};
    return QKeySequence(QKeyCombination(key.keyboardModifiers() | modifiersFromHotKeyFlags(hotKeyFlags), key.key()));
}
