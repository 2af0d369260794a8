#pragma once
// Numbered user-interface texts of the loaded language file as QStrings (the engine's
// Tool_Resource::loadString, UTF-8). A missing number gives the engine's "Failed String".
#include <QString>

class LanguageText {
public:
    // The text as stored; menu texts may carry an '&' before their mnemonic letter.
    static QString get(unsigned id);
    // The text without mnemonic markers ("&&" stays a literal '&'): for tooltips, tray
    // tooltips and accessible names.
    static QString plain(unsigned id) { return withoutMnemonic(get(id)); }
    static QString withoutMnemonic(const QString& text);
};
