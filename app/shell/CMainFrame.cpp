// CMainFrame: composition of the main window and routing of its commands.
#include "shell/CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QHeaderView>
#include <QMenuBar>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSplitter>
#include <QTimer>
#include <QWindowStateChangeEvent>

#include "archive/CExtractMgr.h"
#include "duplicate/Duplicate_Man.h"
#include "indexing/CIndexManager.h"
#include "indexing/IndexLogDialog.h"
#include "indexing/IndexQuestion.h"
#include "indexing/PP_ExcludeList.h"
#include "indexing/PP_FileIndex.h"
#include "indexing/PP_IndexTime.h"
#include "options/ContainTextPanel.h"
#include "options/DuplicatePanel.h"
#include "options/NameLocationPanel.h"
#include "options/OptionSheetController.h"
#include "options/SearchOptionsPane.h"
#include "records/Data_FileItem.h"
#include "shell/AboutDialog.h"
#include "shell/AppSettings.h"
#include "shell/CommandEnabling.h"
#include "shell/CommandIds.h"
#include "shell/CommandRegistry.h"
#include "shell/File_ListView.h"
#include "shell/File_HoldWnd.h"
#include "shell/FileManagerEntry.h"
#include "options/OptionMessage.h"
#include "shell/HelpLauncher.h"
#include "shell/LanguageFormat.h"
#include "shell/LanguageText.h"
#include "shell/MacroCommands.h"
#include "shell/MainMenuBar.h"
#include "shell/MainStatusBar.h"
#include "shell/MainToolBar.h"
#include "shell/ResultOperations.h"
#include "shell/ResultCellText.h"
#include "shell/ResultListModel.h"
#include "shell/ResultPrinter.h"
#include "shell/ResultStatistics.h"
#include "shell/SearchController.h"
#include "shell/StatisticsDialog.h"
#include "shell/ThemedIcon.h"
#include "tools/Tool_Resource.h"
#include "shell/WelcomeDialog.h"

using namespace CommandIds;

namespace {
constexpr unsigned kTitleText = 55;
constexpr unsigned kHotKeyCaptionText = 56;
constexpr unsigned kSearchFinishedText = 22;
constexpr unsigned kFileManagerFailedText = 711;
}  // namespace

CMainFrame::CMainFrame(AppSettings& settings, Options options, QWidget* parent)
    : QMainWindow(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(LanguageText::plain(kTitleText));
    setAccessibleName(LanguageText::plain(kTitleText));
    setWindowIcon(ThemedIcon::program());
    m_settings.load();
    m_placement = FramePlacement::fromRecord(m_settings.placement());

    m_commands = new CommandRegistry(this);
    connect(m_commands, &CommandRegistry::commandTriggered, this, &CMainFrame::onCommand);
    refreshRangeCommands();
    m_menus = new MainMenuBar(*m_commands, menuBar());
    menuBar()->setAccessibleName(LanguageText::plain(kTitleText));

    m_toolBar = new MainToolBar(*m_commands, this);
    addToolBar(Qt::TopToolBarArea, m_toolBar);
    m_toolBar->setPatternExtensions(m_settings.searchDisplay().patternExtensions);
    connect(m_toolBar, &MainToolBar::buttonStyleToggled, this, &CMainFrame::setButtonStyle);

    m_statusBar = new MainStatusBar(this);
    setStatusBar(m_statusBar);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("mainSplitter"));
    m_splitter->setChildrenCollapsible(false);
    m_optionSide = new File_HoldWnd(m_splitter);
    connect(m_optionSide, &File_HoldWnd::searchClicked, m_commands->action(SearchOrStop), &QAction::trigger);
    connect(m_optionSide, &File_HoldWnd::newSearchClicked, m_commands->action(NewSearch), &QAction::trigger);
    connect(m_optionSide, &File_HoldWnd::buttonStyleMenuRequested, m_toolBar, &MainToolBar::showButtonStyleMenu);
    m_searchOptions = new SearchOptionsPane(m_optionSide, m_settings, this);
    connect(m_toolBar, &MainToolBar::specifiedTypeChosen, this,
            [this](const QString& ext) { runPreset(SearchOptionsPane::typePattern(ext)); });

    m_resultModel = new ResultListModel(this);
    m_resultList = new File_ListView(m_settings, *m_resultModel, m_splitter);
    m_search = new SearchController(m_settings, *m_resultModel, this);
    connectResultList();
    connectIndexing();
    setRuleFiller([pane = m_searchOptions](Search_Rule& rule) { return pane->fillRule(rule); });
    setResultOperations(new ResultOperations(*m_resultModel, this));
    connectResultOperations();
    connectDuplicateSelection();
    m_macroCommands = new MacroCommands(
        {m_searchOptions, m_optionSide, m_search, m_commands, this, [this](QDialog& d) { return runModal(d); },
         [this] { return m_state.modalDialogOpen; }},
        MacroList::defaultFolder(), this);
    connectOptionSheet();
    // Accelerators of the list (Enter, Delete, Ctrl+C...) act only while it has the focus.
    for (int id : m_commands->ids())
        if (m_commands->isListScoped(id))
            m_resultList->addAction(m_commands->action(id));

    m_splitter->addWidget(m_optionSide);
    m_splitter->addWidget(m_resultList);
    m_splitter->setStretchFactor(0, 0);
    m_splitter->setStretchFactor(1, 1);
    m_splitter->setSizes({kOptionSideWidth, 700});
    setCentralWidget(m_splitter);

    setButtonStyle(m_settings.frame().iButtonState != 0);

    m_tray = new TrayIcon(*m_commands, options.tray, this);
    connect(m_tray, &TrayIcon::toggleRequested, this, &CMainFrame::toggleFromTray);
    connect(m_tray, &TrayIcon::showRequested, this, &CMainFrame::showFromTray);
    connect(m_tray, &TrayIcon::exitRequested, this, &CMainFrame::requestExit);
    m_tray->show();
    // Without a tray the close box ends the program, so the last window closing quits.
    QApplication::setQuitOnLastWindowClosed(!m_tray->available());

    CExtractMgr::init();
    m_state.patternEmpty = m_settings.searchDisplay().patternExtensions.isEmpty();
    m_commands->applyEnabling(m_state);

    connect(this, &CMainFrame::afterStart, this, &CMainFrame::checkFirstRun, Qt::QueuedConnection);
    // A log-out may end the process without a normal exit: save while it still runs.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this] {
        m_exiting = true;
        saveAll();
    });
    connect(qApp, &QCoreApplication::aboutToQuit, this, &CMainFrame::saveAll);
}

