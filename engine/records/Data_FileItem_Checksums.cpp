// Data_FileItem: the cached checksums of the item's file.
#include "records/Data_FileItem.h"
#include "tools/Tool_Resource.h"

uint32_t Data_FileItem::calcCRC32() {
    if (m_dwCRC32 == 0)
        m_dwCRC32 = Tool_Resource::checkFileCRC32(getFullFileName());
    return m_dwCRC32;
}

const uint8_t* Data_FileItem::calcMD5() {
    if (m_md5[0] == 0)
        Tool_Resource::checkFileMD5(getFullFileName(), m_md5);
    return m_md5;
}
