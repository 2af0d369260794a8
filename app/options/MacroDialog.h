#pragma once
// The macro dialog: the macro's name, its hot key (a capture field) and the run after
// launch check box. Used for a new macro (caption: language string 152) and for editing
// one in the manage dialog. OK is enabled only while the name holds more than blanks.
// Modal; user-interface thread.
#include <QDialog>

#include "options/MacroRecord.h"

class MacroHotKeyEdit;
class QCheckBox;
class QDialogButtonBox;
class QLineEdit;

class MacroDialog : public QDialog {
    Q_OBJECT
public:
    MacroDialog(const MacroRecord& initial, const QString& caption, QWidget* parent = nullptr);

    // The record as edited: name trimmed, hot key and flag from the controls; the file
    // title is the initial one (the caller decides what a new name means for it).
    MacroRecord record() const;

    QLineEdit* nameEdit() const { return m_name; }
    MacroHotKeyEdit* hotKeyEdit() const { return m_hotKey; }
    QCheckBox* runAfterLaunchBox() const { return m_run; }
    QDialogButtonBox* buttons() const { return m_buttons; }

private:
    MacroRecord m_initial;
    QLineEdit* m_name = nullptr;
    MacroHotKeyEdit* m_hotKey = nullptr;
    QCheckBox* m_run = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