CMainFrame::~CMainFrame()
{
    delete m_macroCommands;  // its hot keys and dialogs need the parts below
    m_macroCommands = nullptr;
    m_index->disconnect(this);
    delete m_index;  // stops a running run
    m_index = nullptr;
    m_search->disconnect(this);
    delete m_search;  // stops a running search before the list goes
    m_search = nullptr;
    saveAll();
    CExtractMgr::uninit();
}

void CMainFrame::saveAll()
{
    m_placement.captureFrom(this);
    m_placement.toRecord(m_settings.placement());
    m_settings.frame().iButtonState = m_toolBar->largeButtons() ? 1 : 0;
    m_searchOptions->saveState();
    m_settings.save();
    m_settings.savePlacement();
}

void CMainFrame::refreshRangeCommands()
{
    m_commands->removeRangeCommands(IndexPathFirst, IndexPathLast);
    const QStringList& paths = m_settings.indexedPaths().paths;
    for (int i = 0; i < paths.size() && IndexPathFirst + i <= IndexPathLast; ++i)
        m_commands->setRangeCommand(IndexPathFirst + i, paths[i]);
    m_commands->removeRangeCommands(OpenWithFirst, OpenWithLast);
    const QList<OpenWithEntry>& programs = m_settings.openWith();
    for (int i = 0; i < programs.size() && OpenWithFirst + i <= OpenWithLast; ++i)
        m_commands->setRangeCommand(OpenWithFirst + i, programs[i].title);
    m_commands->applyEnabling(m_state);
}

void CMainFrame::setButtonStyle(bool large)
{
    if (m_toolBar->largeButtons() != large)
        m_toolBar->setLargeButtons(large);
    m_optionSide->setLargeButtons(large);
    m_settings.frame().iButtonState = large ? 1 : 0;
}

void CMainFrame::startUp(bool minimized)
{
    bool maximized = false;
    m_placement.applyTo(this, maximized);
    if (minimized && m_tray->available()) {
        m_hiddenToTray = true;
        m_tray->setWindowVisible(false);
        return;
    }
    if (minimized) {
        setWindowState(windowState() | Qt::WindowMinimized);
        show();
        return;
    }
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    show();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
    m_tray->setWindowVisible(true);
    emit afterStart();
}

