#pragma once
// Runs one search from start to end and holds the name-pattern preparation it starts with.
// The search driver members are added with the driver; the statics below serve the front
// ends too.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Event.h"
#include "platform/FILETIME.h"
#include "search/FileNameGroup.h"
#include "search/Rule_Date.h"

struct Search_Rule;
class Data_FileItem;

class Search_Man {
public:
    Search_Man();
    virtual ~Search_Man();

    // Signalled: stop the running search as soon as possible. Front ends reset it before
    // each search.
    static Event s_hStopSearchEvent;
    // Local time of the search start, FILETIME ticks.
    static uint64_t s_curTime;

    // ---- name-pattern preparation -----------------------------------------------------
    // Appends one prepared group per entry of rule.names, in order.
    static void divideGroupString(std::vector<std::unique_ptr<FileNameGroup>>& groups, const Search_Rule& rule);
    // Trims a term, strips its quotes; returns whether it was quoted.
    static bool roundData(std::string& text);
    static void roundKey(std::string& op);
    static void getTitlePart(const std::string& pattern, bool title, std::string& out);
    static void dividePattenString(std::vector<std::pair<std::string, std::string>>& out,
                                   const std::vector<std::string>& patterns);
    static void fillMiddleDefaultOperator(std::string& text);
    static void removeSpaceAfterOperator(std::string& text);

    // ---- size and date tests (shared with the index search) ---------------------------
    static bool _compareSize(int64_t size, const Search_Rule& rule);
    static bool _compareDate(const Data_FileItem& item, const Search_Rule& rule);
    static bool _compareDate(const FILETIME& lastWrite, const FILETIME& creation, const FILETIME& lastAccess,
                             const Rule_Date& date);
    static bool _specifyDateCompare(const FILETIME& time, const Date_SpecifyDate& date);
    static int64_t getBytes(float value, uint16_t unit);
    static uint64_t convertFILETIMEToULONGLONG(const FILETIME& ft);
    static FILETIME convertULONGLONGToFILETIME(uint64_t value);
};
