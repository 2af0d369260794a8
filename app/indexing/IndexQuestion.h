#pragma once
// The Yes/No questions and notices of the index pages and commands: a message box over
// `parent`'s window with the language text, object name "indexQuestion" (questions) or
// "indexMessage" (notices). User-interface thread only.
#include <QString>

class QWidget;

class IndexQuestion {
public:
    // True on Yes.
    static bool ask(QWidget* parent, const QString& text);
    static bool ask(QWidget* parent, unsigned textId);
    static void tell(QWidget* parent, const QString& text);
};