void CMainFrame::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_splitterPlaced) {
        m_splitterPlaced = true;
        const int total = m_splitter->width() - m_splitter->handleWidth();
        m_splitter->setSizes({kOptionSideWidth, qMax(1, total - kOptionSideWidth)});
    }
}

void CMainFrame::checkFirstRun()
{
    if (m_settings.frame().FirstRun != 1)
        return;
    m_settings.frame().FirstRun = 0;
    const FileManagerEntry entry;
    WelcomeDialog dialog(this, entry.isAvailable() && !entry.isRegistered());
    runModal(dialog);
    QString reason;
    if (dialog.addFileManagerEntry() && !entry.registerEntry(&reason))
        OptionMessage::show(this, OptionMessage::format(kFileManagerFailedText, reason));
}

void CMainFrame::hideToTray()
{
    if (!isVisible())
        return;
    m_placement.captureFrom(this);
    m_placement.toRecord(m_settings.placement());
    hide();
    m_hiddenToTray = true;
    m_tray->setWindowVisible(false);
}

void CMainFrame::showWindow()
{
    if (m_placement.maximized)
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowMaximized);
    else
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
    show();
}

void CMainFrame::showFromTray()
{
    if (isVisible()) {
        if (isMinimized() && !m_hiddenToTray)
            setWindowState(windowState() & ~Qt::WindowMinimized);
    } else {
        showWindow();
    }
    m_hiddenToTray = false;
    m_tray->setWindowVisible(true);
    raise();
    activateWindow();
}

void CMainFrame::toggleFromHotKey()
{
    if (m_state.modalDialogOpen) {
        showFromTray();
        return;
    }
    if (isVisible() && (!isActiveWindow() || isMinimized())) {
        showFromTray();  // not in front: only bring it there
        return;
    }
    if (isVisible())
        hideToTray();
    else
        showFromTray();
}

void CMainFrame::toggleFromTray()
{
    if (isVisible() && !isMinimized())
        hideToTray();
    else
        showFromTray();
}

void CMainFrame::requestExit()
{
    if (m_state.modalDialogOpen) {
        showFromTray();
        return;
    }
    m_exiting = true;
    // A window hidden to the tray still closes; closing it ends the program.
    QTimer::singleShot(0, this, [this] {
        if (!close())
            m_exiting = false;
    });
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_exiting && m_settings.general().ClickXToExit == 0 && m_tray->available()) {
        event->ignore();
        hideToTray();
        return;
    }
    m_exiting = false;
    saveAll();
    event->accept();
    QMainWindow::closeEvent(event);
    emit closedForExit();
}

void CMainFrame::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        auto* change = static_cast<QWindowStateChangeEvent*>(event);
        if ((change->oldState() & Qt::WindowMinimized) && !isMinimized())
            m_optionSide->setFocus(Qt::OtherFocusReason);
    }
}

void CMainFrame::setCommandState(const CommandState& state)
{
    m_state = state;
    m_commands->applyEnabling(m_state);
    m_tray->setModalDialogOpen(state.modalDialogOpen);
}

int CMainFrame::runModal(QDialog& dialog)
{
    CommandState state = m_state;
    state.modalDialogOpen = true;
    setCommandState(state);
    const int result = dialog.exec();
    state.modalDialogOpen = false;
    setCommandState(state);
    return result;
}

void CMainFrame::setSearchFolders(const QStringList& folders)
{
    m_searchFolders = folders;
    m_searchOptions->setSearchFolders(folders);
}

void CMainFrame::runPreset(const QString& pattern)
{
    // A running search is stopped first: the search command would only stop it.
    m_search->checkFinished();
    if (m_search->isRunning())
        m_search->stop(true);
    m_searchOptions->preparePreset(pattern);
    m_commands->action(SearchOrStop)->trigger();
}

ResultOperations* CMainFrame::resultOperations() const
{
    return m_ops.data();
}

