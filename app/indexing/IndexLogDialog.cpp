// IndexLogDialog: showing and clearing the index log.
#include "indexing/IndexLogDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/CommandIds.h"
#include "shell/LanguageFormat.h"
#include "shell/LanguageText.h"

namespace {
constexpr unsigned kClearText = 600;
constexpr unsigned kLastIndexText = 601;
}  // namespace

IndexLogDialog::IndexLogDialog(IndexLog log, const QString& lastIndexTime, QWidget* parent)
    : QDialog(parent)
    , m_log(std::move(log))
{
    setObjectName(QStringLiteral("indexLogDialog"));
    QString title = LanguageText::plain(unsigned(CommandIds::ViewIndexLog));
    while (title.endsWith(u'.'))
        title.chop(1);
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(LanguageFormat::format(LanguageText::get(kLastIndexText), {lastIndexTime}), this));
    m_text = new QPlainTextEdit(this);
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setPlainText(m_log.readAll());
    layout->addWidget(m_text, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    m_clear = buttons->addButton(LanguageText::get(kClearText), QDialogButtonBox::ActionRole);
    connect(m_clear, &QPushButton::clicked, this, &IndexLogDialog::clearLog);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(640, 360);
}

void IndexLogDialog::clearLog()
{
    if (m_log.clear())
        m_text->clear();
}
