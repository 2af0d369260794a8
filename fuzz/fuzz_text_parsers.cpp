// The small text parsers: INI files, the mount table, content expressions and hex terms.
// Any input must parse without crashing or undefined behaviour, and an INI file's values
// must read back the same after its text is written out and parsed again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "records/ContainTextItem.h"
#include "content/ContentTermBuilder.h"
#include "platform/IniFile.h"
#include "platform/MountPoints.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    IniFile ini;
    ini.parse(text);
    IniFile again;
    again.parse(ini.text());
    for (const auto& section : ini.sectionNames())
        for (const auto& key : ini.keyNames(section))
            if (ini.getValue(section, key) != again.getValue(section, key))
                std::abort();

    (void)MountPoints::parseLocalDiskMounts(text);

    ContentTermBuilder::TermList terms;
    (void)ContentTermBuilder::addExpression(terms, std::string(text));
    std::string bytes;
    (void)ContentTermBuilder::decodeHex(std::string(text), bytes);
    return 0;
}