void CMainFrame::setResultOperations(ResultOperations* ops)
{
    if (m_ops)
        disconnect(m_ops, nullptr, this, nullptr);
    m_ops = ops;
    if (!m_ops)
        return;
    m_ops->setOpenWithEntries(&m_settings.openWith());
    ResultExport::Columns shown{};
    for (size_t c = 0; c < shown.size(); ++c)
        shown[c] = c == 0 || m_settings.columns().show[c] != 0;
    m_ops->setShownColumns(shown);
    connect(m_ops, &ResultOperations::statusText, this, [this](const QString& text) { m_statusBar->setPaneText(0, text); });
    connect(m_ops, &ResultOperations::openWithChanged, this, &CMainFrame::refreshRangeCommands);
    // Rename edits the name in its cell; the typed name goes back through the operations.
    QPointer<ResultOperations> guarded = m_ops;
    m_resultModel->setRenameHandler(
        [guarded](int row, const QString& text) { return guarded && guarded->renameRow(row, text); });
    connect(m_ops, &ResultOperations::editNameRequested, this, [this](int row) {
        m_resultModel->itemAt(row);  // read, so that the cell's flags know an archive member
        const QModelIndex cell = m_resultModel->index(row, ResultCellText::kName);
        m_resultList->scrollTo(cell);
        m_resultList->setCurrentIndex(cell);
        m_resultList->edit(cell);
    });
}

void CMainFrame::connectDuplicateSelection()
{
    DuplicatePanel* panel = m_searchOptions->duplicate();
    connect(panel, &DuplicatePanel::selectAllCopiesRequested, this,
            [this] { m_resultList->selectDuplicateCopies([](Data_FileItem&) { return true; }); });
    connect(panel, &DuplicatePanel::selectByFolderRequested, this, [this](const QString& typed) {
        if (typed.isEmpty())
            return;
        std::string folder = Tool_Resource::normalizePath(typed.toStdString());
        if (folder.empty() || folder.back() != '/')
            folder += '/';
        m_resultList->selectDuplicateCopies(
            [folder](Data_FileItem& item) { return item.m_strPath.compare(0, folder.size(), folder) == 0; });
    });
    connect(panel, &DuplicatePanel::selectByMaskRequested, this, [this](const QString& mask) {
        if (mask.isEmpty())
            return;
        const std::string completed = mask.toStdString();
        m_resultList->selectDuplicateCopies(
            [completed](Data_FileItem& item) { return Duplicate_Man::matchesFileMask(completed, item); });
    });
}

void CMainFrame::connectResultOperations()
{
    m_resultList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_resultList, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        const QModelIndex index = m_resultList->indexAt(pos);
        if (!m_ops || !index.isValid())
            return;
        if (!m_resultList->selectionModel()->isRowSelected(index.row(), QModelIndex()))
            m_resultList->selectionModel()->select(
                index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        std::unique_ptr<QMenu> menu(m_ops->buildContextMenu(index.row(), this));
        if (menu)
            menu->exec(m_resultList->viewport()->mapToGlobal(pos));
    });
    connect(m_resultList, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (m_ops && index.isValid())
            m_ops->run(Execute);
    });
    connect(m_resultList, &File_ListView::dragRequested, this, [this] {
        if (m_ops)
            m_ops->startDrag(m_resultList);
    });
}

bool CMainFrame::openResultFile(const QString& path)
{
    return m_ops && m_ops->openResultFile(path);
}

void CMainFrame::setHotKeyText(const QString& text)
{
    m_tray->setHotKeyText(text);
}

void CMainFrame::setHotKey(GlobalHotKey* hotKey)
{
    m_optionSheet->setHotKey(hotKey);
}

// ---- the option sheet: what a confirmed change applies at once --------------------------------

void CMainFrame::connectOptionSheet()
{
    m_optionSheet = new OptionSheetController(m_settings, this);
    // The index pages follow General and Search.
    m_optionSheet->setExtraPages([this](PP_OptionSheet& sheet) {
        sheet.addPage(new PP_FileIndex(m_settings, m_index, &sheet));
        sheet.addPage(new PP_IndexTime(m_settings, m_index, &sheet));
        sheet.addPage(new PP_ExcludeList(m_settings, &sheet));
    });
    connect(m_optionSheet, &OptionSheetController::sheetConfirmed, this, [this] { indexedPathsChanged(); });
    connect(m_optionSheet, &OptionSheetController::generalApplied, this, [this] {
        m_resultList->applySettings();
        const int history = m_settings.general().HistoryItemNum;
        m_searchOptions->general()->setHistoryLimit(history);
        m_searchOptions->containText()->setHistoryLimit(history);
    });
    connect(m_optionSheet, &OptionSheetController::searchApplied, this, [this] {
        m_resultList->applySettings();
        const QStringList& types = m_settings.searchDisplay().patternExtensions;
        m_toolBar->setPatternExtensions(types);
        CommandState state = m_state;
        state.patternEmpty = types.isEmpty();
        setCommandState(state);
    });
    connect(m_optionSheet, &OptionSheetController::hotKeyRegistered, this, &CMainFrame::setHotKeyText);
    connect(m_optionSheet, &OptionSheetController::hotKeyFailed, this, [this](const QString& reason) {
        setHotKeyText(QString());
        warnHotKeyUnavailable(reason);
    });
}

