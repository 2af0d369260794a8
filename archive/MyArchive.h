#pragma once
// An archive opened through a format handler: the handler's archive object plus the member
// view. A compressed tar (x.tar.gz, .tgz, x.tar.xz ...) is listed and extracted as the tar
// inside it: the single inner member is unpacked once to an unnamed temporary file.
#include <memory>
#include <string>

#include "archive/ComObject.h"
#include "archive/FormatHandlerInfo.h"
#include "archive/IMyArchive.h"

namespace crateview {

class MyArchive final : public IMyArchive, public IMyArchiveItem {
public:
    // Opens `path` with the given format (pairIndex: which of its extensions matched);
    // null when the handler cannot create its object or open the file.
    static std::unique_ptr<MyArchive> open(const std::string& path, const FormatHandlerInfo& format,
                                           size_t pairIndex);
    ~MyArchive() override;

    int getItemCount() override;
    bool extractItems(const unsigned* indices, int count, const std::string& folder, IExtractProgress* progress,
                      const std::atomic<bool>* cancel) override;
    bool extractItem(unsigned index, const std::string& folder, IExtractProgress* progress,
                     const std::atomic<bool>* cancel) override;
    bool extractAll(const std::string& folder, IExtractProgress* progress, const std::atomic<bool>* cancel) override;
    IMyArchiveItem* getItem(unsigned index) override;

    uint32_t getAttributes() override;
    void getPath(std::string& path) override;
    uint64_t getSize() override;
    bool getCreationTime(ArchiveFileTime& time) override;
    bool getLastWriteTime(ArchiveFileTime& time) override;
    bool getLastAccessTime(ArchiveFileTime& time) override;
    bool isFolder() override;

private:
    MyArchive() = default;
    static ComPtr<IInArchive> openStream(const FormatHandlerInfo& format, IInStream* stream);
    bool openInnerTar();
    bool extract(std::vector<bool> wanted, const std::string& folder, IExtractProgress* progress,
                 const std::atomic<bool>* cancel);
    bool readTime(PROPID id, ArchiveFileTime& time);

    std::string m_strPath;
    std::shared_ptr<HandlerLibrary> m_library;   // released after the archive object
    ComPtr<IInArchive> m_archive;
    uint32_t m_count = 0;
    uint32_t m_current = 0;
};

}  // namespace crateview
