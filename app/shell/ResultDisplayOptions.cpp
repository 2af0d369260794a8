// ResultDisplayOptions: the drawing settings of the result list, read from AppSettings.
#include "shell/ResultDisplayOptions.h"

#include "shell/AppSettings.h"

ResultDisplayOptions ResultDisplayOptions::fromSettings(const AppSettings& settings)
{
    ResultDisplayOptions o;
    const GeneralOptions& g = settings.general();
    o.sizeFormat = g.sizeFormat;
    o.separatedUseComma = g.SeparatedUseComma;
    o.showNumberOnly = g.ShowNumberOnly;
    o.dateFormat = g.dateFormat;
    o.useWindowsLocale = g.UseWindowsLocale;
    const SearchDisplayOptions& s = settings.searchDisplay();
    o.boldKeyString = s.bBoldOfKeyString != 0;
    o.keyColour = fromColorRef(unsigned(s.clrKeyString));
    o.regularColour = fromColorRef(unsigned(s.clrRegularString));
    return o;
}

QColor ResultDisplayOptions::fromColorRef(unsigned c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}
