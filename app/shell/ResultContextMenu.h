#pragma once
// The context menu of a row of the result list (this platform has no shell menu, so it is
// the program's own). For a file: open (the default), open with (the configured programs,
// then the desktop's applications for the file's type), open containing folder, copy,
// cut, copy names and full paths, rename, move, trash, delete, properties. For an archive
// member: the archive to open (with one row selected; else open containing folder), open
// (the default) and copy. The entries act on the selection through `ops`.
// The menu belongs to the caller; user-interface thread.
class IResultListAccess;
class QMenu;
class QWidget;
class ResultOperations;

class ResultContextMenu {
public:
    static QMenu* build(ResultOperations& ops, IResultListAccess& list, int row, QWidget* menuParent);
};
