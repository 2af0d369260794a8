// MacroDialog: name, hot key and run-after-launch flag of a macro.
#include "options/MacroDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "options/MacroHotKeyEdit.h"
#include "options/MacroList.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kNameText = 700, kHotKeyText = 701, kRunText = 702;
}

MacroDialog::MacroDialog(const MacroRecord& initial, const QString& caption, QWidget* parent)
    : QDialog(parent)
    , m_initial(initial)
{
    setObjectName(QStringLiteral("macroDialog"));
    setWindowTitle(caption);
    m_name = new QLineEdit(initial.strName, this);
    m_name->setObjectName(QStringLiteral("macroName"));
    m_name->setMaxLength(int(MacroList::kNameBuffer) - 1);
    m_hotKey = new MacroHotKeyEdit(this);
    m_hotKey->setHotKey(initial.wModifier, initial.wVirtual);
    m_run = new QCheckBox(LanguageText::get(kRunText), this);
    m_run->setObjectName(QStringLiteral("macroRunAfterLaunch"));
    m_run->setChecked(initial.bRunAfterLaunch);
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* form = new QFormLayout;
    auto* nameLabel = new QLabel(LanguageText::get(kNameText), this);
    nameLabel->setBuddy(m_name);
    auto* keyLabel = new QLabel(LanguageText::get(kHotKeyText), this);
    keyLabel->setBuddy(m_hotKey);
    form->addRow(nameLabel, m_name);
    form->addRow(keyLabel, m_hotKey);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_run);
    layout->addWidget(m_buttons);

    // Screen readers name each control by its label.
    m_name->setAccessibleName(LanguageText::plain(kNameText).remove(QLatin1Char(':')));
    m_hotKey->setAccessibleName(LanguageText::plain(kHotKeyText).remove(QLatin1Char(':')));
    m_run->setAccessibleName(LanguageText::plain(kRunText));
    for (QAbstractButton* b : m_buttons->buttons())
        b->setAccessibleName(LanguageText::withoutMnemonic(b->text()));
    setAccessibleName(caption);

    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto updateOk = [this] {
        m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!m_name->text().trimmed().isEmpty());
    };
    connect(m_name, &QLineEdit::textChanged, this, updateOk);
    updateOk();
    m_name->selectAll();
    m_name->setFocus();
}

MacroRecord MacroDialog::record() const
{
    MacroRecord r = m_initial;
    r.strName = m_name->text().trimmed();
    r.wModifier = uint16_t(m_hotKey->modifiers());
    r.wVirtual = uint16_t(m_hotKey->virtualKey());
    r.bRunAfterLaunch = m_run->isChecked();
    return r;
}
