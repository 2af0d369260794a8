#pragma once
// The message boxes of the option panels: a warning box (object name "optionMessage") with
// an OK button, run modally over `parent`'s window. User-interface thread only.
#include <QString>

class QWidget;

class OptionMessage {
public:
    static void show(QWidget* parent, const QString& text);
    // Language string `id` with its one "%s" replaced by `argument`.
    static QString format(unsigned id, const QString& argument);
    // The same with two "%s" arguments, in order.
    static QString format(unsigned id, const QString& first, const QString& second);
};
