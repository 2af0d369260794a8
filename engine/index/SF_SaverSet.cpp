#include "index/SF_SaverSet.h"

#include "index/IndexCacheCatalog.h"
#include "index/SF_AccessTimeSaver.h"
#include "index/SF_ArchiveSaver.h"
#include "index/SF_AttributeSaver.h"
#include "index/SF_CreateTimeSaver.h"
#include "index/SF_ExtSaver.h"
#include "index/SF_FolderSaver.h"
#include "index/SF_SizeSaver.h"
#include "index/SF_TitleSaver.h"
#include "index/SF_WriteTimeSaver.h"
#include "tools/Tool_Resource.h"

SF_SaverSet::SF_SaverSet() {
    m_columns.push_back(std::make_unique<SF_ArchiveSaver>());
    m_columns.push_back(std::make_unique<SF_TitleSaver>());
    m_columns.push_back(std::make_unique<SF_ExtSaver>());
    m_columns.push_back(std::make_unique<SF_SizeSaver>());
    m_columns.push_back(std::make_unique<SF_FolderSaver>());
    m_columns.push_back(std::make_unique<SF_CreateTimeSaver>());
    m_columns.push_back(std::make_unique<SF_WriteTimeSaver>());
    m_columns.push_back(std::make_unique<SF_AccessTimeSaver>());
    m_columns.push_back(std::make_unique<SF_AttributeSaver>());
}

SF_SaverSet::~SF_SaverSet() {
    if (m_bOpen)
        closeWrite();
}

bool SF_SaverSet::openWrite(const std::string& root) {
    // A long root's files carry a hash in their names; its side file must name this root.
    if (!IndexCacheCatalog::recordRoot(root))
        return false;
    for (auto& column : m_columns) {
        if (!column->openWrite(root)) {
            closeWrite();
            return false;
        }
    }
    m_bOpen = true;
    return true;
}

bool SF_SaverSet::writeFound(const SF_FileFind& found) {
    bool ok = true;
    for (auto& column : m_columns)
        ok = column->writeFound(found) && ok;
    return ok;
}

bool SF_SaverSet::writeItem(const Data_FileItem& item) {
    bool ok = true;
    for (auto& column : m_columns)
        ok = column->writeItem(item) && ok;
    return ok;
}

bool SF_SaverSet::closeWrite() {
    bool ok = true;
    for (auto& column : m_columns)
        ok = column->closeWrite() && ok;
    m_bOpen = false;
    return ok;
}

void SF_SaverSet::discardTemporary(const std::string& root) {
    for (auto& column : m_columns)
        column->discardTemporary(root);
    m_bOpen = false;
}

bool SF_SaverSet::commit(const std::string& root) {
    bool ok = true;
    for (auto& column : m_columns)
        ok = column->rename(root, Tool_Resource::INDEX_STAGE_PENDING) && ok;
    return ok;
}

bool SF_SaverSet::makeLive(const std::string& root) {
    SF_SaverSet set;
    bool ok = true;
    for (auto& column : set.m_columns)
        ok = column->rename(root, Tool_Resource::INDEX_STAGE_LIVE) && ok;
    return ok;
}

bool SF_SaverSet::deleteLive(const std::string& root) {
    SF_SaverSet set;
    bool ok = true;
    for (auto& column : set.m_columns)
        ok = column->deleteLive(root) && ok;
    IndexCacheCatalog::forgetRootIfUnused(root);
    return ok;
}
