// IndexQuestion: Yes/No boxes and notices.
#include "indexing/IndexQuestion.h"

#include <QMessageBox>

#include "shell/LanguageText.h"

namespace {
constexpr unsigned kTitleText = 55;
}

bool IndexQuestion::ask(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Question, LanguageText::plain(kTitleText), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setObjectName(QStringLiteral("indexQuestion"));
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

bool IndexQuestion::ask(QWidget* parent, unsigned textId)
{
    return ask(parent, LanguageText::plain(textId));
}

void IndexQuestion::tell(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Information, LanguageText::plain(kTitleText), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("indexMessage"));
    box.exec();
}
