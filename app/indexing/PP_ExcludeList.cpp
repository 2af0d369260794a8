// PP_ExcludeList: the exclusions page.
#include "indexing/PP_ExcludeList.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "indexing/IndexPathRules.h"
#include "options/OptionMessage.h"
#include "shell/AppSettings.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kPageTitle = 162;
constexpr unsigned kChooseFolder = 21;
constexpr unsigned kNoFolderSelected = 163;
constexpr unsigned kTypePrompt = 164;
constexpr unsigned kNoTypeSelected = 165;
constexpr unsigned kAddText = 604;
constexpr unsigned kRemoveText = 605;
constexpr unsigned kFoldersCaption = 608;
constexpr unsigned kTypesCaption = 609;
constexpr unsigned kFirstFlagText = 611;   // 611..617, in flag order

// The flag members in the page's order.
int ExcludeList::* const kFlagMembers[PP_ExcludeList::kFlagCount] = {
    &ExcludeList::ppdebIndexCompressed,   &ExcludeList::ppdebInternetCookie, &ExcludeList::ppdebInternetHistoryPath,
    &ExcludeList::ppdebInternetTemporary, &ExcludeList::ppdebTemporary,      &ExcludeList::ppdebQDPath,
    &ExcludeList::ppdebWindows};

QListWidget* makeList(QWidget* parent, const char* name)
{
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

QList<int> selectedRows(const QListWidget* list)
{
    QList<int> rows;
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->isSelected())
            rows.append(row);
    return rows;
}
}  // namespace

PP_ExcludeList::PP_ExcludeList(AppSettings& settings, QWidget* parent)
    : OptionPage(parent)
    , m_settings(settings)
{
    setObjectName(QStringLiteral("excludeListPage"));
    auto* layout = new QVBoxLayout(this);
    const auto addListBox = [&](unsigned caption, QListWidget*& list, const char* name, auto onAdd, auto onRemove) {
        auto* box = new QGroupBox(LanguageText::get(caption), this);
        auto* row = new QHBoxLayout(box);
        list = makeList(box, name);
        row->addWidget(list, 1);
        auto* buttons = new QVBoxLayout;
        auto* add = new QPushButton(LanguageText::get(kAddText), box);
        auto* remove = new QPushButton(LanguageText::get(kRemoveText), box);
        connect(add, &QPushButton::clicked, this, onAdd);
        connect(remove, &QPushButton::clicked, this, onRemove);
        buttons->addWidget(add);
        buttons->addWidget(remove);
        buttons->addStretch(1);
        row->addLayout(buttons);
        layout->addWidget(box, 1);
    };
    addListBox(kFoldersCaption, m_folderList, "excludedFolderList", &PP_ExcludeList::browseFolder,
               &PP_ExcludeList::removeFolders);
    addListBox(kTypesCaption, m_typeList, "excludedTypeList", &PP_ExcludeList::promptType,
               &PP_ExcludeList::removeTypes);
    auto* grid = new QGridLayout;
    for (int i = 0; i < kFlagCount; ++i) {
        m_flags[i] = new QCheckBox(LanguageText::get(kFirstFlagText + unsigned(i)), this);
        grid->addWidget(m_flags[i], i / 2, i % 2);
    }
    layout->addLayout(grid);
}

QString PP_ExcludeList::pageTitle() const
{
    return LanguageText::plain(kPageTitle);
}

void PP_ExcludeList::loadFromSettings()
{
    const ExcludeList& e = m_settings.excludeList();
    m_folders = e.folders;
    m_types = e.extensions;
    for (int i = 0; i < kFlagCount; ++i)
        m_flags[i]->setChecked(e.*kFlagMembers[i] != 0);
    refill(m_folderList, m_folders, -1);
    refill(m_typeList, m_types, -1);
}

bool PP_ExcludeList::applyToSettings()
{
    ExcludeList& e = m_settings.excludeList();
    const ExcludeList before = e;
    e.folders = m_folders;
    e.extensions = m_types;
    for (int i = 0; i < kFlagCount; ++i)
        e.*kFlagMembers[i] = m_flags[i]->isChecked() ? 1 : 0;
    return !(e == before);
}

void PP_ExcludeList::refill(QListWidget* list, const QStringList& items, int selectRow)
{
    list->clear();
    list->addItems(items);
    if (selectRow >= 0 && selectRow < list->count()) {
        list->item(selectRow)->setSelected(true);
        list->setCurrentRow(selectRow, QItemSelectionModel::Current);
        list->scrollToItem(list->item(selectRow));
    }
}

void PP_ExcludeList::addFolder(const QString& folder)
{
    QString f = folder;
    const QFileInfo info(folder);
    if (info.isSymLink())
        f = info.canonicalFilePath().isEmpty() ? info.symLinkTarget() : info.canonicalFilePath();
    const IndexPathRules::Result r = IndexPathRules::insert(m_folders, f);
    switch (r.outcome) {
    case IndexPathRules::Outcome::Empty: return;
    case IndexPathRules::Outcome::Added: refill(m_folderList, m_folders, int(m_folders.size()) - 1); return;
    default:
        refill(m_folderList, m_folders, r.conflict);
        if (!r.message.isEmpty())
            OptionMessage::show(this, r.message);
        return;
    }
}

void PP_ExcludeList::addType(const QString& typed)
{
    QString t = typed.trimmed();
    while (t.startsWith(u'.'))
        t.remove(0, 1);
    t = t.trimmed();
    if (t.isEmpty())
        return;
    for (const QString& e : m_types)
        if (QString::localeAwareCompare(e.toLower(), t.toLower()) == 0)
            return;
    m_types.append(t);
    refill(m_typeList, m_types, int(m_types.size()) - 1);
}

void PP_ExcludeList::removeFolders()
{
    const QList<int> rows = selectedRows(m_folderList);
    if (rows.isEmpty()) {
        OptionMessage::show(this, LanguageText::plain(kNoFolderSelected));
        return;
    }
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        m_folders.removeAt(*it);
    refill(m_folderList, m_folders, -1);
}

void PP_ExcludeList::removeTypes()
{
    const QList<int> rows = selectedRows(m_typeList);
    if (rows.isEmpty()) {
        OptionMessage::show(this, LanguageText::plain(kNoTypeSelected));
        return;
    }
    for (auto it = rows.crbegin(); it != rows.crend(); ++it)
        m_types.removeAt(*it);
    refill(m_typeList, m_types, -1);
}

void PP_ExcludeList::browseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, LanguageText::plain(kChooseFolder));
    if (!folder.isEmpty())
        addFolder(folder);
}

void PP_ExcludeList::promptType()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, LanguageText::plain(55), LanguageText::plain(kTypePrompt),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok)
        addType(text);
}
