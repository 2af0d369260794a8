// PP_FileIndex: the indexed paths page.
#include "indexing/PP_FileIndex.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "indexing/CIndexManager.h"
#include "indexing/IndexPathRules.h"
#include "indexing/IndexQuestion.h"
#include "options/OptionMessage.h"
#include "shell/AppSettings.h"
#include "shell/LanguageText.h"
#include "shell/SearchController.h"

namespace {
constexpr unsigned kPageTitle = 32;
constexpr unsigned kChooseFolder = 21;
constexpr unsigned kRemoveQuestion = 38;
constexpr unsigned kNoFolder = 63;
constexpr unsigned kStopQuestion = 75;
constexpr unsigned kIndexResultsQuestion = 175;
constexpr unsigned kFolderLabel = 603;
constexpr unsigned kAddText = 604;
constexpr unsigned kRemoveText = 605;
constexpr unsigned kIndexSelectedText = 606;
constexpr unsigned kAllDrivesText = 607;
}  // namespace

PP_FileIndex::PP_FileIndex(AppSettings& settings, CIndexManager* manager, QWidget* parent)
    : OptionPage(parent)
    , m_settings(settings)
    , m_manager(manager)
{
    setObjectName(QStringLiteral("fileIndexPage"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(LanguageText::get(kFolderLabel), this));
    auto* fieldRow = new QHBoxLayout;
    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("indexPathField"));
    auto* browseButton = new QToolButton(this);
    browseButton->setText(QStringLiteral("..."));
    browseButton->setAccessibleName(LanguageText::plain(kChooseFolder));
    m_add = new QPushButton(LanguageText::get(kAddText), this);
    fieldRow->addWidget(m_field, 1);
    fieldRow->addWidget(browseButton);
    fieldRow->addWidget(m_add);
    layout->addLayout(fieldRow);
    auto* listRow = new QHBoxLayout;
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("indexedPathList"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listRow->addWidget(m_list, 1);
    auto* buttons = new QVBoxLayout;
    m_remove = new QPushButton(LanguageText::get(kRemoveText), this);
    m_index = new QPushButton(LanguageText::get(kIndexSelectedText), this);
    m_allDrives = new QPushButton(LanguageText::get(kAllDrivesText), this);
    buttons->addWidget(m_remove);
    buttons->addWidget(m_index);
    buttons->addWidget(m_allDrives);
    buttons->addStretch(1);
    listRow->addLayout(buttons);
    layout->addLayout(listRow, 1);

    connect(m_field, &QLineEdit::textChanged, this, &PP_FileIndex::updateButtons);
    connect(m_field, &QLineEdit::returnPressed, this, &PP_FileIndex::addTyped);
    connect(browseButton, &QToolButton::clicked, this, &PP_FileIndex::browse);
    connect(m_add, &QPushButton::clicked, this, &PP_FileIndex::addTyped);
    connect(m_remove, &QPushButton::clicked, this, &PP_FileIndex::removeSelected);
    connect(m_index, &QPushButton::clicked, this, &PP_FileIndex::indexSelected);
    connect(m_allDrives, &QPushButton::clicked, this, &PP_FileIndex::addAllLocalDrives);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &PP_FileIndex::updateButtons);
    updateButtons();
}

QString PP_FileIndex::pageTitle() const
{
    return LanguageText::plain(kPageTitle);
}

void PP_FileIndex::loadFromSettings()
{
    m_paths = m_settings.indexedPaths().paths;
    refill();
}

bool PP_FileIndex::applyToSettings()
{
    if (m_settings.indexedPaths().paths == m_paths)
        return false;
    m_settings.indexedPaths().paths = m_paths;
    return true;
}

void PP_FileIndex::refill()
{
    static const QFileIconProvider icons;
    m_list->clear();
    for (const QString& p : m_paths)
        m_list->addItem(new QListWidgetItem(icons.icon(QFileIconProvider::Folder), p));
    updateButtons();
}

void PP_FileIndex::updateButtons()
{
    m_add->setEnabled(!m_field->text().isEmpty());
    const bool selected = !m_list->selectedItems().isEmpty();
    m_remove->setEnabled(selected);
    m_index->setEnabled(selected);
}

QStringList PP_FileIndex::selectedPaths() const
{
    QStringList out;
    for (int row = 0; row < m_list->count(); ++row)
        if (m_list->item(row)->isSelected())
            out.append(m_paths.value(row));
    return out;
}

void PP_FileIndex::browse()
{
    const QString folder = QFileDialog::getExistingDirectory(this, LanguageText::plain(kChooseFolder), m_field->text());
    if (!folder.isEmpty())
        m_field->setText(folder);
}

bool PP_FileIndex::insert(const QString& path)
{
    const IndexPathRules::Result r = IndexPathRules::insert(m_paths, path);
    if (!r.message.isEmpty())
        OptionMessage::show(this, r.message);
    return r.outcome == IndexPathRules::Outcome::Added || r.outcome == IndexPathRules::Outcome::Repeated;
}

bool PP_FileIndex::addTyped()
{
    const QString typed = m_field->text().trimmed();
    if (typed.isEmpty())
        return false;
    if (!QFileInfo(typed).isDir()) {
        OptionMessage::show(this, OptionMessage::format(kNoFolder, typed.endsWith(u'/') ? typed : typed + u'/'));
        m_field->selectAll();
        return false;
    }
    if (!insert(typed)) {
        m_field->setFocus();
        m_field->selectAll();
        return false;
    }
    refill();
    m_field->clear();
    return true;
}

void PP_FileIndex::addAllLocalDrives()
{
    for (const QString& root : IndexedPaths::localDriveRoots())
        insert(root);
    refill();
}

void PP_FileIndex::removeSelected()
{
    const QStringList removed = selectedPaths();
    if (removed.isEmpty())
        return;
    if (m_manager && m_manager->isRunning()) {
        if (!IndexQuestion::ask(this, kStopQuestion))
            return;
        m_manager->stop();
    }
    if (!IndexQuestion::ask(this, kRemoveQuestion))
        return;
    SearchController* search = m_manager ? m_manager->searchController() : nullptr;
    if (search && search->listHoldsIndexResults() && !IndexQuestion::ask(this, kIndexResultsQuestion))
        return;
    if (search)
        search->clearList();
    for (const QString& p : removed)
        m_paths.removeAll(p);
    refill();
    if (search) {
        std::vector<std::string> roots;
        for (const QString& p : removed)
            roots.push_back(p.toStdString());
        search->deleteLiveCaches(roots);
    }
}

void PP_FileIndex::indexSelected()
{
    const QStringList chosen = selectedPaths();
    if (!m_manager || chosen.isEmpty())
        return;
    if (m_manager->isRunning() && !IndexQuestion::ask(this, kStopQuestion))
        return;
    m_manager->indexPaths(chosen);
}
