// PP_General: the general options page.
#include "options/PP_General.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "options/HotKeyEdit.h"
#include "options/OptionMessage.h"
#include "shell/AppSettings.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kTitleText = 55;
constexpr unsigned kPageText = 31;
constexpr unsigned kFileManagerEntryText = 710;
constexpr unsigned kEntryFailedText = 711;
constexpr unsigned kDateGroupText = 52;
constexpr unsigned kSizeGroupText = 14;
constexpr unsigned kBytesText = 34;
constexpr unsigned kSortQuestionText = 166;
constexpr unsigned kAutoRunText = 780;
constexpr unsigned kAutoIndexText = 781;
constexpr unsigned kDateOnlyText = 782;
constexpr unsigned kDateMinutesText = 783;
constexpr unsigned kDateSecondsText = 784;
constexpr unsigned kSystemLocaleText = 785;
constexpr unsigned kKilobytesText = 786;
constexpr unsigned kGroupingText = 787;
constexpr unsigned kNumberOnlyText = 788;
constexpr unsigned kHotKeyText = 789;
constexpr unsigned kCloseExitsText = 790;
constexpr unsigned kSplashText = 791;
constexpr unsigned kSortAfterText = 792;
constexpr unsigned kHistoryText = 793;

QRadioButton* addRadio(QButtonGroup* group, int id, unsigned textId, const char* name, QLayout* layout)
{
    auto* radio = new QRadioButton(LanguageText::get(textId));
    radio->setObjectName(QLatin1String(name));
    radio->setAccessibleName(LanguageText::plain(textId));
    group->addButton(radio, id);
    layout->addWidget(radio);
    return radio;
}

void checkId(QButtonGroup* group, int id)
{
    if (QAbstractButton* button = group->button(id)) {
        button->setChecked(true);
        return;
    }
    // A stored value no button stands for: none is checked.
    group->setExclusive(false);
    for (QAbstractButton* b : group->buttons())
        b->setChecked(false);
    group->setExclusive(true);
}
}  // namespace

