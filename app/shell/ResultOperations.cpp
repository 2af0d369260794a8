// ResultOperations: the commands that work on the rows of the result list.
#include "shell/ResultOperations.h"

#include <sys/stat.h>

#include <QDrag>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QMetaMethod>
#include <QProgressDialog>
#include <QPushButton>

#include <cerrno>
#include <set>

#include "records/Data_FileItem.h"
#include "records/ArchiveMemberExtract.h"
#include "shell/CommandEnabling.h"
#include "shell/CommandIds.h"
#include "shell/CsvColumnDialog.h"
#include "shell/DetachedProcess.h"
#include "shell/FileDeleter.h"
#include "shell/FileOpener.h"
#include "shell/FileRenamer.h"
#include "shell/IResultListAccess.h"
#include "shell/LanguageText.h"
#include "shell/LocalFileUrl.h"
#include "shell/MimeAppAssociations.h"
#include "shell/MoveDialog.h"
#include "shell/OpenWithCommand.h"
#include "shell/OpenWithDialog.h"
#include "shell/PropertiesDialog.h"
#include "shell/ResultContextMenu.h"
#include "shell/ResultFile.h"
#include "shell/SettingsRecords.h"
#include "tools/Tool_Resource.h"

using namespace CommandIds;

namespace {
constexpr unsigned kTitleOfMessages = 55;
constexpr unsigned kResultFilterText = 24;
constexpr unsigned kSaveFailedText = 26;
constexpr unsigned kReadFailedText = 27;
constexpr unsigned kTxtFilterText = 28;
constexpr unsigned kCsvFilterText = 29;
constexpr unsigned kProgramMissingText = 45;
constexpr unsigned kProgramPathMissingText = 46;
constexpr unsigned kDeletePermanentlyText = 50;
constexpr unsigned kProgressTitleText = 56;
constexpr unsigned kFolderMissingText = 63;
constexpr unsigned kRowsLoadedText = 118;
constexpr unsigned kArchiveNoDeleteText = 148;
constexpr unsigned kArchiveNoRenameText = 149;
constexpr unsigned kExtractFailedText = 150;
constexpr unsigned kNoFileText = 151;
constexpr unsigned kTrashQuestionText = 650;
constexpr unsigned kNotDeletedText = 651;
constexpr unsigned kNotMovedText = 652;
constexpr unsigned kNotRenamedText = 653;
constexpr unsigned kNotReplacedText = 654;
constexpr unsigned kNotWrittenText = 655;
constexpr unsigned kCollisionText = 658;
constexpr unsigned kReplaceText = 659;
constexpr unsigned kSkipText = 660;
constexpr unsigned kReplaceAllText = 661;
constexpr unsigned kOpenFailedText = 679;
constexpr unsigned kMovingText = 680;
constexpr unsigned kCancelText = 684;

// Text `id` with its %s / %d filled in order by `args` ("%%" is a literal percent sign).
QString formatText(unsigned id, const QStringList& args)
{
    const QString pattern = LanguageText::get(id);
    QString out;
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == u'%' && i + 1 < pattern.size()) {
            const QChar c = pattern[i + 1];
            if (c == u'%') {
                out += u'%';
                ++i;
                continue;
            }
            if (c == u's' || c == u'd') {
                out += next < args.size() ? args[next] : QString();
                ++next;
                ++i;
                continue;
            }
        }
        out += pattern[i];
    }
    return out;
}

QString shown(const std::string& path)
{
    return LocalFileUrl::displayPath(path);
}

// Stand-ins for a path and its URL while a command line is built as text; the path's own
// bytes replace them afterwards, so a name that is not UTF-8 reaches the program whole.
const QString kPathMarker = QStringLiteral("\u0001qd-path\u0001");
const QString kUrlMarker = QStringLiteral("\u0001qd-url\u0001");

std::vector<std::string> argumentBytes(const QStringList& words, const std::string& path)
{
    const QByteArray pathMarker = kPathMarker.toUtf8();
    const QByteArray urlMarker = kUrlMarker.toUtf8();
    const QByteArray pathBytes(path.data(), qsizetype(path.size()));
    const QByteArray url = LocalFileUrl::encoded(path);
    std::vector<std::string> out;
    for (const QString& word : words) {
        QByteArray bytes = word.toUtf8();
        bytes.replace(pathMarker, pathBytes);
        bytes.replace(urlMarker, url);
        out.emplace_back(bytes.constData(), size_t(bytes.size()));
    }
    return out;
}

