// VectorResultList: a result list in a vector.
#include "shell/VectorResultList.h"

#include <algorithm>

void VectorResultList::removeRows(std::vector<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        if (*it >= 0 && *it < rowCount())
            m_items.erase(m_items.begin() + *it);
    m_selected.clear();
}

void VectorResultList::replaceAll(std::vector<std::unique_ptr<Data_FileItem>> items)
{
    m_items = std::move(items);
    m_selected.clear();
    m_changed.clear();
}

int VectorResultList::append(std::unique_ptr<Data_FileItem> item)
{
    m_items.push_back(std::move(item));
    return rowCount() - 1;
}

void VectorResultList::setSelectedRows(std::vector<int> rows)
{
    std::erase_if(rows, [this](int r) { return r < 0 || r >= rowCount(); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    m_selected = std::move(rows);
}

void VectorResultList::selectAll()
{
    m_selected.clear();
    for (int r = 0; r < rowCount(); ++r)
        m_selected.push_back(r);
}
