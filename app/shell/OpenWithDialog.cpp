// OpenWithDialog: the list of open-with programs.
#include "shell/OpenWithDialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/LanguageText.h"
#include "shell/ResultOperations.h"

namespace {
constexpr unsigned kTitleText = 41;
constexpr unsigned kProgramFilterText = 42;
constexpr unsigned kDeleteQuestionText = 44;
constexpr unsigned kNewText = 672;
constexpr unsigned kDeleteText = 673;
constexpr unsigned kRenameText = 674;
constexpr unsigned kProgramText = 675;
constexpr unsigned kParamsText = 676;
constexpr unsigned kEntryTitleText = 677;
constexpr unsigned kBrowseText = 678;

}  // namespace

OpenWithDialog::OpenWithDialog(const QList<OpenWithEntry>& entries, QWidget* parent)
    : QDialog(parent), m_entries(entries)
{
    setObjectName(QStringLiteral("openWithDialog"));
    setWindowTitle(LanguageText::plain(kTitleText));
    m_askTitle = [this](const QString& current) {
        return QInputDialog::getText(this, LanguageText::plain(kTitleText), LanguageText::plain(kEntryTitleText),
                                     QLineEdit::Normal, current)
            .trimmed();
    };
    m_askDelete = [this](const QString& question) {
        return QMessageBox::question(this, LanguageText::plain(kTitleText), question) == QMessageBox::Yes;
    };

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("openWithList"));
    m_list->setAccessibleName(LanguageText::plain(kTitleText));
    for (const OpenWithEntry& e : m_entries)
        m_list->addItem(e.title);
    auto* add = new QPushButton(LanguageText::get(kNewText), this);
    m_delete = new QPushButton(LanguageText::get(kDeleteText), this);
    m_rename = new QPushButton(LanguageText::get(kRenameText), this);
    for (QPushButton* b : {add, m_delete, m_rename})
        b->setAccessibleName(LanguageText::withoutMnemonic(b->text()));
    connect(add, &QPushButton::clicked, this, &OpenWithDialog::addEntry);
    connect(m_delete, &QPushButton::clicked, this, &OpenWithDialog::deleteEntry);
    connect(m_rename, &QPushButton::clicked, this, &OpenWithDialog::renameEntry);
    auto* side = new QVBoxLayout;
    side->addWidget(add);
    side->addWidget(m_delete);
    side->addWidget(m_rename);
    side->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    top->addLayout(side);

    m_program = new QLineEdit(this);
    m_program->setObjectName(QStringLiteral("openWithProgram"));
    m_program->setAccessibleName(LanguageText::plain(kProgramText));
    m_params = new QLineEdit(this);
    m_params->setObjectName(QStringLiteral("openWithParams"));
    m_params->setAccessibleName(LanguageText::plain(kParamsText));
    m_browse = new QPushButton(LanguageText::get(kBrowseText), this);
    m_browse->setAccessibleName(LanguageText::plain(kBrowseText));
    connect(m_browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(this, LanguageText::plain(kTitleText), m_program->text(),
                                                          ResultOperations::qtFilter(LanguageText::get(kProgramFilterText)));
        if (!file.isEmpty())
            m_program->setText(file);
    });
    auto* programRow = new QHBoxLayout;
    programRow->addWidget(m_program, 1);
    programRow->addWidget(m_browse);
    auto* form = new QFormLayout;
    form->addRow(LanguageText::get(kProgramText), programRow);
    form->addRow(LanguageText::get(kParamsText), m_params);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, &OpenWithDialog::showEntry);
    connect(m_params, &QLineEdit::textEdited, this, [this](const QString& t) {
        if (const int r = m_list->currentRow(); r >= 0 && r < m_entries.size())
            m_entries[r].params = t;
    });
    connect(m_program, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (const int r = m_list->currentRow(); !m_showing && r >= 0 && r < m_entries.size())
            m_entries[r].program = t;
    });
    if (!m_entries.isEmpty())
        m_list->setCurrentRow(0);
    updateControls();
    resize(520, 360);
}

void OpenWithDialog::showEntry(int row)
{
    m_showing = true;
    const bool valid = row >= 0 && row < m_entries.size();
    m_program->setText(valid ? m_entries[row].program : QString());
    m_params->setText(valid ? m_entries[row].params : QString());
    m_showing = false;
    updateControls();
}

void OpenWithDialog::updateControls()
{
    const bool any = m_list->currentRow() >= 0 && !m_entries.isEmpty();
    for (QWidget* w : {static_cast<QWidget*>(m_program), static_cast<QWidget*>(m_params),
                       static_cast<QWidget*>(m_browse), static_cast<QWidget*>(m_delete),
                       static_cast<QWidget*>(m_rename)})
        w->setEnabled(any);
}

void OpenWithDialog::addEntry()
{
    const QString title = m_askTitle(QString());
    if (title.isEmpty())
        return;
    m_entries.append(OpenWithEntry{title, QString(), QStringLiteral("%F%")});
    m_list->addItem(title);
    m_list->setCurrentRow(m_list->count() - 1);
}

void OpenWithDialog::deleteEntry()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_entries.size())
        return;
    QString question = LanguageText::get(kDeleteQuestionText);
    question.replace(QStringLiteral("%s"), m_entries[row].title);
    if (!m_askDelete(question))
        return;
    m_entries.removeAt(row);
    delete m_list->takeItem(row);
    showEntry(m_list->currentRow());
}

void OpenWithDialog::renameEntry()
{
    const int row = m_list->currentRow();
    if (row < 0 || row >= m_entries.size())
        return;
    const QString title = m_askTitle(m_entries[row].title);
    if (title.isEmpty())
        return;
    m_entries[row].title = title;
    m_list->item(row)->setText(title);
}
