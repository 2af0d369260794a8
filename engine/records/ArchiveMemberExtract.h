#pragma once
// Archive members as temporary files: a member an item names (m_nArchiveIndex >= 0) is
// extracted into <temp>/~QD~<archive name>/, a folder private to this user (an existing
// entry of that name is used only when it is this user's own real folder).
// Synchronous, on the caller's thread; failures come back as an empty result.
#include <memory>
#include <string>

class Data_FileItem;

class ArchiveMemberExtract {
public:
    // Extracts the member; returns that folder with a trailing '/', or empty on failure.
    static std::string extractFileToTemporaryFolder(Data_FileItem& member);
    // Extracts the member and describes the extracted file as a new item (caller owns);
    // null on failure or for a folder member.
    static std::unique_ptr<Data_FileItem> convertArchiveFileToTempFile(Data_FileItem& member);
};
