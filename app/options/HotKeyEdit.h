#pragma once
// The show/hide hot-key control of the General option page: a read-only edit field that
// takes one key press and shows it ("Alt+F1"). It keeps exactly what the global hot key
// can grab: one key of VirtualKeyTable plus any of Shift, Ctrl and Alt (the Meta key is
// ignored). Values are in the stored form: the virtual-key code and the hot-key-control
// flags (Shift 1, Ctrl 2, Alt 4, extended 8).
//
// Keys: Tab and Shift+Tab move the focus and Escape reaches the dialog, as in any field;
// Backspace or Delete without a modifier clears the key (no hot key, shown as "(none)");
// a modifier held alone shows "Ctrl+" until a key follows or it is released; a key the
// table does not know leaves the value unchanged. A press that changes the value emits
// hotKeyChanged(). The control takes the key before the dialog's mnemonics do, so Alt+A
// is a hot key here, not a jump to a button. User-interface thread only.
#include <QLineEdit>

class HotKeyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit HotKeyEdit(QWidget* parent = nullptr);

    // Shows a stored key. The extended bit is kept as given; an unknown code shows "(none)"
    // but is kept until another key is pressed.
    void setHotKey(int virtualKey, int hotKeyFlags);
    int virtualKey() const { return m_vk; }
    int hotKeyFlags() const { return m_flags; }

    // The text the control shows for a stored key: "(none)" for no or an unknown key.
    static QString displayText(int virtualKey, int hotKeyFlags);
    // The extended bit of the stored form for a code: the navigation keys (Page Up to
    // Down, Insert, Delete) and the keypad divide and Num Lock keys carry it.
    static bool isExtendedKey(int virtualKey);

signals:
    void hotKeyChanged();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showStored();

    int m_vk = 0;
    int m_flags = 0;
};
