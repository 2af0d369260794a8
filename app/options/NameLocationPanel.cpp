// NameLocationPanel: name, location and target of a search.
#include "options/NameLocationPanel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "options/FileMaskManagerDialog.h"
#include "options/HistoryCombo.h"
#include "options/OptionMessage.h"
#include "platform/MountPoints.h"
#include "search/NameLinePreparer.h"
#include "records/Search_Rule.h"
#include "shell/LanguageText.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kAllLocalDrivesText = 1, kCurrentResultsText = 73;
constexpr unsigned kNoFolderText = 74, kMissingFolderText = 63, kManageMasksText = 190;
constexpr unsigned kNameText = 550, kLookInText = 551, kFolderListText = 552, kAddText = 553, kDeleteText = 554,
                   kClearText = 555, kSearchInText = 556, kQuickText = 557, kSubDirsText = 558, kCompressedText = 559,
                   kFilesOnlyText = 560, kFoldersOnlyText = 561, kBothText = 562, kMaskGroupsText = 563,
                   kChooseFolderText = 595;
constexpr int kManageCommand = 0xFFFF;

// A label's caption as a combo entry: no mnemonic marker, no trailing colons.
QString captionOf(unsigned id)
{
    QString text = LanguageText::plain(id).trimmed();
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xFF1A)))
        text.chop(1);
    return text.trimmed();
}

QPushButton* button(unsigned id, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(LanguageText::get(id), parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(LanguageText::plain(id));
    b->setAutoDefault(false);
    return b;
}

QCheckBox* check(unsigned id, const char* name, QWidget* parent)
{
    auto* c = new QCheckBox(LanguageText::get(id), parent);
    c->setObjectName(QLatin1String(name));
    c->setAccessibleName(LanguageText::plain(id));
    return c;
}

std::string normalised(const QString& folder)
{
    std::string path = folder.trimmed().toStdString();
    Tool_Resource::formatPathString(path, true, true);
    return path;
}
}  // namespace

