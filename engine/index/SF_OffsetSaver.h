#pragma once
// An offset column ("idfn", "idfe", "idfp", "idfa"): per entry the u32 byte offset of its
// record in the partner data column. Owned and driven by that data column.
#include <string>

#include "index/SF_SingleSaver.h"

class SF_OffsetSaver : public SF_SingleSaver {
public:
    explicit SF_OffsetSaver(std::string tag) : m_tag(std::move(tag)) {}

    bool fillItem(uint32_t, Data_FileItem&) const override { return true; }
    const char* tag() const override { return m_tag.c_str(); }
    uint32_t recordWidth() const override { return 4; }
    bool writeOffset(uint32_t offset) { return m_writer.writeU32(offset); }

private:
    std::string m_tag;
};
