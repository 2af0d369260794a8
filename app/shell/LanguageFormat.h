#pragma once
// Fills the printf-style conversions of a language text without handing the text to printf:
// language files are user-editable, so a wrong or extra conversion must not read arguments
// that are not there.
//
// Each conversion "%[flags][width][.precision]type" (types d i u s f F e E g G) takes the next
// argument in order; "%%" gives "%". A number argument given for %s is printed in decimal, a
// text argument given for a number conversion is inserted as it stands. A conversion without
// an argument left, and any other '%', is copied unchanged. Pure function; any thread.
#include <QString>
#include <QVariant>
#include <initializer_list>

class LanguageFormat {
public:
    // `args` hold qint64, int, double or QString values.
    static QString format(const QString& text, std::initializer_list<QVariant> args);
};