QString reason(int error)
{
    return QString::fromStdString(Tool_Resource::getErrorMessage(error));
}

}  // namespace

ResultOperations::ResultOperations(IResultListAccess& list, QWidget* parent)
    : QObject(parent), m_list(list), m_parent(parent)
{
    m_asker = [this](const Message& m) {
        QMessageBox box(m.warning ? QMessageBox::Warning : QMessageBox::Information,
                        LanguageText::plain(kTitleOfMessages), m.text, QMessageBox::NoButton, m_parent);
        QList<QAbstractButton*> buttons;
        switch (m.kind) {
        case Ask::Ok: buttons << box.addButton(QMessageBox::Ok); break;
        case Ask::YesNo:
            box.setIcon(m.warning ? QMessageBox::Warning : QMessageBox::Question);
            buttons << box.addButton(QMessageBox::Yes) << box.addButton(QMessageBox::No);
            break;
        case Ask::Collision:
            box.setIcon(QMessageBox::Question);
            buttons << box.addButton(LanguageText::plain(kReplaceText), QMessageBox::AcceptRole)
                    << box.addButton(LanguageText::plain(kSkipText), QMessageBox::RejectRole)
                    << box.addButton(LanguageText::plain(kReplaceAllText), QMessageBox::YesRole)
                    << box.addButton(QMessageBox::Cancel);
            break;
        }
        box.exec();
        const qsizetype chosen = buttons.indexOf(box.clickedButton());
        return chosen < 0 ? int(buttons.size()) - 1 : int(chosen);
    };
}

ResultOperations::~ResultOperations() = default;

bool ResultOperations::handles(int id)
{
    if (id >= OpenWithFirst && id <= OpenWithLast)
        return true;
    switch (id) {
    case OpenResult: case SaveResult: case ExportFileList: case ExportCsv:
    case Execute: case ConfigureOpenWith: case OpenContainingFolder:
    case CopyNames: case CopyPaths: case CopyFullPaths: case CopyFiles: case CopyFilesAlt:
    case RenameUpper: case RenameLower: case Rename:
    case DeleteToTrash: case DeletePermanently: case MoveFiles:
        return true;
    default:
        return false;
    }
}

bool ResultOperations::isEnabled(int id, const CommandState& state)
{
    return handles(id) && CommandEnabling::rulesAllow(id, state);
}

bool ResultOperations::run(int id)
{
    if (id >= OpenWithFirst && id <= OpenWithLast) {
        runOpenWith(id - OpenWithFirst);
        return true;
    }
    switch (id) {
    case OpenResult: runOpenResult(); break;
    case SaveResult: runSaveResult(); break;
    case ExportFileList: runExportFileList(); break;
    case ExportCsv: runExportCsv(); break;
    case Execute: openSelection(); break;
    case ConfigureOpenWith: runConfigureOpenWith(); break;
    case OpenContainingFolder: openContainingFolders(); break;
    case CopyNames: copyText(ResultClipboard::TextKind::Names); break;
    case CopyPaths: copyText(ResultClipboard::TextKind::Folders); break;
    case CopyFullPaths: copyText(ResultClipboard::TextKind::FullPaths); break;
    case CopyFiles:
    case CopyFilesAlt: copyFiles(ResultClipboard::FileMode::Copy); break;
    case RenameUpper: renameCase(true); break;
    case RenameLower: renameCase(false); break;
    case Rename: runRename(); break;
    case DeleteToTrash: deleteSelection(false); break;
    case DeletePermanently: deleteSelection(true); break;
    case MoveFiles: runMove(); break;
    default: return false;
    }
    return true;
}

int ResultOperations::ask(Ask kind, const QString& text, bool warning)
{
    return m_asker(Message{kind, warning, text});
}

void ResultOperations::reportFailures(unsigned headerText, const QStringList& lines)
{
    if (!lines.isEmpty())
        tell(LanguageText::get(headerText) + u'\n' + lines.join(u'\n'));
}

bool ResultOperations::listBusy() const
{
    return m_list.isSearching();
}

