// HotKeyEdit: one-key capture for the global show/hide hot key.
#include "options/HotKeyEdit.h"

#include <QKeyEvent>
#include <QKeySequence>

#include "shell/LanguageText.h"
#include "shell/VirtualKeyTable.h"

namespace {
constexpr unsigned kNoneText = 414;

bool isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
        || key == Qt::Key_AltGr || key == Qt::Key_Super_L || key == Qt::Key_Super_R;
}

// Keys the field leaves to the dialog: focus moves and Escape.
bool passesThrough(const QKeyEvent* e)
{
    const Qt::KeyboardModifiers held = e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (e->key() == Qt::Key_Backtab)
        return !(held & ~Qt::ShiftModifier);
    if (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Escape)
        return held == Qt::NoModifier;
    return false;
}
}  // namespace

HotKeyEdit::HotKeyEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    // Read-only edits still take the focus by Tab and click.
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    showStored();
}

QString HotKeyEdit::displayText(int virtualKey, int hotKeyFlags)
{
    const QKeySequence sequence = VirtualKeyTable::sequence(virtualKey, hotKeyFlags);
    if (sequence.isEmpty())
        return LanguageText::plain(kNoneText);
    return sequence.toString(QKeySequence::NativeText);
}

bool HotKeyEdit::isExtendedKey(int vk)
{
    return (vk >= 0x21 && vk <= 0x28) || vk == 0x2D || vk == 0x2E || vk == 0x6F || vk == 0x90;
}

void HotKeyEdit::setHotKey(int virtualKey, int hotKeyFlags)
{
    m_vk = virtualKey;
    m_flags = hotKeyFlags;
    showStored();
}

void HotKeyEdit::showStored()
{
    setText(displayText(m_vk, m_flags));
}

bool HotKeyEdit::event(QEvent* event)
{
    // Take every key (Alt+letter included) before shortcuts and mnemonics see it.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!passesThrough(key)) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void HotKeyEdit::keyPressEvent(QKeyEvent* event)
{
    if (passesThrough(event)) {
        event->ignore();
        return;
    }
    event->accept();
    const Qt::KeyboardModifiers mods = event->modifiers();
    const int flags = VirtualKeyTable::hotKeyFlagsFromModifiers(mods);
    const int key = event->key();
    if (isModifierKey(key)) {
        // Only the modifiers held so far: "Ctrl+Alt+".
        QString held = QKeySequence(QKeyCombination(VirtualKeyTable::modifiersFromHotKeyFlags(flags), Qt::Key_A))
                           .toString(QKeySequence::NativeText);
        held.chop(1);  // the "A" that stood for the key still to come
        setText(flags ? held : displayText(m_vk, m_flags));
        return;
    }
    int vk = 0;
    int newFlags = 0;
    if ((key == Qt::Key_Backspace || key == Qt::Key_Delete) && flags == 0) {
        vk = 0;
    } else {
        vk = VirtualKeyTable::virtualKeyFromQt(key, mods);
        if (vk == 0) {  // a key the hot key cannot grab
            showStored();
            return;
        }
        newFlags = flags | (isExtendedKey(vk) ? VirtualKeyTable::kHotKeyExtended : 0);
    }
    const bool changed = vk != m_vk || newFlags != m_flags;
    m_vk = vk;
    m_flags = newFlags;
    showStored();
    if (changed)
        emit hotKeyChanged();
}

void HotKeyEdit::keyReleaseEvent(QKeyEvent* event)
{
    event->accept();
    if (isModifierKey(event->key()))
        showStored();
}

void HotKeyEdit::focusOutEvent(QFocusEvent* event)
{
    showStored();
    QLineEdit::focusOutEvent(event);
}