void CMainFrame::warnHotKeyUnavailable(const QString& reason)
{
    QMessageBox box(QMessageBox::Warning, LanguageText::plain(kHotKeyCaptionText), reason, QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("hotKeyWarning"));
    runModal(box);
}

void CMainFrame::onCommand(int id)
{
    if (m_ops && m_ops->run(id))
        return;
    if (m_macroCommands && m_macroCommands->run(id))
        return;
    if ((id >= IndexPathFirst && id <= IndexPathLast) || id == RebuildAllIndexes || id == RebuildLocalPaths ||
        id == StopIndexing || id == ViewIndexLog) {
        onIndexCommand(id);
        return;
    }
    if (id >= OpenPanel1 && id <= OpenPanel5) {
        m_optionSide->openPanel(id - OpenPanel1);
        return;
    }
    switch (id) {
    case OpenAllPanels: m_optionSide->openAllPanels(); break;
    case FocusResultList: m_resultList->setFocus(Qt::ShortcutFocusReason); break;
    case FocusOptionSide: m_optionSide->setFocus(Qt::ShortcutFocusReason); break;
    case Help: HelpLauncher::open(this); break;
    case About: {
        AboutDialog dialog(this);
        runModal(dialog);
        break;
    }
    case Exit: requestExit(); break;
    case CommandIds::Options: m_optionSheet->run(this, [this](QDialog& d) { return runModal(d); }); break;
    case SaveOptions:
        m_searchOptions->saveOptionsInteractively(this, [this](QDialog& d) { return runModal(d); });
        break;
    case OpenOptions:
        m_searchOptions->openOptionsInteractively(this, [this](QDialog& d) { return runModal(d); });
        break;
    case NewSearch: m_searchOptions->reset(); break;
    case SearchImages:
    case SearchMusic:
    case SearchVideos: runPreset(SearchOptionsPane::presetPattern(id)); break;
    case SearchSpecifiedType: m_toolBar->typeMenu()->popup(QCursor::pos()); break;  // the type is chosen there
    case SearchOrStop: searchOrStop(); break;
    case SelectAll:
        m_resultList->selectAll();
        m_resultList->setFocus(Qt::ShortcutFocusReason);
        break;
    case InvertSelection: m_resultList->invertSelection(); break;
    case RemoveSelected: m_resultList->askRemoveSelected(); break;
    case RemoveAll: m_resultList->askRemoveAll(); break;
    case Statistics: showStatistics(); break;
    case Print:
    case PrintPreview:
    case PrintSetup: printList(id); break;
    default: break;  // commands without an action yet are disabled
    }
}

// ---- the search and the result list ----------------------------------------------------------

void CMainFrame::connectResultList()
{
    const auto showStatus = [this](int pane, const QString& text) { m_statusBar->setPaneText(pane, text); };
    connect(m_resultModel, &ResultListModel::statusText, this, showStatus);
    connect(m_search, &SearchController::statusText, this, showStatus);
    connect(m_resultList, &File_ListView::statusText, this, showStatus);
    connect(m_resultModel, &ResultListModel::searchCompleted, this, &CMainFrame::onSearchCompleted);
    connect(m_search, &SearchController::contentSearchStarted, this, [this](bool content) {
        m_resultList->setViewMode(content ? File_ListView::kWebPageView : File_ListView::kReportView);
    });
    connect(m_search, &SearchController::runningChanged, this, [this](bool running) {
        m_optionSide->setSearchRunning(running);
        refreshListState();
    });
    connect(m_resultModel, &QAbstractItemModel::rowsInserted, this, &CMainFrame::refreshListState);
    connect(m_resultModel, &QAbstractItemModel::rowsRemoved, this, &CMainFrame::refreshListState);
    connect(m_resultModel, &QAbstractItemModel::modelReset, this, &CMainFrame::refreshListState);
    connect(m_resultList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CMainFrame::refreshListState);
}

void CMainFrame::refreshListState()
{
    CommandState state = m_state;
    state.rowsInList = m_resultModel->rowCount();
    state.rowsSelected = int(m_resultList->selectionModel()->selectedRows().size());
    state.searchRunning = m_search->isRunning();
    if (!(state == m_state))
        setCommandState(state);
}