NameLocationPanel::NameLocationPanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("generalPanel"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);

    auto* nameLabel = new QLabel(LanguageText::get(kNameText), this);
    m_name = new HistoryCombo(this);
    m_name->setObjectName(QStringLiteral("nameCombo"));
    m_name->setAccessibleName(LanguageText::plain(kNameText));
    nameLabel->setBuddy(m_name);
    m_maskButton = new QToolButton(this);
    m_maskButton->setObjectName(QStringLiteral("maskButton"));
    m_maskButton->setArrowType(Qt::DownArrow);
    m_maskButton->setToolTip(LanguageText::plain(kMaskGroupsText));
    m_maskButton->setAccessibleName(LanguageText::plain(kMaskGroupsText));
    connect(m_maskButton, &QToolButton::clicked, this, &NameLocationPanel::showMaskMenu);
    grid->addWidget(nameLabel, 0, 0, 1, 2);
    grid->addWidget(m_name, 1, 0);
    grid->addWidget(m_maskButton, 1, 1);

    auto* pathLabel = new QLabel(LanguageText::get(kLookInText), this);
    m_path = new QComboBox(this);
    m_path->setObjectName(QStringLiteral("pathCombo"));
    m_path->setEditable(true);
    m_path->setInsertPolicy(QComboBox::NoInsert);
    m_path->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_path->setMinimumContentsLength(8);
    m_path->setAccessibleName(LanguageText::plain(kLookInText));
    for (const std::string& mount : MountPoints::localDiskMounts())
        m_path->addItem(QString::fromStdString(mount));
    m_path->addItem(LanguageText::plain(kAllLocalDrivesText));
    m_path->setCurrentIndex(m_path->count() - 1);
    pathLabel->setBuddy(m_path);
    grid->addWidget(pathLabel, 2, 0, 1, 2);
    grid->addWidget(m_path, 3, 0, 1, 2);

    auto* listLabel = new QLabel(LanguageText::get(kFolderListText), this);
    m_folders = new QListWidget(this);
    m_folders->setObjectName(QStringLiteral("folderList"));
    m_folders->setAccessibleName(LanguageText::plain(kFolderListText));
    m_folders->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_folders->setFixedHeight(74);
    m_folders->setMinimumWidth(60);
    listLabel->setBuddy(m_folders);
    m_add = button(kAddText, "addFolderButton", this);
    m_delete = button(kDeleteText, "deleteFolderButton", this);
    m_clear = button(kClearText, "clearFoldersButton", this);
    connect(m_add, &QPushButton::clicked, this, &NameLocationPanel::browseFolder);
    connect(m_delete, &QPushButton::clicked, this, &NameLocationPanel::deleteSelectedFolders);
    connect(m_clear, &QPushButton::clicked, this, [this] {
        m_folders->clear();
        updateFolderButtons();
    });
    auto* listRow = new QHBoxLayout;
    listRow->addWidget(m_folders, 1);
    auto* listButtons = new QVBoxLayout;
    listButtons->setSpacing(2);
    for (QPushButton* b : {m_add, m_delete, m_clear})
        listButtons->addWidget(b);
    listButtons->addStretch();
    listRow->addLayout(listButtons);
    grid->addWidget(listLabel, 4, 0, 1, 2);
    grid->addLayout(listRow, 5, 0, 1, 2);

    auto* inLabel = new QLabel(LanguageText::get(kSearchInText), this);
    m_searchIn = new QComboBox(this);
    m_searchIn->setObjectName(QStringLiteral("searchInCombo"));
    m_searchIn->setAccessibleName(LanguageText::plain(kSearchInText));
    m_searchIn->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_searchIn->setMinimumContentsLength(10);
    m_searchIn->addItem(captionOf(kLookInText));
    m_searchIn->addItem(captionOf(kFolderListText));
    m_searchIn->addItem(captionOf(kLookInText) + QLatin1Char('+') + captionOf(kFolderListText));
    m_searchIn->addItem(LanguageText::plain(kCurrentResultsText));
    inLabel->setBuddy(m_searchIn);
    auto* inRow = new QHBoxLayout;
    inRow->addWidget(inLabel);
    inRow->addWidget(m_searchIn, 1);
    grid->addLayout(inRow, 6, 0, 1, 2);

    m_quick = check(kQuickText, "quickSearchCheck", this);
    m_subDirs = check(kSubDirsText, "subFoldersCheck", this);
    m_compressed = check(kCompressedText, "compressedCheck", this);
    grid->addWidget(m_quick, 7, 0, 1, 2);
    grid->addWidget(m_subDirs, 8, 0, 1, 2);
    grid->addWidget(m_compressed, 9, 0, 1, 2);

    m_target = new QButtonGroup(this);
    const unsigned targetTexts[] = {kFilesOnlyText, kFoldersOnlyText, kBothText};
    const char* const targetNames[] = {"filesOnlyRadio", "foldersOnlyRadio", "bothRadio"};
    auto* targetRow = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(LanguageText::get(targetTexts[i]), this);
        radio->setObjectName(QLatin1String(targetNames[i]));
        radio->setAccessibleName(LanguageText::plain(targetTexts[i]));
        m_target->addButton(radio, i);
        targetRow->addWidget(radio, i / 2, i % 2);
    }
    grid->addLayout(targetRow, 10, 0, 1, 2);
    grid->setColumnStretch(0, 1);

    load(NameLocationValue::resetValue(true));
}

void NameLocationPanel::load(const NameLocationValue& v)
{
    m_name->setEditText(v.name);
    const int listed = m_path->findText(v.path, Qt::MatchFixedString);
    if (listed >= 0 && !v.path.isEmpty())
        m_path->setCurrentIndex(listed);
    m_path->setEditText(v.path);
    m_folders->clear();
    m_folders->addItems(v.folders);
    m_searchIn->setCurrentIndex(v.iSearchIn >= 0 && v.iSearchIn <= 3 ? v.iSearchIn : 2);
    m_subDirs->setChecked(v.bIncludeSubDir != 0);
    if (QAbstractButton* b = m_target->button(v.iTargetOption >= 0 && v.iTargetOption <= 2 ? v.iTargetOption : 2))
        b->setChecked(true);
    m_quick->setChecked(v.bQuickSearch != 0);
    m_compressed->setChecked(v.bSearchInCompressed != 0);
    updateFolderButtons();
}

NameLocationValue NameLocationPanel::value() const
{
    NameLocationValue v;
    v.name = m_name->currentText().trimmed();
    v.path = m_path->currentText().trimmed();
    v.folders.clear();
    for (int i = 0; i < m_folders->count(); ++i)
        v.folders.append(m_folders->item(i)->text());
    v.iSearchIn = m_searchIn->currentIndex();
    v.bIncludeSubDir = m_subDirs->isChecked() ? 1 : 0;
    v.iTargetOption = m_target->checkedId() >= 0 ? m_target->checkedId() : 2;
    v.bQuickSearch = m_quick->isChecked() ? 1 : 0;
    v.bSearchInCompressed = m_compressed->isChecked() ? 1 : 0;
    return v;
}

