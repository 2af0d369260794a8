// WelcomeDialog: a first-start greeting.
#include "shell/WelcomeDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/LanguageText.h"
#include "shell/ThemedIcon.h"

namespace {
constexpr unsigned kTitleText = 440, kBodyText = 441, kFileManagerText = 710;
}

WelcomeDialog::WelcomeDialog(QWidget* parent, bool offerFileManagerEntry)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("welcomeDialog"));
    setWindowTitle(LanguageText::plain(kTitleText));
    setAccessibleName(LanguageText::plain(kTitleText));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(ThemedIcon::program().pixmap(48, 48));
    icon->setAccessibleName(LanguageText::plain(55));
    top->addWidget(icon, 0, Qt::AlignTop);
    // The text keeps its own line breaks: "\n" in the language file stays literal, so
    // paragraphs are separated by "|".
    QString body;
    for (const QString& paragraph : LanguageText::get(kBodyText).split(QLatin1Char('|')))
        body += QStringLiteral("<p>%1</p>").arg(paragraph.trimmed().toHtmlEscaped());
    auto* label = new QLabel(body, this);
    label->setWordWrap(true);
    label->setAccessibleName(LanguageText::plain(kTitleText));
    label->setMinimumWidth(380);
    top->addWidget(label, 1);
    layout->addLayout(top);
    if (offerFileManagerEntry) {
        m_fileManager = new QCheckBox(LanguageText::get(kFileManagerText), this);
        m_fileManager->setObjectName(QStringLiteral("fileManagerEntry"));
        m_fileManager->setAccessibleName(LanguageText::plain(kFileManagerText));
        layout->addWidget(m_fileManager);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(buttons->button(QDialogButtonBox::Ok)->text());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

bool WelcomeDialog::addFileManagerEntry() const
{
    return m_fileManager && m_fileManager->isChecked();
}
