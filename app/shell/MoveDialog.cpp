// MoveDialog: target folder and automatic renaming of a move.
#include "shell/MoveDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/CommandIds.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kChooseFolderText = 21;
constexpr unsigned kTargetFolderText = 656;
constexpr unsigned kAutoRenameText = 657;
constexpr unsigned kBrowseText = 678;
}  // namespace

MoveDialog::MoveDialog(const QString& folder, bool autoRename, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("moveDialog"));
    setWindowTitle(LanguageText::plain(unsigned(CommandIds::MoveFiles)));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(LanguageText::get(kTargetFolderText), this);
    m_folder = new QLineEdit(folder, this);
    m_folder->setObjectName(QStringLiteral("moveFolder"));
    m_folder->setAccessibleName(LanguageText::plain(kTargetFolderText));
    label->setBuddy(m_folder);
    auto* browse = new QPushButton(LanguageText::get(kBrowseText), this);
    browse->setAccessibleName(LanguageText::plain(kBrowseText));
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, LanguageText::plain(kChooseFolderText), m_folder->text());
        if (!chosen.isEmpty())
            m_folder->setText(chosen);
    });
    auto* row = new QHBoxLayout;
    row->addWidget(m_folder, 1);
    row->addWidget(browse);
    m_autoRename = new QCheckBox(LanguageText::get(kAutoRenameText), this);
    m_autoRename->setObjectName(QStringLiteral("moveAutoRename"));
    m_autoRename->setAccessibleName(LanguageText::plain(kAutoRenameText));
    m_autoRename->setChecked(autoRename);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(label);
    layout->addLayout(row);
    layout->addWidget(m_autoRename);
    layout->addWidget(buttons);
    resize(480, sizeHint().height());
}

QString MoveDialog::folder() const
{
    return m_folder->text().trimmed();
}

bool MoveDialog::autoRename() const
{
    return m_autoRename->isChecked();
}
