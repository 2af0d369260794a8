// PP_IndexTime: speed, schedule and cache folder.
#include "indexing/PP_IndexTime.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "indexing/CIndexManager.h"
#include "indexing/IndexPathRules.h"
#include "indexing/IndexQuestion.h"
#include "options/OptionMessage.h"
#include "shell/AppSettings.h"
#include "shell/LanguageText.h"
#include "shell/SearchController.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kPageTitle = 33;
constexpr unsigned kChooseFolder = 21;
constexpr unsigned kStopQuestion = 65;
constexpr unsigned kIndexResultsQuestion = 176;
constexpr unsigned kSameFolder = 177;
constexpr unsigned kNoFolder = 178;
constexpr unsigned kSpeedLabel = 618;
constexpr unsigned kFirstOptionText = 619;   // 619..621 for options 0..2
constexpr unsigned kCacheLabel = 622;
constexpr unsigned kBrowseText = 623;
constexpr unsigned kMoveFailedText = 624;
constexpr unsigned kLeftBehindText = 625;

QString withSlash(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}
}  // namespace

PP_IndexTime::PP_IndexTime(AppSettings& settings, CIndexManager* manager, QWidget* parent)
    : OptionPage(parent)
    , m_settings(settings)
    , m_manager(manager)
{
    setObjectName(QStringLiteral("indexTimePage"));
    auto* layout = new QVBoxLayout(this);
    auto* speedRow = new QHBoxLayout;
    speedRow->addWidget(new QLabel(LanguageText::get(kSpeedLabel), this));
    m_speed = new QSlider(Qt::Horizontal, this);
    m_speed->setObjectName(QStringLiteral("indexSpeed"));
    m_speed->setRange(0, 10);
    m_speed->setPageStep(1);
    m_speed->setTickPosition(QSlider::TicksBelow);
    m_speedLabel = new QLabel(this);
    m_speedLabel->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("100")));
    speedRow->addWidget(m_speed, 1);
    speedRow->addWidget(m_speedLabel);
    layout->addLayout(speedRow);
    connect(m_speed, &QSlider::valueChanged, this,
            [this](int v) { m_speedLabel->setText(QString::asprintf("%d", v)); });

    auto* group = new QButtonGroup(this);
    m_time = new QTimeEdit(this);
    m_time->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    for (int i = 0; i < 3; ++i) {
        m_options[i] = new QRadioButton(LanguageText::get(kFirstOptionText + unsigned(i)), this);
        group->addButton(m_options[i], i);
        auto* row = new QHBoxLayout;
        row->addWidget(m_options[i]);
        if (i == 1)
            row->addWidget(m_time);   // the daily time follows its option
        row->addStretch(1);
        layout->addLayout(row);
    }
    connect(group, &QButtonGroup::idToggled, this, [this](int, bool) { updateTimePicker(); });

    layout->addWidget(new QLabel(LanguageText::get(kCacheLabel), this));
    auto* cacheRow = new QHBoxLayout;
    m_cache = new QLineEdit(this);
    m_cache->setObjectName(QStringLiteral("cacheFolderField"));
    m_cache->setReadOnly(true);
    auto* browseButton = new QPushButton(LanguageText::get(kBrowseText), this);
    cacheRow->addWidget(m_cache, 1);
    cacheRow->addWidget(browseButton);
    layout->addLayout(cacheRow);
    layout->addStretch(1);
    connect(browseButton, &QPushButton::clicked, this, &PP_IndexTime::browse);
}

QString PP_IndexTime::pageTitle() const
{
    return LanguageText::plain(kPageTitle);
}

void PP_IndexTime::loadFromSettings()
{
    const IndexTimeOptions& t = m_settings.indexTime();
    m_speed->setValue(qBound(0, t.iIndexPriority, 10));
    m_speedLabel->setText(QString::asprintf("%d", m_speed->value()));
    const int option = t.IndexTimeOption >= 0 && t.IndexTimeOption <= 2 ? t.IndexTimeOption : 0;
    m_options[option]->setChecked(true);
    m_time->setTime(QTime(qBound(0, t.EveryDayTimeHour, 23), qBound(0, t.EveryDayTimeMinutes, 59),
                          qBound(0, t.EveryDayTimeSecond, 59)));
    m_cache->setText(t.IndexCacheLocation);
    updateTimePicker();
}

bool PP_IndexTime::applyToSettings()
{
    IndexTimeOptions& t = m_settings.indexTime();
    const IndexTimeOptions before = t;
    for (int i = 0; i < 3; ++i)
        if (m_options[i]->isChecked())
            t.IndexTimeOption = i;
    t.EveryDayTimeHour = m_time->time().hour();
    t.EveryDayTimeMinutes = m_time->time().minute();
    t.EveryDayTimeSecond = m_time->time().second();
    t.iIndexPriority = m_speed->value();
    if (m_manager) {
        m_manager->setPriority(m_manager->effectiveSpeed());
        m_manager->scheduleCheck(false);
    }
    return !(t == before);
}

void PP_IndexTime::updateTimePicker()
{
    m_time->setEnabled(m_options[1]->isChecked());
}

void PP_IndexTime::browse()
{
    if (m_manager && m_manager->isRunning()) {
        if (!IndexQuestion::ask(this, kStopQuestion))
            return;
        m_manager->stop();
    }
    const QString folder = QFileDialog::getExistingDirectory(this, LanguageText::plain(kChooseFolder), m_cache->text());
    if (!folder.isEmpty())
        changeCacheFolder(folder);
}

bool PP_IndexTime::changeCacheFolder(const QString& folder)
{
    if (m_manager && m_manager->isRunning()) {
        if (!IndexQuestion::ask(this, kStopQuestion))
            return false;
        m_manager->stop();
    }
    SearchController* search = m_manager ? m_manager->searchController() : nullptr;
    if (search && search->listHoldsIndexResults() && !IndexQuestion::ask(this, kIndexResultsQuestion))
        return false;
    if (search)
        search->clearList();
    const QString oldFolder = IndexPathRules::storedForm(m_settings.indexTime().IndexCacheLocation);
    const QString newFolder = IndexPathRules::storedForm(folder);
    if (withSlash(newFolder) == withSlash(oldFolder)) {
        OptionMessage::show(this, LanguageText::plain(kSameFolder));
        return false;
    }
    if (!QFileInfo(newFolder).isDir()) {
        OptionMessage::show(this, OptionMessage::format(kNoFolder, withSlash(newFolder)));
        return false;
    }
    if (search)
        search->releaseSearchers();
    const CacheFolderMover::Result r = QFileInfo(oldFolder).isDir()
                                           ? m_mover.move(oldFolder, newFolder)
                                           : CacheFolderMover::Result{true, true, {}, {}, 0};
    if (!r.newFolderInUse) {
        OptionMessage::show(this, OptionMessage::format(kMoveFailedText, r.failedFile + QStringLiteral(": ") + r.error,
                                                        oldFolder));
        return false;
    }
    m_settings.indexTime().IndexCacheLocation = newFolder;
    Tool_Resource::setIndexCachePath(withSlash(newFolder).toStdString());
    m_cache->setText(newFolder);
    if (!r.complete)
        OptionMessage::show(this, OptionMessage::format(kLeftBehindText, newFolder, r.failedFile));
    return true;
}
