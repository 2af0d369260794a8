// LanguageFormat: printf-style conversions of language texts, argument by argument.
#include "shell/LanguageFormat.h"

#include <vector>

namespace {
bool isConversion(QChar c)
{
    return QStringLiteral("diusfFeEgG").contains(c);
}

QString convert(QChar type, const QString& flags, int width, int precision, const QVariant& arg)
{
    const bool isText = arg.typeId() == QMetaType::QString;
    QString out;
    if (type == u's' || isText) {
        out = isText ? arg.toString() : QString::number(arg.toLongLong());
        if (precision >= 0 && type == u's')
            out.truncate(precision);
    } else if (type == u'd' || type == u'i' || type == u'u') {
        out = QString::number(arg.typeId() == QMetaType::Double ? qint64(arg.toDouble()) : arg.toLongLong());
    } else {
        const char fmt = type.toLatin1();
        out = QString::number(arg.toDouble(), fmt == 'F' ? 'f' : fmt, precision < 0 ? 6 : precision);
    }
    if (width > out.size()) {
        const bool left = flags.contains(u'-');
        const QChar pad = (!left && flags.contains(u'0') && type != u's' && !isText) ? u'0' : u' ';
        if (left)
            out = out.leftJustified(width, pad);
        else if (pad == u'0' && out.startsWith(u'-'))
            out = u'-' + out.mid(1).rightJustified(width - 1, pad);
        else
            out = out.rightJustified(width, pad);
    }
    return out;
}
}  // namespace

QString LanguageFormat::format(const QString& text, std::initializer_list<QVariant> args)
{
    const std::vector<QVariant> values(args);
    size_t next = 0;
    QString out;
    out.reserve(text.size() + 16);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'%') {
            out += c;
            continue;
        }
        if (i + 1 < n && text[i + 1] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        QString flags;
        while (j < n && QStringLiteral("-+ #0").contains(text[j]))
            flags += text[j++];
        int width = 0;
        while (j < n && text[j].isDigit() && width < 1000)
            width = width * 10 + text[j++].digitValue();
        int precision = -1;
        if (j < n && text[j] == u'.') {
            ++j;
            precision = 0;
            while (j < n && text[j].isDigit() && precision < 100)
                precision = precision * 10 + text[j++].digitValue();
        }
        while (j < n && (text[j] == u'l' || text[j] == u'h' || text[j] == u'I' || text[j] == u'6' || text[j] == u'4'))
            ++j;
        if (j < n && isConversion(text[j]) && next < values.size()) {
            out += convert(text[j], flags, width, precision, values[next++]);
            i = j;
        } else {
            out += c;  // not a conversion we fill: copied as it stands
        }
    }
    return out;
}
