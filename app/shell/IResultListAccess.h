#pragma once
// What the operations on found files (saving and opening result files, export, open,
// copy, move, rename, trash, properties, statistics) need from the result list, so that
// they work without knowing its model or its views.
//
// Rows are the model's rows, 0-based, in the order the list shows them. User-interface
// thread only. The list owns every item; a reference from itemAt() stays valid until the
// list changes (removeRows, replaceAll, a sort or a new search).
#include <memory>
#include <vector>

class Data_FileItem;

class IResultListAccess {
public:
    virtual ~IResultListAccess() = default;

    virtual int rowCount() const = 0;
    // The selected rows, ascending.
    virtual std::vector<int> selectedRows() const = 0;
    // The row's item, read from its index cache first when it is still pending.
    // 0 <= row < rowCount().
    virtual Data_FileItem& itemAt(int row) = 0;
    // The row's item was changed in place (renamed, moved): its cells are shown again.
    virtual void rowChanged(int row) = 0;
    // Removes these rows (any order, duplicates ignored) and destroys their items.
    virtual void removeRows(std::vector<int> rows) = 0;
    // Replaces the whole list, as opening a result file does; the view is chosen from
    // the first row (web-page style when it has excerpts).
    virtual void replaceAll(std::vector<std::unique_ptr<Data_FileItem>> items) = 0;
    // True while a search fills the list; operations that change the list wait for its end.
    virtual bool isSearching() const = 0;
};
