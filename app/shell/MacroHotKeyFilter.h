#pragma once
// The macro hot keys: an application event filter that offers every key press to the
// macros before the window's accelerators see it. The modifiers come from the event
// (Shift 1, Ctrl 2, Alt 4), the key from the shared virtual-key table; when `lookup`
// answers a macro index, `apply` runs it and the key is consumed (also its shortcut
// override, so no accelerator of the same keys fires).
//
// Nothing is offered while a modal dialog is open (`modalOpen`, or any application modal
// widget) or while no window of the program is active: the keys are not grabbed from the
// desktop, so they act only while the program has the keyboard focus. Auto-repeated
// presses apply nothing but are still consumed. User-interface thread; the filter is a
// child of `parent` and removes itself when destroyed.
#include <functional>
#include <QObject>

class MacroHotKeyFilter : public QObject {
    Q_OBJECT
public:
    using Lookup = std::function<int(int modifiers, int virtualKey)>;
    using Apply = std::function<void(int index)>;

    MacroHotKeyFilter(Lookup lookup, Apply apply, std::function<bool()> modalOpen, QObject* parent = nullptr);
    ~MacroHotKeyFilter() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Lookup m_lookup;
    Apply m_apply;
    std::function<bool()> m_modalOpen;
};
