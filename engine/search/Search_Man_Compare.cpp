// Search_Man: the size and date tests, shared by the disk walk and the index search.
#include "content/Search_CT.h"
#include "platform/FileTimeConvert.h"
#include "records/Data_FileItem.h"
#include "records/Rule_Compare.h"
#include "records/Search_Rule.h"
#include "search/Search_Man.h"

int64_t Search_Man::getBytes(float value, uint16_t unit) { return Rule_Compare::getBytes(value, unit); }

bool Search_Man::_compareSize(int64_t size, const Search_Rule& rule) { return Rule_Compare::compareSize(size, rule); }

uint64_t Search_Man::convertFILETIMEToULONGLONG(const FILETIME& ft) { return ft.toU64(); }

FILETIME Search_Man::convertULONGLONGToFILETIME(uint64_t value) { return FILETIME::fromU64(value); }

uint64_t Search_Man::convertTimeTToLocalULONGLONG(std::time_t utcSeconds) {
    return FileTimeConvert::fromTimeT(utcSeconds).toU64();
}

bool Search_Man::_specifyDateCompare(const FILETIME& time, const Date_SpecifyDate& date) {
    return Rule_Compare::specifyDateCompare(time, date);
}

bool Search_Man::_specifyDateCompare(const Data_FileItem& item, const Date_SpecifyDate& date) {
    switch (date.wTimeKind) {
    case 1: return _specifyDateCompare(item.m_ftCreation, date);
    case 2: return _specifyDateCompare(item.m_ftLastAccess, date);
    default: return _specifyDateCompare(item.m_ftLastWrite, date);
    }
}

bool Search_Man::_compareDate(const Data_FileItem& item, const Search_Rule& rule) const {
    return Rule_Compare::compareDate(item.m_ftLastWrite, item.m_ftCreation, item.m_ftLastAccess, rule.date,
                                     m_run.nowTicks);
}

bool Search_Man::compareAdvanceProperty(const Data_FileItem& item, const Search_Rule& rule) const {
    return _compareSize(item.m_nSize, rule) && _compareDate(item, rule);
}

bool Search_Man::needsMetadata(const Search_Rule& rule) {
    return rule.bLargerOn || rule.bSmallerOn || !rule.date.bAny;
}

void Search_Man::initData() {
    m_run.stop = stopEvent();
    m_ct->setStopEvent(m_run.stop);
    m_run.nowTicks = m_fixedNow != 0 ? m_fixedNow : FileTimeConvert::now().toU64();
}