std::vector<Data_FileItem*> ResultOperations::selectedItems()
{
    std::vector<Data_FileItem*> items;
    for (int row : m_list.selectedRows())
        items.push_back(&m_list.itemAt(row));
    return items;
}

std::vector<std::string> ResultOperations::selectedFilePaths(std::vector<std::unique_ptr<Data_FileItem>>& temporaries,
                                                             std::vector<int>* rowsOfPaths)
{
    std::vector<std::string> paths;
    bool anyMember = false;
    for (int row : m_list.selectedRows()) {
        Data_FileItem& item = m_list.itemAt(row);
        if (item.m_bInArchive) {
            anyMember = true;
            auto extracted = ArchiveMemberExtract::convertArchiveFileToTempFile(item);
            if (!extracted)
                continue;  // left out, as an unreadable member cannot be handed on
            paths.push_back(extracted->getFullFileName());
            temporaries.push_back(std::move(extracted));
        } else {
            paths.push_back(item.getFullFileName());
        }
        if (rowsOfPaths)
            rowsOfPaths->push_back(row);
    }
    if (paths.empty())
        tell(LanguageText::get(anyMember ? kExtractFailedText : kNoFileText));
    return paths;
}

QString ResultOperations::qtFilter(const QString& stored)
{
    const QStringList parts = stored.split(u'|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty())
            break;
        filters << (parts[i].contains(u'(') ? parts[i] : parts[i] + QStringLiteral(" (") + parts[i + 1] + u')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString ResultOperations::chooseFile(bool save, unsigned filterText, const QString& suffix)
{
    QFileDialog dialog(m_parent);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(qtFilter(LanguageText::get(filterText)));
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front();
}

// ---- result files and exports ---------------------------------------------------------

bool ResultOperations::saveResultFile(const QString& path)
{
    if (listBusy())
        return false;
    if (ResultFile::save(path.toStdString(), m_list))
        return true;
    tell(LanguageText::get(kSaveFailedText));
    return false;
}

bool ResultOperations::openResultFile(const QString& path)
{
    if (listBusy())
        return false;
    std::vector<std::unique_ptr<Data_FileItem>> items;
    const bool ok = ResultFile::load(path.toStdString(), items);
    const int count = int(items.size());
    m_list.replaceAll(std::move(items));
    if (!ok) {
        emit statusText(LanguageText::get(kReadFailedText));
        tell(LanguageText::get(kReadFailedText));
        return false;
    }
    emit statusText(formatText(kRowsLoadedText, {QString::number(count)}));
    return true;
}

bool ResultOperations::exportFileList(const QString& path)
{
    if (ResultExport::writeFile(path.toStdString(), ResultExport::fileListText(m_list)))
        return true;
    tell(formatText(kNotWrittenText, {path}));
    return false;
}

bool ResultOperations::exportCsv(const QString& path, const ResultExport::Columns& columns)
{
    QStringList captions;
    for (unsigned id : ColumnFlags::kCaptionIds)
        captions << LanguageText::plain(id);
    const ResultExport::CellText cell = m_cellText ? m_cellText : ResultExport::CellText(&ResultExport::defaultCellText);
    if (ResultExport::writeFile(path.toStdString(), ResultExport::csvText(m_list, columns, captions, cell)))
        return true;
    tell(formatText(kNotWrittenText, {path}));
    return false;
}

void ResultOperations::runSaveResult()
{
    const QString path = chooseFile(true, kResultFilterText, QStringLiteral("qdr"));
    if (!path.isEmpty())
        saveResultFile(path);
}

void ResultOperations::runOpenResult()
{
    const QString path = chooseFile(false, kResultFilterText, QStringLiteral("qdr"));
    if (!path.isEmpty())
        openResultFile(path);
}

void ResultOperations::runExportFileList()
{
    const QString path = chooseFile(true, kTxtFilterText, QStringLiteral("txt"));
    if (!path.isEmpty())
        exportFileList(path);
}

void ResultOperations::runExportCsv()
{
    QStringList captions;
    for (unsigned id : ColumnFlags::kCaptionIds)
        captions << LanguageText::plain(id);
    CsvColumnDialog chooser(captions, m_csvColumns, m_parent);
    if (chooser.exec() != QDialog::Accepted)
        return;
    m_csvColumns = chooser.columns();
    const QString path = chooseFile(true, kCsvFilterText, QStringLiteral("csv"));
    if (!path.isEmpty())
        exportCsv(path, m_csvColumns);
}

// ---- open, open with, show in folder --------------------------------------------------

void ResultOperations::openSelection()
{
    for (Data_FileItem* item : selectedItems()) {
        std::string path;
        if (item->m_bInArchive) {
            auto extracted = ArchiveMemberExtract::convertArchiveFileToTempFile(*item);
            if (!extracted) {
                tell(LanguageText::get(kExtractFailedText));
                continue;
            }
            path = extracted->getFullFileName();
        } else {
            path = item->getFullFileName();
        }
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            tell(formatText(kOpenFailedText, {shown(path), reason(errno)}));
            continue;
        }
        if (!FileOpener::open(path))
            tell(formatText(kOpenFailedText, {shown(path), reason(EIO)}));
    }
}

void ResultOperations::openContainingFolders()
{
    std::vector<std::string> files;
    for (Data_FileItem* item : selectedItems()) {
        if (item->m_bInArchive) {
            const std::string archive = item->getFullNameIncludeArchivePath();
            if (!FileOpener::open(archive))
                tell(formatText(kOpenFailedText, {shown(archive), reason(EIO)}));
        } else {
            files.push_back(item->getFullFileName());
        }
    }
    FileOpener::showItems(files);
}

std::vector<qint64> ResultOperations::runOpenWith(int index)
{
    std::vector<qint64> started;
    if (!m_openWith || index < 0 || index >= m_openWith->size())
        return started;
    const OpenWithEntry entry = m_openWith->at(index);
    const std::vector<int> rows = m_list.selectedRows();
    for (int row : rows) {
        Data_FileItem& item = m_list.itemAt(row);
        std::string path = item.getFullFileName();
        std::unique_ptr<Data_FileItem> extracted;
        if (item.m_bInArchive) {
            extracted = ArchiveMemberExtract::convertArchiveFileToTempFile(item);
            if (!extracted) {
                if (rows.size() == 1)
                    tell(LanguageText::get(kExtractFailedText));
                continue;
            }
            path = extracted->getFullFileName();
        }
        const int check = OpenWithCommand::checkProgram(entry.program);
        if (check != 0) {
            tell(formatText(check == 3 ? kProgramPathMissingText : kProgramMissingText, {entry.program, entry.title}));
            return started;
        }
        const OpenWithCommand::Line line = OpenWithCommand::build(entry.program, entry.params, kPathMarker);
        int error = 0;
        const pid_t pid = DetachedProcess::start(argumentBytes(QStringList{line.program} + line.arguments, path),
                                                 FileOpener::folderOf(path), &error);
        if (pid < 0) {
            tell(formatText(kProgramMissingText, {entry.program, entry.title}));
            return started;
        }
        started.push_back(pid);
    }
    return started;
}

std::vector<qint64> ResultOperations::runApplication(const QString& exec)
{
    std::vector<qint64> started;
    std::vector<std::unique_ptr<Data_FileItem>> temporaries;
    for (const std::string& path : selectedFilePaths(temporaries)) {
        const QStringList command = MimeAppAssociations::commandFor(exec, kPathMarker, kUrlMarker);
        int error = 0;
        const pid_t pid =
            command.isEmpty() ? -1 : DetachedProcess::start(argumentBytes(command, path), FileOpener::folderOf(path), &error);
        if (pid < 0) {
            tell(formatText(kProgramMissingText, {command.isEmpty() ? exec : command.front(), exec}));
            return started;
        }
        started.push_back(pid);
    }
    return started;
}

void ResultOperations::runConfigureOpenWith()
{
    if (!m_openWith)
        return;
    OpenWithDialog dialog(*m_openWith, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    *m_openWith = dialog.entries();
    emit openWithChanged();
}

// ---- clipboard ------------------------------------------------------------------------

void ResultOperations::copyText(ResultClipboard::TextKind kind)
{
    std::vector<std::string> lines;
    for (Data_FileItem* item : selectedItems()) {
        switch (kind) {
        case ResultClipboard::TextKind::Names: lines.push_back(item->getFileName()); break;
        case ResultClipboard::TextKind::Folders: lines.push_back(item->m_strPath); break;
        case ResultClipboard::TextKind::FullPaths: lines.push_back(item->getFullFileName()); break;
        }
    }
    if (!lines.empty())
        ResultClipboard::putText(ResultClipboard::joinLines(lines));
}

bool ResultOperations::copyFiles(ResultClipboard::FileMode mode)
{
    std::vector<std::unique_ptr<Data_FileItem>> temporaries;
    const std::vector<std::string> paths = selectedFilePaths(temporaries);
    if (paths.empty())
        return false;
    ResultClipboard::putFiles(paths, mode);
    return true;
}

QMimeData* ResultOperations::dragData()
{
    std::vector<std::unique_ptr<Data_FileItem>> temporaries;  // the extracted files stay
    const std::vector<std::string> paths = selectedFilePaths(temporaries);
    if (paths.empty())
        return nullptr;
    return ResultClipboard::filesData(paths, ResultClipboard::FileMode::Copy);
}

Qt::DropAction ResultOperations::startDrag(QWidget* source)
{
    QMimeData* data = dragData();
    if (!data)
        return Qt::IgnoreAction;
    auto* drag = new QDrag(source);
    drag->setMimeData(data);
    return drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
}

// ---- rename ---------------------------------------------------------------------------

void ResultOperations::renameCase(bool upper)
{
    if (listBusy())
        return;
    bool anyFile = false;
    QStringList failures;
    for (int row : m_list.selectedRows()) {
        Data_FileItem& item = m_list.itemAt(row);
        if (item.m_bInArchive)
            continue;
        anyFile = true;
        const std::string oldName = item.getFileName();
        const std::string newName =
            FileRenamer::changeCase(oldName, upper ? FileRenamer::Case::Upper : FileRenamer::Case::Lower);
        if (newName == oldName)
            continue;
        const int err = FileRenamer::rename(item.m_strPath, oldName, newName);
        if (err != 0) {
            failures << (err == EEXIST ? formatText(kNotReplacedText, {shown(item.m_strPath + newName)})
                                       : shown(item.getFullFileName()) + QStringLiteral(": ") + reason(err));
            continue;
        }
        item.setFileName(newName);
        item.emptySpeedCache();
        m_list.rowChanged(row);
    }
    if (!anyFile)
        tell(LanguageText::get(kArchiveNoRenameText));
    reportFailures(kNotRenamedText, failures);
}

void ResultOperations::runRename()
{
    const std::vector<int> rows = m_list.selectedRows();
    if (rows.empty() || listBusy())
        return;
    const int row = rows.front();
    if (isSignalConnected(QMetaMethod::fromSignal(&ResultOperations::editNameRequested))) {
        emit editNameRequested(row);
        return;
    }
    Data_FileItem& item = m_list.itemAt(row);
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, LanguageText::plain(unsigned(Rename)), QString(),
                                               QLineEdit::Normal, shown(item.getFileName()), &ok);
    if (ok)
        renameRow(row, text);
}

bool ResultOperations::renameRow(int row, const QString& text)
{
    if (listBusy() || row < 0 || row >= m_list.rowCount())
        return false;
    Data_FileItem& item = m_list.itemAt(row);
    const QString trimmed = text.trimmed();
    const QByteArray bytes = trimmed.toUtf8();
    const std::string newName(bytes.constData(), size_t(bytes.size()));
    const std::string oldName = item.getFileName();
    if (trimmed.isEmpty() || newName == oldName || trimmed == shown(oldName))
        return true;  // nothing to do (an unchanged name that is not valid UTF-8 included)
    if (item.m_bInArchive) {
        tell(LanguageText::get(kArchiveNoRenameText));
        return false;
    }
    const int err = FileRenamer::rename(item.m_strPath, oldName, newName);
    if (err != 0) {
        tell(err == EEXIST ? formatText(kNotReplacedText, {shown(item.m_strPath + newName)})
                           : LanguageText::get(kNotRenamedText) + u'\n' + shown(item.getFullFileName()) +
                                 QStringLiteral(": ") + reason(err));
        m_list.rowChanged(row);  // the row shows its old name again
        return false;
    }
    item.setFileName(newName);
    item.emptySpeedCache();
    item.m_strTypeName.clear();
    item.m_nIconIndex = -1;
    item.clearFullFilled();
    m_list.rowChanged(row);
    return true;
}

// ---- delete ---------------------------------------------------------------------------

void ResultOperations::deleteSelection(bool permanently)
{
    if (listBusy())
        return;
    const std::vector<int> rows = m_list.selectedRows();
    if (rows.empty())
        return;
    for (int row : rows) {
        if (m_list.itemAt(row).m_bInArchive) {
            tell(LanguageText::get(kArchiveNoDeleteText));
            return;
        }
    }
    if (ask(Ask::YesNo, LanguageText::get(permanently ? kDeletePermanentlyText : kTrashQuestionText), permanently) != 0)
        return;
    std::vector<int> gone;
    QStringList failures;
    for (int row : rows) {
        const std::string path = m_list.itemAt(row).getFullFileName();
        const int err = permanently ? FileDeleter::removePermanently(path) : FileDeleter::moveToTrash(path);
        if (err == 0)
            gone.push_back(row);
        else
            failures << shown(path) + QStringLiteral(": ") + reason(err);
    }
    if (!gone.empty())
        m_list.removeRows(gone);
    reportFailures(kNotDeletedText, failures);
}

// ---- move -----------------------------------------------------------------------------

void ResultOperations::runMove()
{
    if (listBusy() || m_list.selectedRows().empty())
        return;
    MoveDialog dialog(m_lastMoveFolder, m_lastAutoRename, m_parent);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_lastMoveFolder = dialog.folder();
    m_lastAutoRename = dialog.autoRename();
    moveSelection(m_lastMoveFolder, m_lastAutoRename);
}

bool ResultOperations::moveSelection(const QString& folderText, bool autoRename, FileMover::Hooks hooks)
{
    if (listBusy())
        return false;
    QByteArray folderBytes = folderText.trimmed().toUtf8();
    std::string folder(folderBytes.constData(), size_t(folderBytes.size()));
    struct stat st {};
    if (folder.empty() || ::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        tell(formatText(kFolderMissingText, {folderText}));
        return false;
    }
    if (folder.back() != '/')
        folder += '/';
    std::vector<std::unique_ptr<Data_FileItem>> temporaries;
    std::vector<int> rows;
    const std::vector<std::string> sources = selectedFilePaths(temporaries, &rows);
    if (sources.empty())
        return false;

    QProgressDialog progress(LanguageText::plain(kMovingText), LanguageText::get(kCancelText), 0, 1000, m_parent);
    progress.setWindowTitle(LanguageText::plain(kProgressTitleText));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    if (!hooks.progress) {
        hooks.progress = [&progress](uint64_t done, uint64_t total) {
            progress.setValue(total ? int(done * 1000 / total) : 0);
            return !progress.wasCanceled();
        };
    }
    if (!hooks.askCollision) {
        hooks.askCollision = [this](const std::string& target) {
            switch (ask(Ask::Collision, formatText(kCollisionText, {shown(target)}))) {
            case 0: return FileMover::Collision::Replace;
            case 1: return FileMover::Collision::Skip;
            case 2: return FileMover::Collision::ReplaceAll;
            default: return FileMover::Collision::Cancel;
            }
        };
    }
    FileMover mover(std::move(hooks));
    const std::vector<FileMover::Outcome> outcomes = mover.move(sources, folder, autoRename);
    progress.close();

    std::vector<int> moved;
    QStringList failures;
    for (size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].state == FileMover::Outcome::State::Moved)
            moved.push_back(rows[i]);
        else if (outcomes[i].state == FileMover::Outcome::State::Failed)
            failures << shown(sources[i]) + QStringLiteral(": ") + reason(outcomes[i].error);
    }
    if (!moved.empty())
        m_list.removeRows(moved);
    reportFailures(kNotMovedText, failures);
    return true;
}

// ---- properties and context menu ------------------------------------------------------

void ResultOperations::showProperties()
{
    const std::vector<Data_FileItem*> items = selectedItems();
    if (items.empty())
        return;
    PropertiesDialog dialog(items, m_parent);
    dialog.exec();
}

QMenu* ResultOperations::buildContextMenu(int row, QWidget* menuParent)
{
    return ResultContextMenu::build(*this, m_list, row, menuParent);
}
