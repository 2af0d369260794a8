// AboutDialog: version, licence and component versions.
#include "shell/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/ComponentVersions.h"
#include "shell/LanguageText.h"
#include "shell/ThemedIcon.h"

namespace {
constexpr unsigned kTitleText = 57664;  // the About command's own text
constexpr unsigned kVersionText = 430, kLicenceText = 431, kQtText = 432, kHandlerText = 433,
                   kPdfText = 434, kMissingText = 435, kDescriptionText = 436;

QString row(unsigned label, const QString& value)
{
    const QString shown = value.isEmpty() ? LanguageText::plain(kMissingText) : value;
    return QStringLiteral("<tr><td>%1</td><td>%2</td></tr>")
        .arg(LanguageText::plain(label).toHtmlEscaped(), shown.toHtmlEscaped());
}
}  // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(LanguageText::plain(kTitleText));
    setAccessibleName(LanguageText::plain(kTitleText));
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(this);
    icon->setPixmap(ThemedIcon::program().pixmap(64, 64));
    icon->setAccessibleName(LanguageText::plain(55));
    top->addWidget(icon, 0, Qt::AlignTop);

    m_text = QStringLiteral("<h2>%1</h2><p>%2</p><table cellspacing=\"4\">")
                 .arg(LanguageText::plain(55).toHtmlEscaped(), LanguageText::plain(kDescriptionText).toHtmlEscaped());
    m_text += row(kVersionText, QStringLiteral(QUENDREL_VERSION));
    m_text += row(kLicenceText, QStringLiteral(QUENDREL_LICENSE));
    m_text += row(kQtText, ComponentVersions::qt());
    m_text += row(kHandlerText, ComponentVersions::handlerLibrary());
    m_text += row(kPdfText, ComponentVersions::pdfConverter());
    m_text += QStringLiteral("</table>");
    auto* label = new QLabel(m_text, this);
    label->setObjectName(QStringLiteral("aboutText"));
    label->setAccessibleName(LanguageText::plain(kTitleText));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    label->setWordWrap(true);
    top->addWidget(label, 1);
    layout->addLayout(top);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(buttons->button(QDialogButtonBox::Close)->text());
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
