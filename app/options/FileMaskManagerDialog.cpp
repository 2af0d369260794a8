// FileMaskManagerDialog: add, edit and delete file-mask groups.
#include "options/FileMaskManagerDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "options/FileMaskGroupDialog.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kCaptionText = 589, kAddText = 553, kEditText = 592, kDeleteText = 554, kDeleteAllText = 593;

QPushButton* button(unsigned id, const char* name, QWidget* parent)
{
    auto* b = new QPushButton(LanguageText::get(id), parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(LanguageText::plain(id));
    b->setAutoDefault(false);
    return b;
}
}  // namespace

FileMaskManagerDialog::FileMaskManagerDialog(const QList<FileMaskGroup>& groups, QWidget* parent)
    : QDialog(parent)
    , m_groups(groups)
{
    setObjectName(QStringLiteral("fileMaskManager"));
    setWindowTitle(LanguageText::plain(kCaptionText));
    auto* outer = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("maskGroupList"));
    m_list->setAccessibleName(LanguageText::plain(kCaptionText));
    row->addWidget(m_list, 1);
    auto* side = new QVBoxLayout;
    m_add = button(kAddText, "addGroupButton", this);
    m_edit = button(kEditText, "editGroupButton", this);
    m_delete = button(kDeleteText, "deleteGroupButton", this);
    m_deleteAll = button(kDeleteAllText, "deleteAllGroupsButton", this);
    for (QPushButton* b : {m_add, m_edit, m_delete, m_deleteAll})
        side->addWidget(b);
    side->addStretch();
    row->addLayout(side);
    outer->addLayout(row);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    outer->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, [this] { editGroup(true); });
    connect(m_edit, &QPushButton::clicked, this, [this] { editGroup(false); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this] { editGroup(false); });
    connect(m_delete, &QPushButton::clicked, this, &FileMaskManagerDialog::deleteCurrent);
    connect(m_deleteAll, &QPushButton::clicked, this, &FileMaskManagerDialog::deleteAll);
    connect(m_list, &QListWidget::currentRowChanged, this, &FileMaskManagerDialog::updateButtons);
    refill(m_groups.isEmpty() ? -1 : 0);
    resize(460, 300);
}

void FileMaskManagerDialog::refill(int current)
{
    m_list->clear();
    for (const FileMaskGroup& g : m_groups)
        m_list->addItem(g.name + QStringLiteral(" (") + g.masks.join(QLatin1Char(',')) + QLatin1Char(')'));
    if (current >= m_groups.size())
        current = int(m_groups.size()) - 1;
    m_list->setCurrentRow(current);
    updateButtons();
}

void FileMaskManagerDialog::updateButtons()
{
    const bool has = m_list->currentRow() >= 0 && m_list->currentRow() < m_groups.size();
    m_edit->setEnabled(has);
    m_delete->setEnabled(has);
    m_deleteAll->setEnabled(!m_groups.isEmpty());
}

void FileMaskManagerDialog::addGroup(const FileMaskGroup& group)
{
    m_groups.append(group);
    refill(int(m_groups.size()) - 1);
}

void FileMaskManagerDialog::replaceCurrent(const FileMaskGroup& group)
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_groups.size())
        return;
    m_groups[row] = group;
    refill(row);
}

void FileMaskManagerDialog::deleteCurrent()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_groups.size())
        return;
    m_groups.removeAt(row);
    refill(row);
}

void FileMaskManagerDialog::deleteAll()
{
    m_groups.clear();
    refill(-1);
}

void FileMaskManagerDialog::editGroup(bool adding)
{
    const int row = m_list->currentRow();
    if (!adding && (row < 0 || row >= m_groups.size()))
        return;
    FileMaskGroupDialog dialog(adding ? FileMaskGroup() : m_groups[row], this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (adding)
        addGroup(dialog.group());
    else
        replaceCurrent(dialog.group());
}
