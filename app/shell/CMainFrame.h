#pragma once
// The main window. It composes the controllers that do the work — command registry and
// enabling, menu bar, toolbar, status bar, tray icon, placement, the option side — and
// routes the commands that have an action today. It owns none of the settings: they
// belong to the AppSettings the application passes in, which must outlive the window.
//
// Settings: load() while the window is built; save() when it is destroyed and when the
// desktop session ends. The placement is captured on hiding to the tray and on
// destruction (unless minimized or hidden); the application writes it at exit.
//
// Close box: hides to the tray when "ClickXToExit" is 0 and a tray exists; otherwise (and
// always after Exit) the window closes and emits closedForExit(). User-interface thread.
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

#include "shell/CommandState.h"
#include "shell/FramePlacement.h"
#include "shell/TrayIcon.h"

class AppSettings;
class CIndexManager;
class CommandRegistry;
class File_HoldWnd;
class MacroCommands;
class GlobalHotKey;
class OptionSheetController;
class MainMenuBar;
class MainStatusBar;
class MainToolBar;
class QPrinter;
class QSplitter;
class SearchOptionsPane;
class ResultOperations;
class File_ListView;
class ResultListModel;
class SearchController;
struct Search_Rule;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        TrayIcon::Availability tray = TrayIcon::Availability::Detect;
    };

    static constexpr int kOptionSideWidth = 300;

    CMainFrame(AppSettings& settings, Options options, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Applies the stored placement and shows the window, or with `minimized` starts
    // hidden in the tray (without a tray: shown minimized, so it can still be reached).
    void startUp(bool minimized);

    // Show, hide and toggle as the tray and the hot key use them.
    void hideToTray();
    void showFromTray();
    // The hot key's toggle: a visible window that is not the active one is only raised.
    void toggleFromHotKey();
    // The tray's toggle: hide when visible, else show.
    void toggleFromTray();
    bool isHiddenToTray() const { return m_hiddenToTray; }

    // Exit from the File menu or the tray: the next close really closes.
    void requestExit();

    void setCommandState(const CommandState& state);
    const CommandState& commandState() const { return m_state; }

    // Runs `dialog` modally with the modal flag of the command state set meanwhile.
    int runModal(class QDialog& dialog);

    // Folders handed in by "/path" or by a second instance: they fill the path combo.
    void setSearchFolders(const QStringList& folders);
    const QStringList& searchFolders() const { return m_searchFolders; }

    // The operations on the result list's rows (result files, exports, file operations):
    // their commands are routed to `ops`, its status texts go to pane 0, and it edits the
    // open-with entries of the settings. Not owned; null detaches. The owner of the result
    // list sets it once the list exists.
    void setResultOperations(ResultOperations* ops);
    ResultOperations* resultOperations() const;
    // A result file named on the command line or by a second instance; false when no
    // operations are attached (or the file could not be read, which was already said).
    bool openResultFile(const QString& path);

    void setHotKeyText(const QString& text);
    // The application's show/hide hot key, re-registered when the option sheet changes the
    // General page (not owned; null before it exists and after it is gone).
    void setHotKey(GlobalHotKey* hotKey);
    // Runs the option sheet (F12) and acts on it.
    OptionSheetController* optionSheet() const { return m_optionSheet; }
    // Shows the one start-up warning that the hot key could not be had.
    void warnHotKeyUnavailable(const QString& reason);

    CommandRegistry& commands() { return *m_commands; }
    File_HoldWnd* optionSide() const { return m_optionSide; }
    SearchOptionsPane* searchOptions() const { return m_searchOptions; }
    MainToolBar* toolBar() const { return m_toolBar; }
    MainStatusBar* statusPanes() const { return m_statusBar; }
    MainMenuBar* menus() const { return m_menus; }
    TrayIcon* tray() const { return m_tray; }
    QSplitter* splitter() const { return m_splitter; }
    File_ListView* resultList() const { return m_resultList; }
    ResultListModel* resultModel() const { return m_resultModel; }
    SearchController* searchController() const { return m_search; }
    MacroCommands* macros() const { return m_macroCommands; }
    // Index management: the start-up rule (pane 2 = text 70, "AutoIndex", the schedule
    // timer), called by the application once the window is built; the manager itself; and
    // the refresh of the per-path index entries after the indexed paths changed.
    void startIndexing();
    CIndexManager* indexManager() const { return m_index; }
    void indexedPathsChanged() { refreshRangeCommands(); }
    // The option panels' filler of a search rule; false: the search does not start and the
    // list keeps its rows. Without one, Search does nothing.
    void setRuleFiller(std::function<bool(Search_Rule&)> filler);
    // Search / Stop (button, Alt+S, the command): stops a running search, else starts one.
    void searchOrStop();
    const FramePlacement& placement() const { return m_placement; }

    // Takes the window's placement (unless minimized or hidden) and writes it and every
    // setting into the store. Called on destruction and when the session ends.
    void saveAll();

signals:
    // The window really closed; the application ends.
    void closedForExit();
    // Posted once the window shows after start-up ("FirstRun" check).
    void afterStart();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void onCommand(int id);
    void checkFirstRun();
    void setButtonStyle(bool large);
    void refreshRangeCommands();
    void showWindow();
    void runPreset(const QString& pattern);
    void connectResultList();
    void connectResultOperations();
    void connectDuplicateSelection();
    void onSearchCompleted(int count, uint32_t elapsedMilliseconds);
    void refreshListState();
    void showStatistics();
    void printList(int id);
    void connectIndexing();
    void onIndexCommand(int id);
    void connectOptionSheet();

    AppSettings& m_settings;
    CommandRegistry* m_commands = nullptr;
    MainMenuBar* m_menus = nullptr;
    MainToolBar* m_toolBar = nullptr;
    MainStatusBar* m_statusBar = nullptr;
    TrayIcon* m_tray = nullptr;
    QSplitter* m_splitter = nullptr;
    File_HoldWnd* m_optionSide = nullptr;
    SearchOptionsPane* m_searchOptions = nullptr;
    // Cleared by Qt when the operations object goes (it may be a child of this window, which
    // destroys it after this class's part is gone: no lambda on `this` may run then).
    QPointer<ResultOperations> m_ops;
    File_ListView* m_resultList = nullptr;
    ResultListModel* m_resultModel = nullptr;
    SearchController* m_search = nullptr;
    MacroCommands* m_macroCommands = nullptr;
    CIndexManager* m_index = nullptr;
    OptionSheetController* m_optionSheet = nullptr;
    std::unique_ptr<QPrinter> m_printer;
    CommandState m_state;
    FramePlacement m_placement;
    QStringList m_searchFolders;
    bool m_exiting = false;
    bool m_hiddenToTray = false;
    bool m_splitterPlaced = false;
    bool m_saved = false;
};
