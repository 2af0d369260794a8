#pragma once
// Icons by freedesktop icon name: from the user's icon theme when it has the name, else
// the image bundled with the program (":/icons/<name>.svg"), so that the program looks
// complete on a desktop without an icon theme.
#include <QIcon>
#include <QString>

class ThemedIcon {
public:
    // Null icon only when neither the theme nor the bundle has the name.
    static QIcon get(const QString& name);
    // The program's own icon ("quendrel").
    static QIcon program();
};
