// MacroHotKeyEdit: captures a key combination for a macro.
#include "options/MacroHotKeyEdit.h"

#include <QKeyEvent>

#include "options/MacroHotKeyText.h"
#include "shell/LanguageText.h"
#include "shell/VirtualKeyTable.h"

namespace {
constexpr unsigned kNoneText = 712;
}

MacroHotKeyEdit::MacroHotKeyEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setObjectName(QStringLiteral("macroHotKey"));
    setContextMenuPolicy(Qt::NoContextMenu);
    setPlaceholderText(LanguageText::plain(kNoneText));
    showHotKey();
}

int MacroHotKeyEdit::modifierBits(Qt::KeyboardModifiers m)
{
    return (m & Qt::ShiftModifier ? MacroHotKeyText::kShift : 0) | (m & Qt::ControlModifier ? MacroHotKeyText::kCtrl : 0) |
           (m & Qt::AltModifier ? MacroHotKeyText::kAlt : 0);
}

int MacroHotKeyEdit::virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (const int vk = VirtualKeyTable::virtualKeyFromQt(qtKey, modifiers))
        return vk;
    switch (qtKey) {
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Select: return 0x29;
    case Qt::Key_Printer: return 0x2A;
    case Qt::Key_Execute: return 0x2B;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Help: return 0x2F;
    case Qt::Key_Super_L: return 0x5B;
    case Qt::Key_Super_R: return 0x5C;
    case Qt::Key_Menu: return 0x5D;
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    default: return 0;
    }
}

void MacroHotKeyEdit::setHotKey(int modifiers, int virtualKey)
{
    const bool changed = modifiers != m_modifiers || virtualKey != m_virtualKey;
    m_modifiers = virtualKey ? modifiers : 0;
    m_virtualKey = virtualKey;
    showHotKey();
    if (changed)
        emit hotKeyChanged();
}

void MacroHotKeyEdit::showHotKey()
{
    setText(m_virtualKey ? MacroHotKeyText::text(m_modifiers, m_virtualKey) : QString());
}

bool MacroHotKeyEdit::event(QEvent* event)
{
    // Take every combination before the window's shortcuts do, except the dialog keys.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int mods = modifierBits(key->modifiers());
        const bool dialogKey = mods == 0 && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
                                             key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                                             key->key() == Qt::Key_Escape);
        if (!dialogKey) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void MacroHotKeyEdit::keyPressEvent(QKeyEvent* event)
{
    const int mods = modifierBits(event->modifiers());
    const int key = event->key();
    if (mods == 0 && (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return ||
                      key == Qt::Key_Enter || key == Qt::Key_Escape)) {
        event->ignore();
        return;
    }
    event->accept();
    if (mods == 0 && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
        setHotKey(0, 0);
        return;
    }
    if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta) {
        setText(MacroHotKeyText::text(mods, 0));  // the modifiers held so far
        return;
    }
    const int vk = virtualKeyOf(key, event->modifiers());
    if (vk != 0)
        setHotKey(mods, vk);
    else
        showHotKey();
}

void MacroHotKeyEdit::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
    showHotKey();  // modifiers let go without a key: back to the hot key
}