bool NameLocationPanel::fillRule(Search_Rule& rule)
{
    const NameLocationValue v = value();
    rule.iSearchIn = v.iSearchIn;
    NameLinePreparer::prepare(v.name.toStdString(), rule.bDisableBooleanOpt, rule);

    rule.folders.clear();
    if (v.iSearchIn == 0 || v.iSearchIn == 2) {
        std::vector<std::string> entries;
        Tool_Resource::separateFolders(v.path.toStdString(), entries);
        for (const std::string& entry : entries) {
            const QString trimmed = QString::fromStdString(entry).trimmed();
            if (trimmed.isEmpty() || Tool_Resource::isFileOrFolderExist(trimmed.toStdString().c_str()) != 0)
                continue;
            rule.folders.push_back(normalised(trimmed));
        }
    }
    if (v.iSearchIn == 1 || v.iSearchIn == 2)
        for (const QString& folder : v.folders)
            rule.folders.push_back(normalised(folder));

    rule.bIncludeSubDir = v.bIncludeSubDir;
    rule.iTargetOption = v.iTargetOption;
    rule.bQuickSearch = v.bQuickSearch;
    rule.bSearchInCompressed = v.bSearchInCompressed;

    if (!rule.folders.empty()) {
        Tool_Resource::slimFolders(rule.folders);
        return true;
    }
    if (v.iSearchIn == 3)
        return true;
    if (v.iSearchIn == 1) {
        OptionMessage::show(this, LanguageText::get(kNoFolderText));
        return false;
    }
    OptionMessage::show(this, v.path.isEmpty() ? LanguageText::get(kNoFolderText)
                                               : OptionMessage::format(kMissingFolderText, v.path));
    m_path->setFocus(Qt::OtherFocusReason);
    return false;
}

void NameLocationPanel::rememberHistory()
{
    m_name->remember(m_name->currentText().trimmed());
}

void NameLocationPanel::setHistoryLimit(int limit)
{
    m_name->setLimit(limit);
}

void NameLocationPanel::setSearchFolders(const QStringList& folders)
{
    if (folders.isEmpty())
        return;
    m_path->setEditText(folders.join(QLatin1Char('"')));
    m_searchIn->setCurrentIndex(0);
}

void NameLocationPanel::addFolder(const QString& folder)
{
    if (folder.trimmed().isEmpty())
        return;
    const QString entry = QString::fromStdString(normalised(folder));
    for (int i = 0; i < m_folders->count(); ++i)
        if (m_folders->item(i)->text() == entry)
            return;
    m_folders->addItem(entry);
    updateFolderButtons();
}

void NameLocationPanel::browseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, LanguageText::plain(kChooseFolderText));
    if (!folder.isEmpty())
        addFolder(folder);
}

void NameLocationPanel::deleteSelectedFolders()
{
    const QList<QListWidgetItem*> selected = m_folders->selectedItems();
    if (selected.isEmpty()) {
        delete m_folders->currentItem();
    } else {
        for (QListWidgetItem* item : selected)
            delete item;
    }
    updateFolderButtons();
}

void NameLocationPanel::updateFolderButtons()
{
    const bool any = m_folders->count() > 0;
    m_delete->setEnabled(any);
    m_clear->setEnabled(any);
}

void NameLocationPanel::setMaskGroups(const QList<FileMaskGroup>& groups)
{
    m_groups = groups;
}

QMenu* NameLocationPanel::buildMaskMenu()
{
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("maskMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (int i = 0; i < m_groups.size(); ++i) {
        QAction* a = menu->addAction(m_groups[i].name);
        a->setData(i + 1);
    }
    if (!m_groups.isEmpty())
        menu->addSeparator();
    QAction* manage = menu->addAction(LanguageText::get(kManageMasksText));
    manage->setData(kManageCommand);
    connect(menu, &QMenu::triggered, this, [this](QAction* a) {
        const int command = a->data().toInt();
        if (command == kManageCommand)
            manageMasks();
        else if (command >= 1 && command <= m_groups.size())
            chooseMaskGroup(command - 1);
    });
    return menu;
}

void NameLocationPanel::chooseMaskGroup(int index)
{
    if (index < 0 || index >= m_groups.size())
        return;
    m_name->setEditText(m_groups[index].masks.join(QLatin1Char(',')));
    m_name->setFocus(Qt::OtherFocusReason);
    focusNextChild();
    emit maskGroupChosen();
}

void NameLocationPanel::showMaskMenu()
{
    QMenu* menu = buildMaskMenu();
    menu->popup(m_maskButton->mapToGlobal(QPoint(0, m_maskButton->height())));
}

void NameLocationPanel::manageMasks()
{
    FileMaskManagerDialog dialog(m_groups, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_groups = dialog.groups();
    emit maskGroupsChanged(m_groups);
}
