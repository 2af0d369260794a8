// FileTypeInfo: icon and type name of an extension from QMimeDatabase.
#include "shell/FileTypeInfo.h"

#include <QMimeDatabase>

#include "shell/ThemedIcon.h"

namespace {
QMimeType typeOf(const QString& extension)
{
    static const QMimeDatabase mimes;
    return mimes.mimeTypeForFile(QStringLiteral("x.") + extension, QMimeDatabase::MatchExtension);
}
}  // namespace

QIcon FileTypeInfo::icon(const QString& extension)
{
    const QMimeType type = typeOf(extension);
    QIcon icon = QIcon::fromTheme(type.iconName(), ThemedIcon::get(type.genericIconName()));
    if (icon.isNull())
        icon = ThemedIcon::get(QStringLiteral("text-x-generic"));
    return icon;
}

QString FileTypeInfo::typeName(const QString& extension)
{
    if (extension.trimmed().isEmpty())
        return QString();
    const QMimeType type = typeOf(extension);
    return type.isDefault() ? QString() : type.comment();
}
