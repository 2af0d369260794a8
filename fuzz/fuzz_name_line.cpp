// Any typed name line, with operators on or off, must prepare into groups and evaluate
// against a name without crashing or undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "search/NameLinePreparer.h"
#include "search/Search_Man.h"
#include "records/FileNameGroupMatch.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Resource.h"
#include "tools/Tool_WCComp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const bool disable = data[0] & 1;
    const std::string all(reinterpret_cast<const char*>(data + 1), size - 1);
    // Bytes after the first NUL are the name to test.
    const size_t nul = all.find('\0');
    const std::string line = all.substr(0, nul);
    const std::string name = nul == std::string::npos ? std::string("Report 2024.pdf") : all.substr(nul + 1);

    Search_Rule rule;
    rule.bDisableBooleanOpt = disable;
    NameLinePreparer::prepare(line, disable, rule);
    std::vector<std::unique_ptr<FileNameGroup>> groups;
    Search_Man::divideGroupString(groups, rule);
    for (const auto& g : groups) {
        if (g->terms.empty())
            std::abort();   // every prepared group has at least one term
        (void)Tool_WCComp::comparePattenString(g->strExtPattern, name, false);
        (void)FileNameGroupMatch::compareFileGroup(g.get(), name.data(), name.size(), false);
        (void)FileNameGroupMatch::compareFileGroup(g.get(), name.data(), name.size(), true);
    }
    return 0;
}
