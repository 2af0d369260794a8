// Search_Man: the run of one search (start, dispatch, end) and its status lines.
#include "search/Search_Man.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "archive/CExtractMgr.h"
#include "content/Search_CT.h"
#include "index/Search_CachePathSearcher.h"
#include "records/ISearchResultReciever.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Resource.h"

Event Search_Man::s_hStopSearchEvent;

Search_Man::Search_Man() : m_ct(std::make_unique<Search_CT>()), m_extractMgr(std::make_unique<CExtractMgr>()) {
    m_ct->setStopEvent(&s_hStopSearchEvent);
    m_run.stop = &s_hStopSearchEvent;
}

Search_Man::~Search_Man() = default;

void Search_Man::setStopEvent(const Event* stop) {
    m_stop = stop;
    m_run.stop = stopEvent();
    m_ct->setStopEvent(m_run.stop);
}

void Search_Man::reset() { m_indexFiles.clear(); }

unsigned Search_Man::automaticScannerThreads() {
    return std::clamp(std::thread::hardware_concurrency(), 2u, 8u);
}

unsigned Search_Man::scannerThreads() const {
    return m_scannerThreads == 0 ? automaticScannerThreads() : m_scannerThreads;
}

void Search_Man::search(const Search_Rule& rule, ISearchResultReciever* receiver) {
    const auto started = std::chrono::steady_clock::now();
    initData();
    // Relative-path tests of a search in results have no walk root: they see whole folders.
    setCurrentRootFolder(std::string());

    Groups groups;
    divideGroupString(groups, rule);
    if (!rule.containText.empty() && m_pdfCacheEnabled) {
        m_pdfCache = std::make_unique<PdfTextCache>(m_pdfCacheOptions);
        m_ct->setPdfTextCache(m_pdfCache.get());
    }

    if (rule.folders.empty())
        doSearchInResult(groups, rule, receiver);
    else if (rule.bQuickSearch)
        searchQuick(groups, rule, receiver);
    else
        searchNormalWay(groups, rule, rule.folders, receiver);

    groups.clear();
    m_ct->setPdfTextCache(nullptr);
    m_pdfCache.reset();
    m_extractMgr->reset();
    setCurrentRootFolder(std::string());

    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
    if (receiver)
        receiver->searchFinished(static_cast<uint32_t>(elapsed), rule);
}

void Search_Man::searchNormalWay(const Groups& groups, const Search_Rule& rule,
                                 const std::vector<std::string>& folders, ISearchResultReciever* receiver) {
    if (rule.bQuickSearch && !rule.bAutoNormalSearch)
        return;
    static const std::vector<std::string> noExclusions;
    for (const std::string& folder : folders) {
        if (m_run.stopped())
            return;
        searchInFolder(groups, rule, folder, receiver, noExclusions);
    }
}

void Search_Man::showSearchMessage(const std::string& text, ISearchResultReciever* receiver) {
    if (!receiver || !receiver->wantsMessages())
        return;
    static const std::string prefix = Tool_Resource::loadString(2);
    auto message = std::make_unique<std::string>();
    message->reserve(prefix.size() + text.size());
    *message += prefix;
    *message += text;
    receiver->showMessage(std::move(message));
}
