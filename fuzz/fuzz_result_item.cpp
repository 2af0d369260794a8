// Loads a result item from arbitrary bytes; whatever loads must store and load back equal.
// (The input itself may use a longer length prefix than needed, so only the stored form is
// compared, not the input bytes.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/CArchive.h"
#include "records/Data_FileItem.h"

namespace {
std::vector<uint8_t> store(Data_FileItem& item) {
    std::vector<uint8_t> bytes;
    CArchive out(bytes);
    item.serializeAsResult(out);
    return bytes;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Data_FileItem item;
    CArchive in(data, size);
    if (!item.serializeAsResult(in))
        return 0;
    const std::vector<uint8_t> first = store(item);
    if (first.size() > size - in.remaining())
        std::abort();   // the canonical form is never longer than what was read

    Data_FileItem again;
    CArchive in2(first.data(), first.size());
    if (!again.serializeAsResult(in2) || in2.remaining() != 0)
        std::abort();
    if (store(again) != first)
        std::abort();
    return 0;
}
