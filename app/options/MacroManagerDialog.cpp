// MacroManagerDialog: edits a copy of the macro list.
#include "options/MacroManagerDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "options/MacroDialog.h"
#include "options/MacroHotKeyText.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kCaptionText = 703, kNameColumnText = 704, kHotKeyColumnText = 705, kEditText = 706,
                   kDeleteText = 707, kDeleteAllText = 708, kEditCaptionText = 709;
}

MacroManagerDialog::MacroManagerDialog(const QList<MacroRecord>& macros, std::function<int(QDialog&)> runModal,
                                       QWidget* parent)
    : QDialog(parent)
    , m_macros(macros)
    , m_runModal(std::move(runModal))
{
    setObjectName(QStringLiteral("macroManager"));
    setWindowTitle(LanguageText::plain(kCaptionText));
    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("macroList"));
    m_list->setRootIsDecorated(false);
    m_list->setHeaderLabels({LanguageText::plain(kNameColumnText), LanguageText::plain(kHotKeyColumnText)});
    m_list->header()->setStretchLastSection(true);
    m_edit = new QPushButton(LanguageText::get(kEditText), this);
    m_delete = new QPushButton(LanguageText::get(kDeleteText), this);
    m_deleteAll = new QPushButton(LanguageText::get(kDeleteAllText), this);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    setAccessibleName(windowTitle());
    m_list->setAccessibleName(windowTitle());
    for (QAbstractButton* b : QList<QAbstractButton*>{m_edit, m_delete, m_deleteAll} + m_buttons->buttons())
        b->setAccessibleName(LanguageText::withoutMnemonic(b->text()));

    auto* side = new QVBoxLayout;
    side->addWidget(m_edit);
    side->addWidget(m_delete);
    side->addWidget(m_deleteAll);
    side->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    row->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_buttons);

    connect(m_edit, &QPushButton::clicked, this, &MacroManagerDialog::editCurrent);
    connect(m_delete, &QPushButton::clicked, this, &MacroManagerDialog::deleteCurrent);
    connect(m_deleteAll, &QPushButton::clicked, this, &MacroManagerDialog::deleteAll);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &MacroManagerDialog::editCurrent);
    connect(m_list, &QTreeWidget::currentItemChanged, this, &MacroManagerDialog::updateButtons);
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    fill(0);
}

void MacroManagerDialog::fill(int current)
{
    m_list->clear();
    for (const MacroRecord& m : std::as_const(m_macros))
        new QTreeWidgetItem(m_list, {m.strName, MacroHotKeyText::text(m.wModifier, m.wVirtual)});
    if (!m_macros.isEmpty())
        m_list->setCurrentItem(m_list->topLevelItem(qBound(0, current, int(m_macros.size()) - 1)));
    updateButtons();
}

void MacroManagerDialog::updateButtons()
{
    const bool hasCurrent = m_list->currentItem() != nullptr;
    m_edit->setEnabled(hasCurrent);
    m_delete->setEnabled(hasCurrent);
    m_deleteAll->setEnabled(!m_macros.isEmpty());
}

void MacroManagerDialog::editCurrent()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || row >= m_macros.size())
        return;
    MacroDialog dialog(m_macros[row], LanguageText::plain(kEditCaptionText), this);
    emit editDialogOpened(&dialog);
    const int result = m_runModal ? m_runModal(dialog) : dialog.exec();
    if (result != QDialog::Accepted)
        return;
    m_macros[row] = dialog.record();  // the file title stays: the options remain in their file
    fill(row);
}

void MacroManagerDialog::deleteCurrent()
{
    const int row = m_list->indexOfTopLevelItem(m_list->currentItem());
    if (row < 0 || row >= m_macros.size())
        return;
    m_macros.removeAt(row);
    fill(row);
}

void MacroManagerDialog::deleteAll()
{
    m_macros.clear();
    fill(0);
}
