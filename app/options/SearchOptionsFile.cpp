// SearchOptionsFile: the option panels' sections of a search-options file.
#include "options/SearchOptionsFile.h"

#include <cerrno>
#include <cstring>
#include <QFileInfo>
#include <QLocale>

#include "options/OptionValueLimits.h"
#include "platform/IniFile.h"

namespace {
const char* const kGeneral = "General";
const char* const kContainText = "ContainText";
const char* const kDate = "Date";
const char* const kSize = "Size";
const char* const kDuplicate = "Duplicate";

void putString(IniFile& ini, const char* section, const char* key, const QString& value)
{
    const std::string text = value.toStdString();
    if (!ini.setValue(section, key, text.c_str())) {
        // A line break cannot be stored: keep the text up to it.
        const std::string firstLine = text.substr(0, text.find_first_of("\r\n"));
        ini.setValue(section, key, firstLine.c_str());
    }
}

void putInt(IniFile& ini, const char* section, const char* key, int value)
{
    ini.setValue(section, key, std::to_string(value).c_str());
}

void putSize(IniFile& ini, const char* section, const char* key, float value)
{
    ini.setValue(section, key, QString::asprintf("%.2f", double(value)).toStdString().c_str());
}

QString getString(const IniFile& ini, const char* section, const char* key)
{
    return QString::fromStdString(ini.getString(section, key, "", SearchOptionsFile::kStringBuffer));
}

// The integer at the start of the value (blanks and a sign allowed), 0 when there is none;
// `fallback` when the key is missing.
int getInt(const IniFile& ini, const char* section, const char* key, int fallback)
{
    const std::optional<std::string> value = ini.getValue(section, key);
    if (!value)
        return fallback;
    const char* p = value->c_str();
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (*p == '-' || *p == '+')
        negative = *p++ == '-';
    long long n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + (*p - '0');
        if (n > 0x7FFFFFFFLL)
            return fallback;
    }
    return int(negative ? -n : n);
}

float getSize(const IniFile& ini, const char* section, const char* key)
{
    if (!ini.getValue(section, key))
        return 1.0f;
    bool ok = false;
    const double d = QLocale::c().toDouble(getString(ini, section, key).trimmed(), &ok);
    return ok ? float(d) : 0.0f;
}
}  // namespace

QString SearchOptionsFile::joinFolders(const QStringList& folders)
{
    return folders.join(QLatin1Char('"'));
}

QStringList SearchOptionsFile::splitFolders(const QString& text)
{
    QStringList out;
    for (const QString& piece : text.split(QLatin1Char('"'), Qt::SkipEmptyParts)) {
        const QString entry = piece.trimmed();
        if (!entry.isEmpty())
            out.append(entry);
    }
    return out;
}

void SearchOptionsFile::write(IniFile& ini, const NameLocationValue& v)
{
    putString(ini, kGeneral, "Name", v.name.trimmed());
    putString(ini, kGeneral, "Path", v.path.trimmed());
    putString(ini, kGeneral, "Folders", joinFolders(v.folders));
    putInt(ini, kGeneral, "iSearchIn", v.iSearchIn);
    putInt(ini, kGeneral, "bIncludeSubDir", v.bIncludeSubDir);
    putInt(ini, kGeneral, "iTargetOption", v.iTargetOption);
    putInt(ini, kGeneral, "bQuickSearch", v.bQuickSearch);
    putInt(ini, kGeneral, "bSearchInCompressed", v.bSearchInCompressed);
}

void SearchOptionsFile::read(const IniFile& ini, NameLocationValue& v)
{
    v.name = getString(ini, kGeneral, "Name");
    v.path = getString(ini, kGeneral, "Path");
    v.folders = splitFolders(getString(ini, kGeneral, "Folders"));
    v.iSearchIn = getInt(ini, kGeneral, "iSearchIn", 2);
    v.bIncludeSubDir = getInt(ini, kGeneral, "bIncludeSubDir", 1);
    v.iTargetOption = getInt(ini, kGeneral, "iTargetOption", 2);
    v.bQuickSearch = getInt(ini, kGeneral, "bQuickSearch", 1);
    v.bSearchInCompressed = getInt(ini, kGeneral, "bSearchInCompressed", 1);
    OptionValueLimits::fix(v);
}

void SearchOptionsFile::write(IniFile& ini, const ContainTextValue& v)
{
    putInt(ini, kContainText, "bCaseMain", v.bCaseMain);
    putInt(ini, kContainText, "bMainWholeWord", v.bMainWholeWord);
    putInt(ini, kContainText, "bMainNot", v.bMainNot);
    putString(ini, kContainText, "MainText", v.mainText);
    putInt(ini, kContainText, "iMainHex", v.iMainHex);
    putInt(ini, kContainText, "iMainType", v.iMainType);
    putString(ini, kContainText, "userInput", v.userInput);
}

void SearchOptionsFile::read(const IniFile& ini, ContainTextValue& v)
{
    v.bCaseMain = getInt(ini, kContainText, "bCaseMain", 0);
    v.bMainWholeWord = getInt(ini, kContainText, "bMainWholeWord", 0);
    v.bMainNot = getInt(ini, kContainText, "bMainNot", 0);
    v.mainText = getString(ini, kContainText, "MainText");
    v.iMainHex = getInt(ini, kContainText, "iMainHex", 0);
    v.iMainType = getInt(ini, kContainText, "iMainType", 0);
    v.userInput = getString(ini, kContainText, "userInput");
    OptionValueLimits::fix(v);
}

