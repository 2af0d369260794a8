#pragma once
// Sorts found items into groups of duplicates and hands each group to a result receiver.
//
// Compare levels (Duplicate_Rule::iLevel): 0 file name (ASCII letters folded, other bytes
// exact), 1 size, 2 last-write time, 3 size and CRC-32, 4 size and MD5, 5 size and equal
// bytes. Any other level makes all files one group. Folders are never grouped. A file that
// cannot be read is never a content duplicate (levels 3 to 5) of anything; when it exists
// but opening or reading it failed, it goes to receiver->entryUnreadable with that errno.
//
// Groups come out as a pairwise first-against-later scan over the candidate list would
// produce them: numbered from 1 in the order of their first member, each group listing its
// later members in candidate order and its first member last. The work grows about
// linearly: candidates are bucketed by the level's key, checksums and byte comparisons
// only happen inside a bucket of equal sizes, each file is hashed at most once.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "records/Data_FileItem.h"
#include "records/Duplicate_Rule.h"

class Event;
class ISearchResultReciever;

class Duplicate_Man {
public:
    Duplicate_Man() = default;
    virtual ~Duplicate_Man() = default;

    // The event that stops a grouping in progress; not owned, it must outlive the search.
    // Null (the default): never stopped.
    void setStopEvent(const Event* stop) { m_stop = stop; }

    // Groups `candidates` at rule.iLevel. Sends one progress line per step to
    // receiver->showMessage (unless the receiver does not want messages) and each group to
    // receiver->addResultGroup (the receiver takes the items it keeps; the rest are freed
    // with the list). Honours the stop event: once it is set, every candidate not yet
    // grouped is deleted. Returns the number of items delivered in groups. On return `candidates` is
    // empty. A null receiver gets nothing (the groups are counted and freed).
    uint32_t search(ISearchResultReciever* receiver, const Duplicate_Rule& rule,
                    std::vector<std::unique_ptr<Data_FileItem>>& candidates);

    // The progress line: `header` followed by "(%.1f %%)" of (1 - remaining/total) x 100.
    static std::string formatProgress(const std::string& header, size_t remaining, size_t total);
    // Language string 114 with the candidate count put in. The text comes from a language
    // file, so it is not handed to printf: only its first %d (with optional flags and width)
    // takes the number and "%%" gives "%"; any other '%' is copied as it stands.
    static std::string formatHeader(const std::string& format, size_t total);

    // Whether an item's name fits the select-by-mask text of the duplicate selection. The
    // text is completed with Tool_Resource::fullfillSearchPattern and split at its first
    // dot into a title pattern and an extension pattern, as name patterns are; the item's
    // name is divided for that extension pattern (FileNameSplit), so "*.tar.gz" selects
    // "a.tar.gz". Both patterns are wildcard-tested without case.
    static bool matchesFileMask(const std::string& mask, const Data_FileItem& item);

protected:
    // 0 when a and b are duplicates at `level`, nonzero otherwise. Level 0 orders the folded
    // names, levels 1 and 2 order sizes and times (-1 smaller or earlier, 1 larger or later);
    // at levels 3 to 5 unequal sizes or an unreadable file give 1.
    int compare(int level, Data_FileItem* a, Data_FileItem* b);
    // 0 when both files can be read and hold the same bytes, 1 otherwise (also when either
    // file changes length while it is read).
    int compareBBB(Data_FileItem* a, Data_FileItem* b);

private:
    const Event* m_stop = nullptr;
};
