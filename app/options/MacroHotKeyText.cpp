// MacroHotKeyText: modifier order and the key-name table of macro hot keys.
#include "options/MacroHotKeyText.h"

namespace {

struct NamedRange {
    int first;
    int last;
    const char* const* names;  // last - first + 1 names
};

const char* const kBack[] = {"Back", "Tab"};
const char* const kClear[] = {"Clear", "Return"};
const char* const kShiftEtc[] = {"Shift", "Ctrl", "Menu", "Pause", "Caps Lock"};
const char* const kEsc[] = {"Esc"};
const char* const kSpaceEtc[] = {"Space", "Page Up", "Page Down", "End", "Home", "Left", "Up", "Right", "Down",
                                 "Select", "Print", "Execute", "Snap Shot", "Insert", "Delete", "Help"};
const char* const kWin[] = {"LWin", "RWin", "Apps"};
const char* const kNumOps[] = {"Num *", "Num +", "Separator", "Num -", "Num .", "Num /"};
const char* const kLocks[] = {"Num Lock", "Scroll"};
const char* const kOem1[] = {";", "=", ",", "-", ".", "/", "`"};
const char* const kOem2[] = {"[", "\\", "]", "'"};

constexpr NamedRange kRanges[] = {
    {0x08, 0x09, kBack},     {0x0C, 0x0D, kClear}, {0x10, 0x14, kShiftEtc}, {0x1B, 0x1B, kEsc},
    {0x20, 0x2F, kSpaceEtc}, {0x5B, 0x5D, kWin},   {0x6A, 0x6F, kNumOps},   {0x90, 0x91, kLocks},
    {0xBA, 0xC0, kOem1},     {0xDB, 0xDE, kOem2},
};

}  // namespace

QString MacroHotKeyText::keyName(int vk)
{
    if ((vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A))
        return QString(QChar(vk));
    if (vk >= 0x60 && vk <= 0x69)
        return QStringLiteral("Num %1").arg(vk - 0x60);
    if (vk >= 0x70 && vk <= 0x87)
        return QStringLiteral("F%1").arg(vk - 0x70 + 1);
    for (const NamedRange& range : kRanges)
        if (vk >= range.first && vk <= range.last)
            return QString::fromLatin1(range.names[vk - range.first]);
    return {};
}

QString MacroHotKeyText::text(int modifiers, int vk)
{
    QString out;
    const auto add = [&out](const char* name) {
        if (!out.isEmpty())
            out += QLatin1Char('+');
        out += QLatin1String(name);
    };
    if (modifiers & kCtrl)
        add("Ctrl");
    if (modifiers & kShift)
        add("Shift");
    if (modifiers & kAlt)
        add("Alt");
    const QString name = keyName(vk);
    if (!name.isEmpty()) {
        if (!out.isEmpty())
            out += QLatin1Char('+');
        out += name;
    }
    return out;
}