void SearchOptionsFile::write(IniFile& ini, const DateValue& v)
{
    putInt(ini, kDate, "iDateType", v.iDateType);
    putInt(ini, kDate, "iModifyType", v.iModifyType);
    putInt(ini, kDate, "dwPreviousDate", v.dwPreviousDate);
    const struct {
        const char* prefix;
        const QDateTime& when;
    } points[] = {{"frm", v.from}, {"to", v.to}};
    for (const auto& p : points) {
        const QDate d = p.when.date();
        const QTime t = p.when.time();
        const std::string prefix = p.prefix;
        putInt(ini, kDate, (prefix + "Year").c_str(), d.year());
        putInt(ini, kDate, (prefix + "Month").c_str(), d.month());
        putInt(ini, kDate, (prefix + "Day").c_str(), d.day());
        putInt(ini, kDate, (prefix + "Hour").c_str(), t.hour());
        putInt(ini, kDate, (prefix + "Minute").c_str(), t.minute());
        putInt(ini, kDate, (prefix + "Second").c_str(), t.second());
    }
    putInt(ini, kDate, "iType", v.iType);
}

void SearchOptionsFile::read(const IniFile& ini, DateValue& v)
{
    v.iDateType = getInt(ini, kDate, "iDateType", 0);
    v.iModifyType = getInt(ini, kDate, "iModifyType", 0);
    v.dwPreviousDate = getInt(ini, kDate, "dwPreviousDate", 1);
    const QDateTime now = DateValue::nowToTheSecond();
    for (auto [prefixText, target] : {std::pair<const char*, QDateTime*>{"frm", &v.from}, {"to", &v.to}}) {
        const std::string prefix = prefixText;
        const QDate today = now.date();
        const QTime clock = now.time();
        const QDate d(getInt(ini, kDate, (prefix + "Year").c_str(), today.year()),
                      getInt(ini, kDate, (prefix + "Month").c_str(), today.month()),
                      getInt(ini, kDate, (prefix + "Day").c_str(), today.day()));
        const QTime t(getInt(ini, kDate, (prefix + "Hour").c_str(), clock.hour()),
                      getInt(ini, kDate, (prefix + "Minute").c_str(), clock.minute()),
                      getInt(ini, kDate, (prefix + "Second").c_str(), clock.second()));
        *target = d.isValid() && t.isValid() ? QDateTime(d, t) : now;
    }
    v.iType = getInt(ini, kDate, "iType", 0);
    OptionValueLimits::fix(v);
}

void SearchOptionsFile::write(IniFile& ini, const SizeValue& v)
{
    putInt(ini, kSize, "iLargeSizeDW", v.iLargeSizeDW);
    putInt(ini, kSize, "iSmallSizeDW", v.iSmallSizeDW);
    putSize(ini, kSize, "fLargeSize", v.fLargeSize);
    putSize(ini, kSize, "fSmallSize", v.fSmallSize);
    putInt(ini, kSize, "iLargeState", v.iLargeState);
    putInt(ini, kSize, "iSmallState", v.iSmallState);
}

void SearchOptionsFile::read(const IniFile& ini, SizeValue& v)
{
    v.iLargeSizeDW = getInt(ini, kSize, "iLargeSizeDW", 1);
    v.iSmallSizeDW = getInt(ini, kSize, "iSmallSizeDW", 1);
    v.fLargeSize = getSize(ini, kSize, "fLargeSize");
    v.fSmallSize = getSize(ini, kSize, "fSmallSize");
    v.iLargeState = getInt(ini, kSize, "iLargeState", 0);
    v.iSmallState = getInt(ini, kSize, "iSmallState", 0);
    OptionValueLimits::fix(v);
}

void SearchOptionsFile::write(IniFile& ini, const DuplicateValue& v)
{
    putInt(ini, kDuplicate, "bEnableDuplicate", v.bEnableDuplicate);
    putInt(ini, kDuplicate, "iLevel", v.iLevel);
    putString(ini, kDuplicate, "strEditFolder", v.strEditFolder);
    putString(ini, kDuplicate, "strEditPatterns", v.strEditPatterns);
}

void SearchOptionsFile::read(const IniFile& ini, DuplicateValue& v)
{
    v.bEnableDuplicate = getInt(ini, kDuplicate, "bEnableDuplicate", 0);
    v.iLevel = getInt(ini, kDuplicate, "iLevel", 0);
    v.strEditFolder = getString(ini, kDuplicate, "strEditFolder");
    v.strEditPatterns = getString(ini, kDuplicate, "strEditPatterns");
    OptionValueLimits::fix(v);
}

void SearchOptionsFile::writeSections(IniFile& ini, const SearchOptionsValues& values)
{
    write(ini, values.general);
    write(ini, values.containText);
    write(ini, values.date);
    write(ini, values.size);
    write(ini, values.duplicate);
}

void SearchOptionsFile::readSections(const IniFile& ini, SearchOptionsValues& values)
{
    read(ini, values.general);
    read(ini, values.containText);
    read(ini, values.date);
    read(ini, values.size);
    read(ini, values.duplicate);
}

bool SearchOptionsFile::save(const QString& path, const SearchOptionsValues& values, QString* error)
{
    IniFile ini;
    ini.parse("");
    ini.setPath(path.toStdString());
    putString(ini, "Main", "Name", QFileInfo(path).completeBaseName());
    writeSections(ini, values);
    if (ini.save())
        return true;
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(ini.lastError()));
    return false;
}

bool SearchOptionsFile::open(const QString& path, SearchOptionsValues& values, QString* error)
{
    IniFile ini;
    if (!ini.load(path.toStdString())) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(ini.lastError()));
        return false;
    }
    SearchOptionsValues read = values;
    readSections(ini, read);
    values = read;
    return true;
}
