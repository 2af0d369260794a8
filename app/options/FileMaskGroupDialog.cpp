// FileMaskGroupDialog: one group's name and masks.
#include "options/FileMaskGroupDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "shell/LanguageText.h"

namespace {
constexpr unsigned kCaptionText = 594, kNameText = 590, kMasksText = 591;
}

FileMaskGroupDialog::FileMaskGroupDialog(const FileMaskGroup& group, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("fileMaskGroupDialog"));
    setWindowTitle(LanguageText::plain(kCaptionText));
    auto* form = new QFormLayout(this);
    m_name = new QLineEdit(group.name, this);
    m_name->setObjectName(QStringLiteral("groupNameEdit"));
    m_name->setAccessibleName(LanguageText::plain(kNameText));
    m_masks = new QLineEdit(group.masks.join(QLatin1Char(',')), this);
    m_masks->setObjectName(QStringLiteral("groupMasksEdit"));
    m_masks->setAccessibleName(LanguageText::plain(kMasksText));
    m_masks->setMinimumWidth(300);
    form->addRow(LanguageText::get(kNameText), m_name);
    form->addRow(LanguageText::get(kMasksText), m_masks);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto update = [this] { m_ok->setEnabled(!m_name->text().trimmed().isEmpty()); };
    connect(m_name, &QLineEdit::textChanged, this, update);
    update();
}

QStringList FileMaskGroupDialog::splitMasks(const QString& text)
{
    QStringList out;
    for (const QString& piece : text.split(QLatin1Char(','))) {
        const QString mask = piece.trimmed();
        if (!mask.isEmpty())
            out.append(mask);
    }
    return out;
}

FileMaskGroup FileMaskGroupDialog::group() const
{
    return {m_name->text().trimmed(), splitMasks(m_masks->text())};
}
