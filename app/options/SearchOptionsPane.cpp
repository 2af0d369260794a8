// SearchOptionsPane: the five option panels as one search description.
#include "options/SearchOptionsPane.h"

#include <QFileDialog>
#include <QLineEdit>

#include "options/ContainTextPanel.h"
#include "options/DatePanel.h"
#include "options/DialogsDataCodec.h"
#include "options/DuplicatePanel.h"
#include "options/FileMasksGroupCodec.h"
#include "options/NameLocationPanel.h"
#include "options/OptionMessage.h"
#include "options/SearchOptionsFile.h"
#include "options/SizePanel.h"
#include "records/Search_Rule.h"
#include "shell/AppSettings.h"
#include "shell/CommandIds.h"
#include "shell/File_HoldWnd.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kFilterText = 25, kWriteFailedText = 596, kReadFailedText = 597;
constexpr unsigned kAllLocalDrivesText = 1;
}  // namespace

SearchOptionsPane::SearchOptionsPane(File_HoldWnd* side, AppSettings& settings, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
{
    m_general = new NameLocationPanel;
    m_containText = new ContainTextPanel;
    m_date = new DatePanel;
    m_size = new SizePanel;
    m_duplicate = new DuplicatePanel;
    QWidget* panels[File_HoldWnd::kPanelCount] = {m_general, m_containText, m_date, m_size, m_duplicate};
    for (int i = 0; i < File_HoldWnd::kPanelCount; ++i) {
        side->setPanelPage(i, panels[i]);
        // The edit fields inside combo boxes, spins and date pickers take their owner's name.
        for (QLineEdit* edit : panels[i]->findChildren<QLineEdit*>())
            if (edit->accessibleName().isEmpty() && edit->parentWidget())
                edit->setAccessibleName(edit->parentWidget()->accessibleName());
    }

    const int history = m_settings.general().HistoryItemNum;
    m_general->setHistoryLimit(history);
    m_containText->setHistoryLimit(history);
    m_general->setMaskGroups(FileMasksGroupCodec::load(m_settings.panels().FileMasksGroup));
    connect(m_general, &NameLocationPanel::maskGroupsChanged, this, [this](const QList<FileMaskGroup>& groups) {
        m_settings.panels().FileMasksGroup = FileMasksGroupCodec::encode(groups);
    });
    connect(m_general, &NameLocationPanel::maskGroupChosen, this, &SearchOptionsPane::maskGroupChosen);

    reset();
    const QByteArray& stored = m_settings.panels().DialogsData;
    if (!stored.isEmpty()) {
        SearchOptionsValues v = values();
        DialogsDataCodec::decode(stored, v);
        load(v);
    }
}

SearchOptionsPane::~SearchOptionsPane()
{
    if (panelsAlive())
        saveState();
}

NameLocationPanel* SearchOptionsPane::general() const { return m_general; }
ContainTextPanel* SearchOptionsPane::containText() const { return m_containText; }
DatePanel* SearchOptionsPane::date() const { return m_date; }
SizePanel* SearchOptionsPane::size() const { return m_size; }
DuplicatePanel* SearchOptionsPane::duplicate() const { return m_duplicate; }

bool SearchOptionsPane::panelsAlive() const
{
    return m_general && m_containText && m_date && m_size && m_duplicate;
}

void SearchOptionsPane::saveState()
{
    if (!panelsAlive())
        return;
    m_settings.panels().DialogsData = DialogsDataCodec::encode(values());
    m_settings.panels().FileMasksGroup = FileMasksGroupCodec::encode(m_general->maskGroups());
}

void SearchOptionsPane::reset()
{
    SearchOptionsValues v;
    v.general = NameLocationValue::resetValue(m_settings.searchDisplay().bSearchInCompressedFile != 0);
    load(v);
}

SearchOptionsValues SearchOptionsPane::values() const
{
    return {m_general->value(), m_containText->value(), m_date->value(), m_size->value(), m_duplicate->value()};
}

void SearchOptionsPane::load(const SearchOptionsValues& v)
{
    m_general->load(v.general);
    m_containText->load(v.containText);
    m_date->load(v.date);
    m_size->load(v.size);
    m_duplicate->load(v.duplicate);
}

bool SearchOptionsPane::fillRule(Search_Rule& rule)
{
    rule.bDisableBooleanOpt = m_settings.searchDisplay().bDisableBooleanOpt != 0;
    rule.bAutoNormalSearch = m_settings.searchDisplay().bAutoNormalSearch != 0;
    if (!m_general->fillRule(rule) || !m_containText->fillRule(rule) || !m_date->fillRule(rule)
        || !m_size->fillRule(rule) || !m_duplicate->fillRule(rule))
        return false;
    m_general->rememberHistory();
    m_containText->rememberHistory();
    return true;
}

void SearchOptionsPane::setSearchFolders(const QStringList& folders)
{
    m_general->setSearchFolders(folders);
}

void SearchOptionsPane::preparePreset(const QString& pattern)
{
    reset();
    NameLocationValue v = m_general->value();
    v.iSearchIn = 0;
    v.path = LanguageText::plain(kAllLocalDrivesText);
    v.name = pattern;
    m_general->load(v);
}

QString SearchOptionsPane::presetPattern(int commandId)
{
    switch (commandId) {
    case CommandIds::SearchImages: return QStringLiteral("*.bmp,*.jpg,*.jpeg,*.tiff,*.tif,*.pic,*.gif");
    case CommandIds::SearchMusic: return QStringLiteral("*.mp3,*.wav,*.mid,*.midi,*.wma");
    case CommandIds::SearchVideos: return QStringLiteral("*.avi,*.mpg,*.mpeg,*.mov,*.wmv");
    default: return QString();
    }
}

QString SearchOptionsPane::typePattern(const QString& extension)
{
    return QStringLiteral("*.") + extension;
}

void SearchOptionsPane::prepareFileDialog(QFileDialog& dialog, bool save)
{
    // String 25 is "description|pattern|...||": the descriptions carry their patterns.
    const QStringList parts = LanguageText::plain(kFilterText).split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        if (!parts[i].isEmpty())
            filters.append(parts[i] + (parts[i].contains(QLatin1Char('(')) ? QString() : QStringLiteral(" (") + parts[i + 1] + QLatin1Char(')')));
    if (filters.isEmpty())
        filters.append(QStringLiteral("*.qdp"));
    dialog.setObjectName(save ? QStringLiteral("saveOptionsDialog") : QStringLiteral("openOptionsDialog"));
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QStringLiteral("qdp"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
}

bool SearchOptionsPane::saveOptionsInteractively(QWidget* parent, const std::function<int(QDialog&)>& run)
{
    QFileDialog dialog(parent);
    prepareFileDialog(dialog, true);
    if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString path = dialog.selectedFiles().first();
    QString reason;
    if (SearchOptionsFile::save(path, values(), &reason))
        return true;
    OptionMessage::show(parent, OptionMessage::format(kWriteFailedText, path, reason));
    return false;
}

bool SearchOptionsPane::openOptionsInteractively(QWidget* parent, const std::function<int(QDialog&)>& run)
{
    QFileDialog dialog(parent);
    prepareFileDialog(dialog, false);
    if (run(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString path = dialog.selectedFiles().first();
    SearchOptionsValues v = values();
    QString reason;
    if (!SearchOptionsFile::open(path, v, &reason)) {
        OptionMessage::show(parent, OptionMessage::format(kReadFailedText, path, reason));
        return false;
    }
    load(v);
    return true;
}
