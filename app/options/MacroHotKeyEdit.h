#pragma once
// The hot-key capture field of the macro dialog: a key pressed with any of Ctrl, Shift and
// Alt (or a key alone) becomes the hot key, shown as its hot-key text. Backspace or Delete
// alone clears it; Tab, Return, Enter and Escape alone keep their dialog meaning. A key
// without a virtual-key code is ignored. User-interface thread.
#include <QLineEdit>

class MacroHotKeyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MacroHotKeyEdit(QWidget* parent = nullptr);

    void setHotKey(int modifiers, int virtualKey);
    int modifiers() const { return m_modifiers; }
    int virtualKey() const { return m_virtualKey; }

    // The virtual-key code of a Qt key (0 when it has none): the shared key table, plus
    // the keys only hot keys use (Pause, Print, Menu...).
    static int virtualKeyOf(int qtKey, Qt::KeyboardModifiers modifiers);
    // The modifier bits (1 Shift, 2 Ctrl, 4 Alt) of Qt modifiers.
    static int modifierBits(Qt::KeyboardModifiers modifiers);

signals:
    void hotKeyChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void showHotKey();

    int m_modifiers = 0;
    int m_virtualKey = 0;
};