PP_General::PP_General(AppSettings& settings, QWidget* parent)
    : OptionPage(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("generalPage"));
    setAccessibleName(LanguageText::plain(kPageText));
    auto* layout = new QVBoxLayout(this);

    m_autoRun = addCheck(kAutoRunText, "autoRun");
    m_autoIndex = addCheck(kAutoIndexText, "autoIndex");
    layout->addWidget(m_autoRun);
    layout->addWidget(m_autoIndex);
    if (m_entry.isAvailable()) {
        m_fileManagerEntry = addCheck(kFileManagerEntryText, "fileManagerEntry");
        layout->addWidget(m_fileManagerEntry);
    }

    auto* dates = new QGroupBox(LanguageText::plain(kDateGroupText));
    dates->setObjectName(QStringLiteral("dateGroup"));
    auto* dateLayout = new QVBoxLayout(dates);
    m_dateFormat = new QButtonGroup(this);
    auto* dateRow = new QHBoxLayout;
    addRadio(m_dateFormat, 0, kDateOnlyText, "dateOnly", dateRow);
    addRadio(m_dateFormat, 1, kDateMinutesText, "dateMinutes", dateRow);
    addRadio(m_dateFormat, 2, kDateSecondsText, "dateSeconds", dateRow);
    dateRow->addStretch();
    dateLayout->addLayout(dateRow);
    m_systemLocale = addCheck(kSystemLocaleText, "systemLocale");
    dateLayout->addWidget(m_systemLocale);
    layout->addWidget(dates);

    auto* sizes = new QGroupBox(LanguageText::plain(kSizeGroupText));
    sizes->setObjectName(QStringLiteral("sizeGroup"));
    auto* sizeLayout = new QHBoxLayout(sizes);
    m_sizeFormat = new QButtonGroup(this);
    addRadio(m_sizeFormat, 0, kBytesText, "sizeBytes", sizeLayout);
    addRadio(m_sizeFormat, 1, kKilobytesText, "sizeKilobytes", sizeLayout);
    sizeLayout->addSpacing(16);
    m_grouping = addCheck(kGroupingText, "digitGrouping");
    m_numberOnly = addCheck(kNumberOnlyText, "numberOnly");
    sizeLayout->addWidget(m_grouping);
    sizeLayout->addWidget(m_numberOnly);
    sizeLayout->addStretch();
    layout->addWidget(sizes);

    auto* form = new QFormLayout;
    m_hotKey = new HotKeyEdit;
    m_hotKey->setObjectName(QStringLiteral("hotKey"));
    m_hotKey->setAccessibleName(LanguageText::plain(kHotKeyText));
    auto* hotKeyLabel = new QLabel(LanguageText::get(kHotKeyText));
    hotKeyLabel->setBuddy(m_hotKey);
    form->addRow(hotKeyLabel, m_hotKey);
    layout->addLayout(form);

    m_closeExits = addCheck(kCloseExitsText, "closeExits");
    m_splash = addCheck(kSplashText, "splashImage");
    layout->addWidget(m_closeExits);
    layout->addWidget(m_splash);

    auto* sortRow = new QHBoxLayout;
    m_sortAfter = addCheck(kSortAfterText, "sortAfterSearch");
    m_sortColumn = new QComboBox;
    m_sortColumn->setObjectName(QStringLiteral("sortColumn"));
    m_sortColumn->setAccessibleName(LanguageText::plain(kSortAfterText));
    for (unsigned id : ColumnFlags::kCaptionIds)
        m_sortColumn->addItem(LanguageText::plain(id));
    sortRow->addWidget(m_sortAfter);
    sortRow->addWidget(m_sortColumn);
    sortRow->addStretch();
    layout->addLayout(sortRow);

    auto* historyRow = new QHBoxLayout;
    m_history = new QSpinBox;
    m_history->setObjectName(QStringLiteral("historyItems"));
    m_history->setAccessibleName(LanguageText::plain(kHistoryText));
    m_history->setRange(kHistoryMin, kHistoryMax);
    auto* historyLabel = new QLabel(LanguageText::get(kHistoryText));
    historyLabel->setBuddy(m_history);
    historyRow->addWidget(historyLabel);
    historyRow->addWidget(m_history);
    historyRow->addStretch();
    layout->addLayout(historyRow);
    layout->addStretch();

    for (QCheckBox* box : findChildren<QCheckBox*>())
        connect(box, &QCheckBox::toggled, this, &PP_General::markModified);
    for (QButtonGroup* group : {m_dateFormat, m_sizeFormat})
        connect(group, &QButtonGroup::idToggled, this, &PP_General::markModified);
    connect(m_sortAfter, &QCheckBox::clicked, this, &PP_General::onSortClicked);
    connect(m_sortColumn, &QComboBox::currentIndexChanged, this, &PP_General::markModified);
    connect(m_history, &QSpinBox::valueChanged, this, &PP_General::markModified);
    connect(m_hotKey, &HotKeyEdit::hotKeyChanged, this, &PP_General::markModified);
}

QCheckBox* PP_General::addCheck(unsigned textId, const char* name)
{
    auto* box = new QCheckBox(LanguageText::get(textId), this);
    box->setObjectName(QLatin1String(name));
    box->setAccessibleName(LanguageText::plain(textId));
    return box;
}

QString PP_General::pageTitle() const
{
    return LanguageText::plain(kPageText);
}

