#pragma once
// The callback of one extraction: decides where each member goes and writes it.
//
// Members are written flat into the destination folder under SafeMemberName::leafName. A
// file is written to a fresh hidden name beside its target and renamed over the target only
// when the handler reports the member as good (operation result 0): a damaged, encrypted or
// cancelled member never replaces an existing file and leaves nothing behind. Folder members
// create a folder; anti items write nothing (an anti folder removes its empty folder).
// Members the handler offers without being asked (solid blocks) are skipped.
//
// Every method catches everything: no exception reaches the handler.
#include <atomic>
#include <string>
#include <vector>

#include "archive/ComObject.h"
#include "archive/IExtractProgress.h"
#include "archive/OutFileStream.h"

namespace crateview {

class HandlerLibrary;

class ArchiveExtractCallback final : public ComObject<ArchiveExtractCallback, IArchiveExtractCallback> {
public:
    // `wanted` has one flag per member (all true for "extract all").
    ArchiveExtractCallback(IInArchive* archive, const HandlerLibrary& library, std::string destination,
                           std::string defaultName, std::vector<bool> wanted, IExtractProgress* progress,
                           const std::atomic<bool>* cancel);
    // Instead of a folder, writes member `index` into the open descriptor `fd` (not owned).
    static ArchiveExtractCallback* toDescriptor(IInArchive* archive, const HandlerLibrary& library,
                                                uint32_t index, int fd, uint32_t itemCount);

    HRESULT SetTotal(uint64_t total) noexcept override;
    HRESULT SetCompleted(const uint64_t* completed) noexcept override;
    HRESULT GetStream(uint32_t index, ISequentialOutStream** out, int32_t askMode) noexcept override;
    HRESULT PrepareOperation(int32_t askMode) noexcept override;
    HRESULT SetOperationResult(int32_t result) noexcept override;

    // After Extract returned: true when every wanted member was written (or created).
    bool allWantedDone() const;
    bool cancelled() const { return m_cancel && m_cancel->load(); }
    // Closes and removes a member left half-written (extraction aborted).
    void abandonCurrent();

private:
    enum class State : uint8_t { Pending, Done, Failed };
    struct Current {
        bool active = false;
        uint32_t index = 0;
        std::string name;
        std::string tempPath;    // empty when writing in place (split position, descriptor)
        std::string finalPath;
        ComPtr<OutFileStream> stream;
        bool hasMTime = false;
        uint64_t mtimeTicks = 0;
        bool hasMode = false;
        uint32_t mode = 0;
        bool readOnly = false;
    };

    HRESULT getStream(uint32_t index, ISequentialOutStream** out);
    void finishCurrent(int32_t result);
    void report(const std::string& text);
    void mark(uint32_t index, State state);

    IInArchive* m_archive;   // borrowed: the archive object outlives its extraction
    const HandlerLibrary& m_library;
    std::string m_destination;
    std::string m_defaultName;
    std::vector<bool> m_wanted;
    std::vector<State> m_state;
    IExtractProgress* m_progress;
    const std::atomic<bool>* m_cancel;
    int m_targetFd = -1;
    bool m_sinkFailed = false;
    Current m_current;
};

}  // namespace crateview
