#pragma once
// Common part of the four data columns ("fn", "fe", "fp", "fa"): the column owns the
// offset column of its partner tag and carries it along in every file operation, so the
// pair always moves together. Its entry count is the offset column's.
//
// Writing keeps the running offset; an offset that would not fit 32 bits fails the
// writer (the run is then not committed) instead of wrapping.
#include <string>
#include <string_view>

#include "index/SF_OffsetSaver.h"
#include "index/SF_SingleSaver.h"

class SF_DataSaver : public SF_SingleSaver {
public:
    explicit SF_DataSaver(const char* offsetTag) : m_offsets(offsetTag) {}

    bool rename(const std::string& root, int stage) override;
    bool deleteLive(const std::string& root) override;
    void discardTemporary(const std::string& root) override;
    bool openRead(const std::string& root) override;
    void closeRead() override;
    uint32_t entryCount() const override { return m_offsets.entryCount(); }
    bool openWrite(const std::string& root) override;
    bool closeWrite() override;
    uint32_t recordWidth() const override { return 4; }
    void fileTags(std::vector<std::string>& out) const override;
    bool describeWritten(IndexGeneration& generation, const std::string& root) const override;
    bool isOfGeneration(const IndexGeneration& generation) const override;
    bool readRecord(uint32_t entry, uint32_t& out) const override { return m_offsets.readRecord(entry, out); }

    // The string record of entry i (a view into the mapping); false when the offset or
    // the string runs past the data file.
    bool readString(uint32_t entry, std::string_view& out) const;
    SF_OffsetSaver& offsets() { return m_offsets; }

protected:
    // Appends a string record, or with `share` points at the previous record when the
    // string is byte-equal to the previous one written.
    bool appendString(std::string_view s, bool share);
    // Records that `size` bytes were appended at the current offset, and points the
    // entry at them.
    bool appendRecordAt(uint64_t size);
    bool pointAt(uint64_t offset);

    SF_OffsetSaver m_offsets;
    uint64_t m_offset = 0;        // bytes written to the data file
    bool m_hasPrevious = false;   // a string record was written since openWrite
    uint64_t m_previousOffset = 0;
    std::string m_previous;
};
