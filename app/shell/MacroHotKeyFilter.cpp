// MacroHotKeyFilter: macro hot keys ahead of the accelerators.
#include "shell/MacroHotKeyFilter.h"

#include <QApplication>
#include <QKeyEvent>

#include "options/MacroHotKeyEdit.h"

MacroHotKeyFilter::MacroHotKeyFilter(Lookup lookup, Apply apply, std::function<bool()> modalOpen, QObject* parent)
    : QObject(parent)
    , m_lookup(std::move(lookup))
    , m_apply(std::move(apply))
    , m_modalOpen(std::move(modalOpen))
{
    qApp->installEventFilter(this);
}

MacroHotKeyFilter::~MacroHotKeyFilter()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

bool MacroHotKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    // A key event reaches the window and then each parent: look at it once, at a widget.
    if (!watched->isWidgetType())
        return false;
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget() || !QApplication::activeWindow() ||
        (m_modalOpen && m_modalOpen()))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const int vk = MacroHotKeyEdit::virtualKeyOf(key->key(), key->modifiers());
    if (vk == 0)
        return false;
    const int index = m_lookup(MacroHotKeyEdit::modifierBits(key->modifiers()), vk);
    if (index < 0)
        return false;
    key->accept();
    if (type == QEvent::KeyPress && !key->isAutoRepeat())
        m_apply(index);
    return true;
}
