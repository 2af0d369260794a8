// Tool_Resource: completion of single file masks.
#include "tools/Tool_Resource.h"
#include "tools/Tool_Text.h"

void Tool_Resource::fullfillSearchPattern(std::string& pattern) {
    Tool_Text::trim(pattern);
    if (pattern.empty()) {
        pattern.assign(1, '*');
    } else if (pattern.find('.') == std::string::npos) {
        pattern = Tool_Text::concat("*", pattern, "*.*");
    } else if (pattern.front() == '.') {
        pattern = Tool_Text::concat("*", pattern, "*");
    } else if (pattern.back() == '.') {
        pattern += '*';
    } else if (pattern.find('*') != std::string::npos) {
        if (pattern.back() != '*')
            pattern += '*';
    } else {
        pattern = Tool_Text::concat("*", pattern, "*");
    }
}
