// OptionMessage: warning boxes of the option panels.
#include "options/OptionMessage.h"

#include <QMessageBox>

#include "shell/LanguageText.h"

namespace {
constexpr unsigned kTitleText = 55;

QString substitute(QString text, const QStringList& arguments)
{
    qsizetype from = 0;
    for (const QString& a : arguments) {
        const qsizetype at = text.indexOf(QStringLiteral("%s"), from);
        if (at < 0)
            break;
        text.replace(at, 2, a);
        from = at + a.size();
    }
    return text.replace(QStringLiteral("%%"), QStringLiteral("%"));
}
}  // namespace

void OptionMessage::show(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, LanguageText::plain(kTitleText), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("optionMessage"));
    box.exec();
}

QString OptionMessage::format(unsigned id, const QString& argument)
{
    return substitute(LanguageText::get(id), {argument});
}

QString OptionMessage::format(unsigned id, const QString& first, const QString& second)
{
    return substitute(LanguageText::get(id), {first, second});
}
