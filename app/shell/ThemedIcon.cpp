// ThemedIcon: theme first, bundled SVG second.
#include "shell/ThemedIcon.h"

#include <QFile>

QIcon ThemedIcon::get(const QString& name)
{
    const QString bundled = QStringLiteral(":/icons/%1.svg").arg(name);
    if (QIcon::hasThemeIcon(name))
        return QIcon::fromTheme(name);
    if (QFile::exists(bundled))
        return QIcon(bundled);
    return {};
}

QIcon ThemedIcon::program()
{
    // The program's own icon is its own image; a theme may still override it by name.
    return QIcon::fromTheme(QStringLiteral("quendrel"), QIcon(QStringLiteral(":/icons/quendrel.svg")));
}
