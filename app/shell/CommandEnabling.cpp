// CommandEnabling: the rules of the command table.
#include "shell/CommandEnabling.h"

#include "shell/CommandIds.h"
#include "shell/MacroCommands.h"
#include "shell/ResultOperations.h"

using namespace CommandIds;

bool CommandEnabling::rulesAllow(int id, const CommandState& s)
{
    const bool hasRows = s.rowsInList > 0;
    const bool hasSelection = s.rowsSelected > 0;
    if (id >= OpenWithFirst && id <= OpenWithLast)
        return hasSelection;
    if (id >= IndexPathFirst && id <= IndexPathLast)
        return !s.indexingRunning;
    switch (id) {
    case SaveResult:
    case ExportFileList:
    case ExportCsv:
    case Statistics:
    case PrintPreview:
    case Print:
    case RemoveAll:
        return hasRows && !s.searchRunning;
    case OpenResult:
        return !s.searchRunning;
    case Execute:
    case OpenContainingFolder:
    case CopyNames:
    case CopyPaths:
    case CopyFullPaths:
    case CopyFiles:
    case CopyFilesAlt:
    case MoveFiles:
    case RenameUpper:
    case RenameLower:
    case Rename:
    case DeleteToTrash:
    case DeletePermanently:
    case RemoveSelected:
        return hasSelection;
    case SelectAll:
    case InvertSelection:
        return hasRows;
    case RebuildAllIndexes:
    case RebuildLocalPaths:
        return !s.indexingRunning;
    case StopIndexing:
        return s.indexingRunning;
    case SearchSpecifiedType:
        return !s.patternEmpty;
    case SearchOrStop:
    case NewSearch:
    case Options:  // the option sheet is modal: never one over another dialog
        return !s.modalDialogOpen;
    default:
        return true;
    }
}

bool CommandEnabling::hasAction(int id)
{
    // Result files, exports and the file operations on the selected rows.
    if (ResultOperations::handles(id) || MacroCommands::handles(id))
        return true;
    if (id >= OpenPanel1 && id <= OpenPanel5)
        return true;
    // Index management (CIndexManager).
    if ((id >= IndexPathFirst && id <= IndexPathLast) || id == RebuildAllIndexes || id == RebuildLocalPaths ||
        id == StopIndexing || id == ViewIndexLog)
        return true;
    switch (id) {
    case OpenAllPanels:
    case FocusResultList:
    case FocusOptionSide:
    case Help:
    case About:
    case Exit:
    case Options:
    case SaveOptions:
    case OpenOptions:
    case NewSearch:
    case SearchImages:
    case SearchMusic:
    case SearchVideos:
    case SearchSpecifiedType:
    case SearchOrStop:
    case SelectAll:
    case InvertSelection:
    case RemoveSelected:
    case RemoveAll:
    case Statistics:
    case Print:
    case PrintPreview:
    case PrintSetup:
        return true;
    default:
        return false;
    }
}

QHash<int, bool> CommandEnabling::compute(const QList<int>& ids, const CommandState& state)
{
    QHash<int, bool> flags;
    flags.reserve(ids.size());
    for (int id : ids)
        flags.insert(id, isEnabled(id, state));
    return flags;
}
