// CIndexManager: the indexing run of the main window.
#include "indexing/CIndexManager.h"

#include <QTimer>
#include <cstdlib>

#include "indexing/ExcludePresetFolders.h"
#include "indexing/IndexRunText.h"
#include "indexing/IndexThreadPriority.h"
#include "indexing/IndexerArguments.h"
#include "platform/XdgFolders.h"
#include "shell/AppSettings.h"
#include "shell/LanguageText.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kIdleText = 70;
constexpr int kProgressPane = 3;
constexpr int kStatePane = 2;
constexpr int kProgressMilliseconds = 1000;
constexpr int kScheduleMilliseconds = 100;
constexpr int kWindowSeconds = 30;
}  // namespace

CIndexManager::CIndexManager(AppSettings& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(kProgressMilliseconds);
    connect(m_progressTimer, &QTimer::timeout, this, &CIndexManager::showProgress);
    m_scheduleTimer = new QTimer(this);
    m_scheduleTimer->setInterval(kScheduleMilliseconds);
    connect(m_scheduleTimer, &QTimer::timeout, this, [this] { scheduleCheck(false); });
}

CIndexManager::~CIndexManager()
{
    m_scheduleTimer->stop();
    if (m_thread.joinable()) {
        SF_Man::s_hCancelEvent.set();
        joinThread();
        m_man.reset();
    }
}

void CIndexManager::startUp()
{
    emit paneText(kStatePane, LanguageText::plain(kIdleText));
    if (m_settings.general().AutoIndex != 0)
        scheduleCheck(true);
    m_scheduleTimer->start();
}

void CIndexManager::joinThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool CIndexManager::isRunning()
{
    if (!m_thread.joinable())
        return false;
    if (!m_threadEnded)
        return true;
    joinThread();
    if (m_runOpen)
        endRun(!m_finished);
    m_man.reset();
    return false;
}

void CIndexManager::scheduleCheck(bool force)
{
    if (isRunning())
        return;
    if (force) {
        indexAll();
        return;
    }
    if (m_settings.indexedPaths().paths.isEmpty())
        return;   // a scheduled check does not nag about an empty list
    const IndexTimeOptions& t = m_settings.indexTime();
    switch (t.IndexTimeOption) {
    case 1: {
        const QTime now = m_clock().time();
        if (now.hour() == t.EveryDayTimeHour && now.minute() == t.EveryDayTimeMinutes &&
            std::abs(now.second() - t.EveryDayTimeSecond) < kWindowSeconds)
            indexAll();
        break;
    }
    case 2: indexAll(); break;
    default: break;
    }
}

void CIndexManager::indexAll()
{
    const QStringList& paths = m_settings.indexedPaths().paths;
    if (paths.isEmpty()) {
        emit noIndexedPaths();
        return;
    }
    startRun(paths);
}

void CIndexManager::indexPaths(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    if (isRunning())
        stop();
    startRun(paths);
}

int CIndexManager::effectiveSpeed() const
{
    return m_settings.frame().FirstRun != 0 ? 10 : m_settings.indexTime().iIndexPriority;
}

void CIndexManager::startRun(const QStringList& roots)
{
    if (isRunning())
        return;
    m_man.init();
    std::vector<std::string> r;
    r.reserve(size_t(roots.size()));
    for (const QString& root : roots)
        r.push_back(root.toStdString());
    m_man.addPath(r);
    std::string cache = Tool_Resource::normalizePath(m_settings.indexTime().IndexCacheLocation.toStdString());
    XdgFolders::ensureFolder(cache);
    if (cache.empty() || cache.back() != '/')
        cache += '/';
    Tool_Resource::setIndexCachePath(cache);
    const IndexerArguments args = IndexerArguments::build(
        m_settings.excludeList(), ExcludePresetFolders::fromEnvironment(m_settings.indexTime().IndexCacheLocation));
    m_man.setExcludeListInfo(args.folders, args.types, args.archives);
    SF_Man::s_hCancelEvent.reset();
    m_man.setIndexThreadPriority(effectiveSpeed());
    m_threadEnded = false;
    m_finished = false;
    m_runOpen = true;
    ++m_runsStarted;
    m_progressTimer->start();
    m_thread = std::thread([this] {
        IndexThreadPriority::makeCallingThreadIdle();
        m_man.startIndex(this);
        m_threadEnded = true;
    });
    emit runningChanged(true);
}

void CIndexManager::stop()
{
    if (!m_thread.joinable())
        return;
    SF_Man::s_hCancelEvent.set();
    joinThread();
    if (m_runOpen)
        endRun(!m_finished);
    m_man.reset();
}

void CIndexManager::stopCommand()
{
    stop();
    if (m_settings.indexTime().IndexTimeOption == 2)
        m_settings.indexTime().IndexTimeOption = 1;
}

void CIndexManager::setPriority(int speed)
{
    if (m_thread.joinable() && !m_threadEnded)
        m_man.setIndexThreadPriority(speed);
}

void CIndexManager::showIndexMessage(std::unique_ptr<std::string> message)
{
    const QString text = message ? QString::fromStdString(*message) : QString();
    QMetaObject::invokeMethod(this, [this, text] { emit paneText(kStatePane, text); }, Qt::QueuedConnection);
}

void CIndexManager::indexFinished()
{
    m_finished = true;
    QMetaObject::invokeMethod(this, &CIndexManager::onFinishedPosted, Qt::QueuedConnection);
}

void CIndexManager::onFinishedPosted()
{
    if (!m_runOpen || !m_thread.joinable())
        return;   // already handled (stop, or an isRunning that saw the thread end)
    joinThread();   // the thread is returning from startIndex
    m_threadEnded = true;
    endRun(false);
    m_man.reset();
}

void CIndexManager::showProgress()
{
    if (!m_runOpen)
        return;
    uint64_t bytes = 0;
    uint32_t entries = 0;
    std::string text;
    m_man.getSumValues(bytes, entries, text);
    emit paneText(kProgressPane, IndexRunText::progress(bytes, entries));
    emit paneText(kStatePane, QString::fromStdString(text));
}

void CIndexManager::endRun(bool stopped)
{
    m_runOpen = false;
    m_progressTimer->stop();
    uint64_t bytes = 0;
    uint32_t entries = 0;
    std::string text;
    m_man.getSumValues(bytes, entries, text);
    const QString summary = IndexRunText::summary(bytes, entries);
    const QString time = IndexRunText::timeText(m_clock());
    const QString label = IndexRunText::label(stopped);
    emit paneText(kStatePane, label + time);
    emit paneText(kProgressPane, summary);
    const QString line = IndexRunText::logLine(label, time, summary);
    m_log.append(line);   // a log that cannot be written loses the line, nothing else
    if (!stopped)
        m_settings.frame().strLastIndexTime = time;
    emit runEnded(stopped, line.chopped(1));
    emit runningChanged(false);
}
