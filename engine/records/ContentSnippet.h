#pragma once
// The excerpt a matching file keeps for one content term: the text before the first
// match, the match itself and the text after it (empty strings when the term was not found).
#include <string>

struct ContentSnippet {
    std::string before;
    std::string match;
    std::string after;
};
