#include "search/Search_Man.h"

Event Search_Man::s_hStopSearchEvent;
uint64_t Search_Man::s_curTime = 0;

Search_Man::Search_Man() = default;
Search_Man::~Search_Man() = default;
