// The command-enabling rules, as a table of states and commands.
#include <QtTest>

#include "shell/CommandEnabling.h"
#include "shell/CommandIds.h"
#include "shell/CommandState.h"

using namespace CommandIds;

Q_DECLARE_METATYPE(CommandState)

namespace {
CommandState state(int rows, int selected, bool searching, bool indexing, bool patternEmpty, bool modal)
{
    CommandState s;
    s.rowsInList = rows;
    s.rowsSelected = selected;
    s.searchRunning = searching;
    s.indexingRunning = indexing;
    s.patternEmpty = patternEmpty;
    s.modalDialogOpen = modal;
    return s;
}
}  // namespace

class CommandEnablingTest : public QObject {
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void onlyCommandsWithAnActionAreEnabled_data();
    void onlyCommandsWithAnActionAreEnabled();
    void computeCoversEveryId();
};

void CommandEnablingTest::rules_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<CommandState>("state");
    QTest::addColumn<bool>("allowed");

    const CommandState empty = state(0, 0, false, false, false, false);
    const CommandState rows = state(5, 0, false, false, false, false);
    const CommandState rowsSearching = state(5, 0, true, false, false, false);
    const CommandState selected = state(5, 2, false, false, false, false);
    const CommandState selectedSearching = state(5, 2, true, false, false, false);
    const CommandState indexing = state(0, 0, false, true, false, false);
    const CommandState noTypes = state(0, 0, false, false, true, false);
    const CommandState modal = state(5, 2, false, false, false, true);

    // Whole-list commands: rows and no search.
    for (int id : {SaveResult, ExportFileList, ExportCsv, Statistics, PrintPreview, Print, RemoveAll}) {
        const QByteArray n = QByteArray::number(id);
        QTest::newRow(n + " empty list") << id << empty << false;
        QTest::newRow(n + " rows") << id << rows << true;
        QTest::newRow(n + " rows while searching") << id << rowsSearching << false;
    }
    QTest::newRow("open result idle") << OpenResult << empty << true;
    QTest::newRow("open result while searching") << OpenResult << rowsSearching << false;

    // Selection commands, the open-with range included; a running search does not matter.
    for (int id : {Execute, OpenContainingFolder, CopyNames, CopyPaths, CopyFullPaths, CopyFiles, CopyFilesAlt,
                   MoveFiles, RenameUpper, RenameLower, Rename, DeleteToTrash, DeletePermanently, RemoveSelected,
                   OpenWithFirst, OpenWithFirst + 7, OpenWithLast}) {
        const QByteArray n = QByteArray::number(id);
        QTest::newRow(n + " rows, none selected") << id << rows << false;
        QTest::newRow(n + " selected") << id << selected << true;
        QTest::newRow(n + " selected while searching") << id << selectedSearching << true;
    }
    for (int id : {SelectAll, InvertSelection}) {
        const QByteArray n = QByteArray::number(id);
        QTest::newRow(n + " empty") << id << empty << false;
        QTest::newRow(n + " rows") << id << rows << true;
    }

    // Index commands.
    for (int id : {RebuildAllIndexes, RebuildLocalPaths, IndexPathFirst, IndexPathLast}) {
        const QByteArray n = QByteArray::number(id);
        QTest::newRow(n + " idle") << id << empty << true;
        QTest::newRow(n + " indexing") << id << indexing << false;
    }
    QTest::newRow("stop indexing idle") << StopIndexing << empty << false;
    QTest::newRow("stop indexing indexing") << StopIndexing << indexing << true;

    QTest::newRow("specified type with types") << SearchSpecifiedType << empty << true;
    QTest::newRow("specified type without types") << SearchSpecifiedType << noTypes << false;

    // Alt+S and Alt+N do nothing under a modal dialog; other commands keep their rules.
    QTest::newRow("search idle") << SearchOrStop << empty << true;
    QTest::newRow("search while searching (stops)") << SearchOrStop << rowsSearching << true;
    QTest::newRow("search under modal") << SearchOrStop << modal << false;
    QTest::newRow("new search under modal") << NewSearch << modal << false;
    QTest::newRow("execute under modal") << Execute << modal << true;
    QTest::newRow("options idle") << Options << rowsSearching << true;
    QTest::newRow("options under modal") << Options << modal << false;

    // Commands without a rule.
    for (int id : {About, Help, Exit, OpenPanel1, OpenAllPanels, MacroFirst})
        QTest::newRow(QByteArray::number(id) + " no rule, empty") << id << empty << true;

    // Just outside the ranges.
    QTest::newRow("below open-with range") << OpenWithFirst - 1 << empty << true;
    QTest::newRow("above index range, indexing") << IndexPathLast + 1 << indexing << true;
}

void CommandEnablingTest::rules()
{
    QFETCH(int, id);
    QFETCH(CommandState, state);
    QFETCH(bool, allowed);
    QCOMPARE(CommandEnabling::rulesAllow(id, state), allowed);
}

void CommandEnablingTest::onlyCommandsWithAnActionAreEnabled_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("enabled");
    // Everything in a state where every rule allows: rows, selection, no search, no indexing.
    for (int id : {About, Help, Exit, OpenPanel1, OpenPanel1 + 2, OpenPanel5,
                   OpenAllPanels, FocusResultList, FocusOptionSide, SaveOptions, OpenOptions, NewSearch,
                   SearchImages, SearchMusic, SearchVideos, SearchSpecifiedType,
                   OpenResult, SaveResult, Execute, CopyFiles, DeleteToTrash, MoveFiles, OpenWithFirst,
                   SearchOrStop, SelectAll, InvertSelection, RemoveSelected, RemoveAll, Statistics, Print,
                   PrintPreview, PrintSetup, SaveMacro, ManageMacros, MacroFirst, MacroFirst + 511,
                   RebuildAllIndexes, RebuildLocalPaths, ViewIndexLog, IndexPathFirst, IndexPathLast, Options})
        QTest::newRow(QByteArray::number(id)) << id << true;
    for (int id : {32700, 1})  // no command has these ids
        QTest::newRow(QByteArray::number(id)) << id << false;
}

void CommandEnablingTest::onlyCommandsWithAnActionAreEnabled()
{
    QFETCH(int, id);
    QFETCH(bool, enabled);
    const CommandState everythingAllowed = state(10, 3, false, false, false, false);
    QCOMPARE(CommandEnabling::isEnabled(id, everythingAllowed), enabled);
}

void CommandEnablingTest::computeCoversEveryId()
{
    const QList<int> ids{About, SaveResult, StopIndexing, IndexPathFirst + 3};
    const CommandState s = state(1, 1, false, true, false, false);
    const QHash<int, bool> flags = CommandEnabling::compute(ids, s);
    QCOMPARE(flags.size(), ids.size());
    for (int id : ids)
        QCOMPARE(flags.value(id), CommandEnabling::isEnabled(id, s));
}

QTEST_APPLESS_MAIN(CommandEnablingTest)
#include "CommandEnablingTest.moc"
