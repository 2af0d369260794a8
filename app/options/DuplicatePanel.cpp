// DuplicatePanel: grouping the results into duplicates.
#include "options/DuplicatePanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "records/Search_Rule.h"
#include "shell/LanguageText.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kEnableText = 582, kCompareText = 583, kSelectAllText = 584, kFolderText = 585,
                   kSelectText = 586, kBrowseText = 587, kMaskText = 588, kChooseText = 599;
constexpr unsigned kLevelTexts[] = {108, 109, 110, 111, 112, 113};

QPushButton* button(unsigned id, const char* name, unsigned accessible, QWidget* parent)
{
    auto* b = new QPushButton(LanguageText::get(id), parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(LanguageText::plain(accessible));
    b->setAutoDefault(false);
    return b;
}
}  // namespace

DuplicatePanel::DuplicatePanel(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("duplicatePanel"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(3);

    m_enable = new QCheckBox(LanguageText::get(kEnableText), this);
    m_enable->setObjectName(QStringLiteral("findDuplicatesCheck"));
    m_enable->setAccessibleName(LanguageText::plain(kEnableText));
    grid->addWidget(m_enable, 0, 0, 1, 4);

    auto* levelLabel = new QLabel(LanguageText::get(kCompareText), this);
    m_level = new QComboBox(this);
    m_level->setObjectName(QStringLiteral("compareLevelCombo"));
    m_level->setAccessibleName(LanguageText::plain(kCompareText));
    for (unsigned id : kLevelTexts)
        m_level->addItem(LanguageText::plain(id));
    m_level->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_level->setMinimumContentsLength(12);
    levelLabel->setBuddy(m_level);
    grid->addWidget(levelLabel, 1, 0);
    grid->addWidget(m_level, 1, 1, 1, 3);

    m_selectAll = button(kSelectAllText, "selectAllCopiesButton", kSelectAllText, this);
    grid->addWidget(m_selectAll, 2, 0, 1, 4, Qt::AlignLeft);

    auto* folderLabel = new QLabel(LanguageText::get(kFolderText), this);
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(QStringLiteral("selectFolderEdit"));
    m_folder->setAccessibleName(LanguageText::plain(kFolderText));
    folderLabel->setBuddy(m_folder);
    m_selectFolder = button(kSelectText, "selectByFolderButton", kFolderText, this);
    m_browse = new QToolButton(this);
    m_browse->setObjectName(QStringLiteral("browseFolderButton"));
    m_browse->setText(QStringLiteral("..."));
    m_browse->setToolTip(LanguageText::plain(kBrowseText));
    m_browse->setAccessibleName(LanguageText::plain(kBrowseText));
    grid->addWidget(folderLabel, 3, 0, 1, 4);
    grid->addWidget(m_folder, 4, 0, 1, 2);
    grid->addWidget(m_selectFolder, 4, 2);
    grid->addWidget(m_browse, 4, 3);

    auto* maskLabel = new QLabel(LanguageText::get(kMaskText), this);
    m_mask = new QLineEdit(this);
    m_mask->setObjectName(QStringLiteral("selectMaskEdit"));
    m_mask->setAccessibleName(LanguageText::plain(kMaskText));
    maskLabel->setBuddy(m_mask);
    m_selectMask = button(kSelectText, "selectByMaskButton", kMaskText, this);
    grid->addWidget(maskLabel, 5, 0, 1, 4);
    grid->addWidget(m_mask, 6, 0, 1, 2);
    grid->addWidget(m_selectMask, 6, 2);
    grid->setColumnStretch(1, 1);

    connect(m_selectAll, &QPushButton::clicked, this, &DuplicatePanel::selectAllCopiesRequested);
    connect(m_selectFolder, &QPushButton::clicked, this, [this] {
        emit selectByFolderRequested(m_folder->text().trimmed());
    });
    connect(m_selectMask, &QPushButton::clicked, this, [this] { emit selectByMaskRequested(completedMask()); });
    connect(m_browse, &QToolButton::clicked, this, [this] {
        const QString folder = QFileDialog::getExistingDirectory(this, LanguageText::plain(kChooseText), m_folder->text());
        if (!folder.isEmpty())
            m_folder->setText(folder);
    });
    load(DuplicateValue());
}

void DuplicatePanel::load(const DuplicateValue& v)
{
    m_enable->setChecked(v.bEnableDuplicate != 0);
    m_level->setCurrentIndex(v.iLevel >= 0 && v.iLevel <= 5 ? v.iLevel : 0);
    m_folder->setText(v.strEditFolder);
    m_mask->setText(v.strEditPatterns);
}

DuplicateValue DuplicatePanel::value() const
{
    return {m_enable->isChecked() ? 1 : 0, m_level->currentIndex(), m_folder->text(), m_mask->text()};
}

bool DuplicatePanel::fillRule(Search_Rule& rule)
{
    rule.duplicate.bEnable = m_enable->isChecked() ? 1 : 0;
    rule.duplicate.iLevel = m_level->currentIndex();
    return true;
}

QString DuplicatePanel::completedMask() const
{
    std::string mask = m_mask->text().trimmed().toStdString();
    Tool_Resource::fullfillSearchPattern(mask);
    return QString::fromStdString(mask);
}
