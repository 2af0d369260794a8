#pragma once
// The pending folders of one breadth-first walk: a ring of kSlots slots, so at most
// kSlots - 1 folders wait at a time. Each holds a folder path relative to the walk's root
// ("" stands for the root itself, "a/b" for a folder two levels below it).
// Storage grows with use instead of being reserved up front; strings are moved, not copied.
#include <cstddef>
#include <deque>
#include <string>

class Search_FolderQueue {
public:
    static constexpr size_t kSlots = 200'000;

    // Appends a folder; false (nothing stored) when kSlots - 1 folders are already waiting.
    bool push(std::string relativePath) {
        if (m_pending.size() >= kSlots - 1)
            return false;
        m_pending.push_back(std::move(relativePath));
        return true;
    }
    // Takes the oldest folder; false when none is waiting.
    bool pop(std::string& relativePath) {
        if (m_pending.empty())
            return false;
        relativePath = std::move(m_pending.front());
        m_pending.pop_front();
        return true;
    }
    bool empty() const { return m_pending.empty(); }
    size_t size() const { return m_pending.size(); }
    void clear() { m_pending.clear(); }

private:
    std::deque<std::string> m_pending;
};