void CMainFrame::setRuleFiller(std::function<bool(Search_Rule&)> filler)
{
    m_search->setRuleFiller(std::move(filler));
}

void CMainFrame::searchOrStop()
{
    m_search->checkFinished();
    if (m_search->isRunning())
        m_search->stop(true);
    else
        m_search->start();
}

void CMainFrame::onSearchCompleted(int count, uint32_t elapsedMilliseconds)
{
    if (m_settings.general().SortAfterSearch == 1)
        m_resultList->sortAfterSearch(m_settings.general().SortOption);
    std::string grouped;
    Tool_Resource::seperateNumberToString(count, grouped);
    m_statusBar->setPaneText(0, LanguageFormat::format(LanguageText::plain(kSearchFinishedText),
                                                       {QString::fromStdString(grouped), elapsedMilliseconds * 0.001}));
}

void CMainFrame::showStatistics()
{
    std::vector<const Data_FileItem*> items;
    items.reserve(size_t(m_resultModel->rowCount()));
    m_resultModel->materializeAll();
    for (int row = 0; row < m_resultModel->rowCount(); ++row)
        items.push_back(&m_resultModel->itemAt(row));
    StatisticsDialog dialog(ResultStatistics::of(items), m_resultModel->lastElapsed(), this);
    runModal(dialog);
}

void CMainFrame::printList(int id)
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    if (id == PrintSetup) {
        QPageSetupDialog dialog(m_printer.get(), this);
        runModal(dialog);
    } else if (id == PrintPreview) {
        QPrintPreviewDialog dialog(m_printer.get(), this);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
                [this](QPrinter* printer) { ResultPrinter::print(*printer, *m_resultList); });
        runModal(dialog);
    } else {
        QPrintDialog dialog(m_printer.get(), this);
        if (runModal(dialog) == QDialog::Accepted)
            ResultPrinter::print(*m_printer, *m_resultList);
    }
}

// ---- index management ------------------------------------------------------------------------

void CMainFrame::connectIndexing()
{
    m_index = new CIndexManager(m_settings, this);
    m_index->setSearchController(m_search);
    connect(m_index, &CIndexManager::paneText, this, [this](int pane, const QString& text) {
        m_statusBar->setPaneText(pane, text);
        if (pane == 3 && m_state.indexingRunning)
            m_tray->setIndexProgress(text);
    });
    connect(m_index, &CIndexManager::runningChanged, this, [this](bool running) {
        CommandState state = m_state;
        state.indexingRunning = running;
        setCommandState(state);
        if (!running)
            m_tray->setIndexProgress(QString());
    });
    connect(m_index, &CIndexManager::noIndexedPaths, this, [this] {
        QMessageBox box(QMessageBox::Information, LanguageText::plain(kTitleText), LanguageText::plain(72),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("noIndexedPaths"));
        runModal(box);
    });
}

void CMainFrame::startIndexing()
{
    m_index->startUp();
}

void CMainFrame::onIndexCommand(int id)
{
    if (id >= IndexPathFirst && id <= IndexPathLast) {
        const QString path = m_settings.indexedPaths().paths.value(id - IndexPathFirst);
        if (path.isEmpty())
            return;
        if (m_index->isRunning() && !IndexQuestion::ask(this, 75u))
            return;
        m_index->indexPaths({path});
        return;
    }
    switch (id) {
    case RebuildAllIndexes: m_index->scheduleCheck(true); break;
    case RebuildLocalPaths: {
        // The indexed paths that lie on local disks.
        const QStringList local = IndexedPaths::localDriveRoots();
        QStringList paths;
        for (const QString& p : m_settings.indexedPaths().paths)
            for (const QString& root : local)
                if (Tool_Resource::isPathIncludePath(root.toStdString(), p.toStdString())) {
                    paths.append(p);
                    break;
                }
        if (!paths.isEmpty())
            m_index->indexPaths(paths);
        else if (m_settings.indexedPaths().paths.isEmpty())
            m_index->indexAll();   // says that there is nothing to index
        break;
    }
    case StopIndexing: m_index->stopCommand(); break;
    case ViewIndexLog: {
        IndexLogDialog dialog(m_index->log(), m_settings.frame().strLastIndexTime, this);
        runModal(dialog);
        break;
    }
    default: break;
    }
}
