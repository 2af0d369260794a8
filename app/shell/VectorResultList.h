#pragma once
// A result list held in a plain vector of items: the IResultListAccess of the operations
// on found files when no model is attached (tests, tools), and a reference for what the
// real list model must do. Owns its items; the selection is a set of row numbers that the
// owner sets. User-interface thread only, like the interface.
#include <memory>
#include <vector>

#include "records/Data_FileItem.h"
#include "shell/IResultListAccess.h"

class VectorResultList : public IResultListAccess {
public:
    VectorResultList() = default;
    explicit VectorResultList(std::vector<std::unique_ptr<Data_FileItem>> items) : m_items(std::move(items)) {}

    int rowCount() const override { return int(m_items.size()); }
    std::vector<int> selectedRows() const override { return m_selected; }
    Data_FileItem& itemAt(int row) override { return *m_items.at(size_t(row)); }
    void rowChanged(int row) override { m_changed.push_back(row); }
    void removeRows(std::vector<int> rows) override;
    void replaceAll(std::vector<std::unique_ptr<Data_FileItem>> items) override;
    bool isSearching() const override { return m_searching; }

    // Appends an item; returns its row.
    int append(std::unique_ptr<Data_FileItem> item);
    // Rows outside the list and duplicates are dropped; the rest is kept ascending.
    void setSelectedRows(std::vector<int> rows);
    void selectAll();
    void setSearching(bool searching) { m_searching = searching; }
    // The rows reported by rowChanged() since the last clearChanged(), in call order.
    const std::vector<int>& changedRows() const { return m_changed; }
    void clearChanged() { m_changed.clear(); }

private:
    std::vector<std::unique_ptr<Data_FileItem>> m_items;
    std::vector<int> m_selected;
    std::vector<int> m_changed;
    bool m_searching = false;
};
