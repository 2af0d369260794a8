#pragma once
// An open archive, handed out (and owned) by CExtractMgr.
//
// Extraction writes each member directly into the destination folder under the last
// component of its path (a name that cannot be a file name there, such as "..", gets the
// archive's default name), creating the folder and its parents first. Existing files are
// replaced; a file appears only complete (it is written aside and renamed into place) with
// the member's last write time and permissions. Extraction runs on the calling thread,
// reports to `progress` (may be null) and stops with false soon after `*cancel` becomes true.
// It returns true only when the handler succeeded and every asked member was written.
#include <atomic>
#include <string>

#include "archive/IExtractProgress.h"
#include "archive/IMyArchiveItem.h"

class IMyArchive {
public:
    virtual int getItemCount() = 0;
    // Extracts the listed members (any order, duplicates allowed); false when an index is
    // not below the member count.
    virtual bool extractItems(const unsigned* indices, int count, const std::string& folder,
                              IExtractProgress* progress = nullptr, const std::atomic<bool>* cancel = nullptr) = 0;
    virtual bool extractItem(unsigned index, const std::string& folder, IExtractProgress* progress = nullptr,
                             const std::atomic<bool>* cancel = nullptr) = 0;
    virtual bool extractAll(const std::string& folder, IExtractProgress* progress = nullptr,
                            const std::atomic<bool>* cancel = nullptr) = 0;
    // The member view positioned on `index`; null when index is not below the member count.
    virtual IMyArchiveItem* getItem(unsigned index) = 0;
    virtual ~IMyArchive() = default;
};
