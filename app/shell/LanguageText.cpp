// LanguageText: the engine's language strings as QStrings.
#include "shell/LanguageText.h"

#include "tools/Tool_Resource.h"

QString LanguageText::get(unsigned id)
{
    return QString::fromStdString(Tool_Resource::loadString(id));
}

QString LanguageText::withoutMnemonic(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;  // "&x" -> "x", "&&" -> "&"
        }
        out += text[i];
    }
    return out;
}
