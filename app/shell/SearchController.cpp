// SearchController: the start, end and stop of the window's search thread.
#include "shell/SearchController.h"

#include <QCursor>
#include <QGuiApplication>

#include "index/SF_Man.h"
#include "shell/AppSettings.h"
#include "shell/LanguageText.h"
#include "shell/ResultListModel.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kPreparingText = 167;
constexpr unsigned kSearchingText = 168;
constexpr unsigned kReadyText = 69;

std::vector<std::string> toStdList(const QStringList& list)
{
    std::vector<std::string> out;
    out.reserve(size_t(list.size()));
    for (const QString& s : list)
        out.push_back(s.toStdString());
    return out;
}
}  // namespace

SearchController::SearchController(AppSettings& settings, ResultListModel& model, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_model(model)
{
}

SearchController::~SearchController()
{
    stop(false);
    if (m_searchersOpen)
        m_man.uninitSearcher();
}

bool SearchController::start()
{
    checkFinished();
    if (isRunning() || !m_filler)
        return false;
    // 1. A fresh rule.
    m_rule.containText.clear();
    m_rule.names.clear();
    m_rule.folders.clear();
    m_rule.previousResults.clear();
    m_rule.bMatchPath = false;
    m_rule.duplicate.bEnable = 0;
    // 2. The panels fill it; a refusal leaves everything as it was.
    if (!m_filler(m_rule))
        return false;
    // 3. Application settings.
    m_rule.bDisableBooleanOpt = m_settings.searchDisplay().bDisableBooleanOpt != 0;
    m_rule.bAutoNormalSearch = m_settings.searchDisplay().bAutoNormalSearch != 0;
    m_man.setPdfTextCache(m_settings.searchDisplay().bCachePdfText != 0);
    // 4.
    emit statusText(0, LanguageText::plain(kPreparingText));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    // 5. Empty the list, or move its items into the rule for a search in results.
    if (m_rule.iSearchIn == 3) {
        m_rule.previousResults = m_model.takeAll();
        m_rule.folders.clear();
    } else {
        m_model.clear();
    }
    emit statusText(1, LanguageText::plain(kReadyText));
    // 6.
    emit contentSearchStarted(!m_rule.containText.empty());
    // 7. Index data (the list holds no pending index rows now, so searchers may be reopened).
    prepareIndexData();
    // 8. The thread.
    Search_Man::s_hStopSearchEvent.reset();
    m_threadDone = false;
    m_model.beginSearch(m_rule.duplicate.bEnable != 0);
    m_thread = std::thread([this] {
        m_man.search(m_rule, &m_model);
        m_threadDone = true;
        QMetaObject::invokeMethod(this, [this] { checkFinished(); }, Qt::QueuedConnection);
    });
    emit statusText(0, LanguageText::plain(kSearchingText));
    QGuiApplication::restoreOverrideCursor();
    emit runningChanged(true);
    return true;
}

void SearchController::prepareIndexData()
{
    const std::vector<std::string> roots = toStdList(m_settings.indexedPaths().paths);
    m_man.addIndexedFilePathName(roots);
    useCacheFolder();
    if (!m_rule.bQuickSearch)
        return;
    // Caches committed since the searchers were opened (or, on the first quick search, left
    // pending by an earlier session) become live before anything is read.
    if (SF_Man::hasNewIndexCache() || !m_pendingChecked) {
        releaseSearchers();
        m_man.refreshNewIndexCacheFile(roots);
        m_pendingChecked = true;
    }
    if (!m_searchersOpen)
        m_searchersOpen = m_man.initSearcher(roots);
}

void SearchController::useCacheFolder()
{
    std::string cache = m_settings.indexTime().IndexCacheLocation.toStdString();
    if (!cache.empty() && cache.back() != '/')
        cache += '/';
    Tool_Resource::setIndexCachePath(cache);
}

void SearchController::releaseSearchers()
{
    if (!m_searchersOpen)
        return;
    m_model.materializeAll();   // rows read from a cache must not outlive its searcher
    m_man.uninitSearcher();
    m_searchersOpen = false;
}

void SearchController::deleteLiveCaches(const std::vector<std::string>& roots)
{
    stop(true);
    releaseSearchers();
    useCacheFolder();
    m_man.deleteIndexCacheFiles(roots);
}

void SearchController::clearList()
{
    stop(false);
    m_model.replaceAll({});
}

bool SearchController::listHoldsIndexResults() const
{
    return m_rule.bQuickSearch != 0 && m_model.rowCount() > 0;
}

bool SearchController::checkFinished()
{
    if (!isRunning() || !m_threadDone)
        return false;
    m_thread.join();
    m_man.reset();
    m_model.endSearch(false);
    emit runningChanged(false);
    return true;
}

void SearchController::stop(bool refresh)
{
    if (checkFinished() || !isRunning())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    Search_Man::s_hStopSearchEvent.set();
    m_thread.join();
    m_man.reset();
    m_model.endSearch(true);
    if (!refresh)
        emit statusText(0, QString());
    QGuiApplication::restoreOverrideCursor();
    emit runningChanged(false);
}