void PP_General::loadFromSettings()
{
    m_loading = true;
    const GeneralOptions& g = m_settings.general();
    m_autoRun->setChecked(g.AutoRun != 0);
    m_autoIndex->setChecked(g.AutoIndex != 0);
    if (m_fileManagerEntry) {
        m_entryWasInstalled = m_entry.isRegistered();
        m_fileManagerEntry->setChecked(m_entryWasInstalled);
    }
    checkId(m_dateFormat, g.dateFormat);
    m_systemLocale->setChecked(g.UseWindowsLocale != 0);
    checkId(m_sizeFormat, g.sizeFormat);
    m_grouping->setChecked(g.SeparatedUseComma != 0);
    m_numberOnly->setChecked(g.ShowNumberOnly != 0);
    // The control's value: the modifier flags in the high byte, the key in the low byte.
    m_hotKey->setHotKey(g.HKSHVirtual & 0xFF, g.HKSHModifier & 0xFF);
    m_closeExits->setChecked(g.ClickXToExit != 0);
    m_splash->setChecked(g.bShowSplashImage != 0);
    m_sortAfter->setChecked(g.SortAfterSearch != 0);
    m_sortColumn->setCurrentIndex(g.SortOption >= 0 && g.SortOption < m_sortColumn->count() ? g.SortOption : -1);
    m_sortColumn->setEnabled(m_sortAfter->isChecked());
    m_history->setValue(qBound(kHistoryMin, g.HistoryItemNum, kHistoryMax));
    m_loading = false;
    m_modified = false;
}

void PP_General::markModified()
{
    if (!m_loading)
        m_modified = true;
}

void PP_General::onSortClicked(bool checked)
{
    if (checked) {
        QMessageBox box(QMessageBox::Question, LanguageText::plain(kTitleText), LanguageText::plain(kSortQuestionText),
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName(QStringLiteral("sortQuestion"));
        box.setDefaultButton(QMessageBox::No);
        if (box.exec() != QMessageBox::Yes) {
            m_sortAfter->setChecked(false);
            return;
        }
    }
    m_sortColumn->setEnabled(checked);
    if (checked && m_sortColumn->currentIndex() < 0)
        m_sortColumn->setCurrentIndex(0);
}

GeneralOptions PP_General::shownOptions() const
{
    GeneralOptions g = m_settings.general();
    g.AutoRun = m_autoRun->isChecked() ? 1 : 0;
    g.AutoIndex = m_autoIndex->isChecked() ? 1 : 0;
    if (m_dateFormat->checkedId() >= 0)
        g.dateFormat = m_dateFormat->checkedId();
    g.UseWindowsLocale = m_systemLocale->isChecked() ? 1 : 0;
    if (m_sizeFormat->checkedId() >= 0)
        g.sizeFormat = m_sizeFormat->checkedId();
    g.SeparatedUseComma = m_grouping->isChecked() ? 1 : 0;
    g.ShowNumberOnly = m_numberOnly->isChecked() ? 1 : 0;
    g.HKSHVirtual = m_hotKey->virtualKey();
    g.HKSHModifier = m_hotKey->hotKeyFlags();
    g.ClickXToExit = m_closeExits->isChecked() ? 1 : 0;
    g.bShowSplashImage = m_splash->isChecked() ? 1 : 0;
    g.SortAfterSearch = m_sortAfter->isChecked() ? 1 : 0;
    if (m_sortColumn->currentIndex() >= 0)
        g.SortOption = m_sortColumn->currentIndex();
    g.HistoryItemNum = m_history->value();
    return g;
}

bool PP_General::validate()
{
    m_history->interpretText();
    return true;
}

bool PP_General::applyToSettings()
{
    if (m_fileManagerEntry && m_fileManagerEntry->isChecked() != m_entryWasInstalled) {
        QString reason;
        const bool install = m_fileManagerEntry->isChecked();
        if (install ? m_entry.registerEntry(&reason) : m_entry.unregisterEntry(&reason))
            m_entryWasInstalled = install;
        else
            OptionMessage::show(this, OptionMessage::format(kEntryFailedText, reason));
    }
    if (!m_modified)
        return false;
    const GeneralOptions shown = shownOptions();
    const bool changed = !(shown == m_settings.general());
    m_settings.general() = shown;
    m_modified = false;
    return changed;
}
