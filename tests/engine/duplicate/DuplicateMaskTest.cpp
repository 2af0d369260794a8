// The select-by-mask test of the duplicate selection: masks completed as the panel completes
// them, names divided for the mask's extension part like the name patterns of a search.
#include <gtest/gtest.h>

#include "duplicate/Duplicate_Man.h"
#include "records/Data_FileItem.h"

namespace {

struct MaskCase {
    const char* mask;
    const char* name;
    bool selected;
};

class MultiDotMaskSelectionRegression : public ::testing::TestWithParam<MaskCase> {};

TEST_P(MultiDotMaskSelectionRegression, NameFitsMask) {
    Data_FileItem item;
    item.setFileName(GetParam().name);
    item.m_strPath = "/some/folder/";
    EXPECT_EQ(Duplicate_Man::matchesFileMask(GetParam().mask, item), GetParam().selected)
        << "mask '" << GetParam().mask << "', name '" << GetParam().name << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Masks, MultiDotMaskSelectionRegression,
    ::testing::Values(
        // Dotted extension parts: the name's extension spans as many parts.
        MaskCase{"*.tar.gz", "archive.tar.gz", true}, MaskCase{"*.tar.gz", "archive.TAR.GZ", true},
        MaskCase{"*.tar.gz", "archive.gz", false}, MaskCase{"*.tar.gz", "tar.gz", false},
        MaskCase{"archive.tar.gz", "archive.tar.gz", true}, MaskCase{"my.report.pdf", "my.report.pdf", true},
        MaskCase{"my.report.pdf", "report.pdf", false}, MaskCase{"*.tar.*", "data.tar.xz", true},
        MaskCase{"*.tar.*", "x.tar", false},
        // One dot or none: the split at the last dot.
        MaskCase{"*.pdf", "my.report.pdf", true}, MaskCase{".txt", "notes.txt", true},
        MaskCase{".txt", "notes.doc", false}, MaskCase{"report", "my.report.pdf", true},
        MaskCase{"report", "report", true}, MaskCase{"rep*", "report.doc", true},
        MaskCase{"notes.", "notes.txt", true}, MaskCase{"", "anything.at.all", true},
        MaskCase{"*", "plain", true}),
    [](const ::testing::TestParamInfo<MaskCase>& info) { return "Case" + std::to_string(info.index); });

}  // namespace
