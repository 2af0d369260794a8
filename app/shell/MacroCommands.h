#pragma once
// The macro commands of the main window: new macro, manage macros, apply macro i (menu
// command MacroFirst + i or its hot key), and the macro menu's entries (range commands
// MacroFirst + index with the text name, a tab and the hot-key text).
//
// New macro: with 512 macros, language string 154 (512 inserted) and nothing else;
// otherwise the macro dialog (caption 152), and on OK the current options are written as
// the macro (a failed write is shown; the list stays). Manage: the manage dialog on a copy;
// on OK the files of removed macros are deleted and the others' "Main" keys rewritten;
// Cancel changes nothing. Apply: a missing file shows language string 156 with its path;
// otherwise the panels are reset, the name-and-location panel opened and the file read;
// with run after launch a running search is stopped (rows not refreshed) and a new one
// started.
//
// Collaborators are not owned and must outlive this object; `runModal` runs every dialog
// (the main window's modal runner, so the modal flag is set meanwhile). User-interface
// thread.
#include <functional>
#include <QObject>

#include "options/MacroList.h"

class CommandRegistry;
class File_HoldWnd;
class MacroHotKeyFilter;
class QDialog;
class QWidget;
class SearchController;
class SearchOptionsPane;

class MacroCommands : public QObject {
    Q_OBJECT
public:
    struct Parts {
        SearchOptionsPane* options = nullptr;
        File_HoldWnd* side = nullptr;
        SearchController* search = nullptr;
        CommandRegistry* commands = nullptr;
        QWidget* window = nullptr;
        std::function<int(QDialog&)> runModal;
        std::function<bool()> modalOpen;
    };

    // Loads the macros of `folder`, fills the menu commands and starts listening for the
    // hot keys.
    MacroCommands(Parts parts, const QString& folder = MacroList::defaultFolder(), QObject* parent = nullptr);
    ~MacroCommands() override;

    // True when `id` is one of the macro commands (and it was run).
    bool run(int id);
    static bool handles(int id);

    void newMacro();
    void manageMacros();
    // False when `index` names no macro or its file is missing.
    bool apply(int index);

    MacroList& list() { return m_list; }
    // The macro menu's text of a macro: name ('&' doubled), a tab, the hot-key text.
    static QString menuText(const MacroRecord& macro);
    void refreshMenu();

signals:
    // A macro dialog is about to run (tests fill it in here).
    void dialogOpened(QDialog* dialog);

private:
    int runDialog(QDialog& dialog);

    Parts m_parts;
    MacroList m_list;
    MacroHotKeyFilter* m_filter = nullptr;
};
