#pragma once
// The operations on the rows of the result list: result files (save, open), exports (file
// list, CSV), open, open with, open containing folder, copying names and paths, copying
// and cutting files, moving to a folder, renaming, trash and permanent delete, properties
// and the row context menu. Each command runs by its CommandIds id through run().
//
// It works only through IResultListAccess (which must outlive it) and shows its dialogs
// and messages over `parent`. Message boxes go through one asker, which tests replace to
// answer them. The open-with entries are the settings' list, edited in place by the
// configure dialog (openWithChanged() follows). Rows leave the list only for files that
// really were moved or deleted; a failure is reported with the files it concerns.
//
// User-interface thread. Commands that change the list do nothing while a search runs.
#include <QObject>
#include <QPoint>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "shell/FileMover.h"
#include "shell/ResultClipboard.h"
#include "shell/ResultExport.h"
#include "shell/SettingsRecords.h"

class Data_FileItem;
class IResultListAccess;
class QMenu;
class QMimeData;
class QWidget;
struct CommandState;

class ResultOperations : public QObject {
    Q_OBJECT
public:
    // What a message box asks. The answer is the index of the chosen button: Ok 0;
    // YesNo: Yes 0, No 1; Collision: Replace 0, Skip 1, Replace all 2, Cancel 3.
    enum class Ask { Ok, YesNo, Collision };
    struct Message {
        Ask kind = Ask::Ok;
        bool warning = false;
        QString text;
    };
    using Asker = std::function<int(const Message&)>;

    ResultOperations(IResultListAccess& list, QWidget* parent);
    ~ResultOperations() override;

    // True for the commands this class carries out (open-with range included).
    static bool handles(int id);
    // The enabling rules of those commands.
    static bool isEnabled(int id, const CommandState& state);
    // Runs a command on the current selection; false when the id is not one of ours.
    bool run(int id);

    void setAsker(Asker asker) { m_asker = std::move(asker); }
    void setOpenWithEntries(QList<OpenWithEntry>* entries) { m_openWith = entries; }
    const QList<OpenWithEntry>* openWithEntries() const { return m_openWith; }
    void setCellText(ResultExport::CellText cellText) { m_cellText = std::move(cellText); }
    // The columns the list shows, for the first CSV export of the run.
    void setShownColumns(const ResultExport::Columns& columns) { m_csvColumns = columns; }

    // The commands with their choices made (the dialogs of run() end in these).
    bool saveResultFile(const QString& path);
    bool openResultFile(const QString& path);
    bool exportFileList(const QString& path);
    bool exportCsv(const QString& path, const ResultExport::Columns& columns);
    void copyText(ResultClipboard::TextKind kind);
    bool copyFiles(ResultClipboard::FileMode mode);
    void openSelection();
    void openContainingFolders();
    // Starts open-with entry `index` for every selected row; the started processes' ids.
    std::vector<qint64> runOpenWith(int index);
    // Starts a desktop application (its Exec line, MimeAppAssociations) for every selected
    // file; the started processes' ids.
    std::vector<qint64> runApplication(const QString& exec);
    void renameCase(bool upper);
    // Renames the row's file to `text` (trimmed); false when refused or failed (the row keeps
    // its old name).
    bool renameRow(int row, const QString& text);
    void deleteSelection(bool permanently);
    // Moves the selected rows' files; false when nothing was done (missing folder, nothing
    // to move). `hooks` lets a caller give its own copy step (tests) or force copying.
    bool moveSelection(const QString& folder, bool autoRename, FileMover::Hooks hooks = {});
    void showProperties();
    // The data of a drag of the selected rows (the files as for copy: text/uri-list and the
    // other clipboard formats); null, after message 150 or 151, when no file is left.
    // Caller owns.
    QMimeData* dragData();
    // Drags the selected rows out of `source` (the list's view); copy, move and link allowed.
    Qt::DropAction startDrag(QWidget* source);
    // The row context menu for `row` (ResultContextMenu: the clicked row decides its kind,
    // the selection is what it acts on). Owned by the caller.
    QMenu* buildContextMenu(int row, QWidget* menuParent);

    // The file-dialog filter of a stored filter text ("Result files (*.qdr)|*.qdr||").
    static QString qtFilter(const QString& stored);

signals:
    // A status text for pane 0 (rows loaded, a result file that could not be read).
    void statusText(const QString& text);
    // Rename (Ctrl+R): the view should start editing this row's name and end in renameRow().
    // When nothing is connected, a text input dialog asks instead.
    void editNameRequested(int row);
    // The configure dialog changed the open-with entries.
    void openWithChanged();

private:
    int ask(Ask kind, const QString& text, bool warning = false);
    void tell(const QString& text, bool warning = true) { ask(Ask::Ok, text, warning); }
    void reportFailures(unsigned headerText, const QStringList& lines);
    std::vector<Data_FileItem*> selectedItems();
    // Paths of the selected files, archive members extracted; `temporaries` keeps the
    // extracted copies' items. Empty after message 150 or 151.
    std::vector<std::string> selectedFilePaths(std::vector<std::unique_ptr<Data_FileItem>>& temporaries,
                                               std::vector<int>* rowsOfPaths = nullptr);
    QString chooseFile(bool save, unsigned filterText, const QString& suffix);
    void runSaveResult();
    void runOpenResult();
    void runExportFileList();
    void runExportCsv();
    void runMove();
    void runRename();
    void runConfigureOpenWith();
    bool listBusy() const;

    IResultListAccess& m_list;
    QWidget* m_parent = nullptr;
    Asker m_asker;
    QList<OpenWithEntry>* m_openWith = nullptr;
    ResultExport::CellText m_cellText;
    ResultExport::Columns m_csvColumns{true, true, true, true, true, false, false, false};
    QString m_lastMoveFolder;
    bool m_lastAutoRename = true;
};
