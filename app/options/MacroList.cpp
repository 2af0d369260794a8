// MacroList: the macro files of the per-user data folder.
#include "options/MacroList.h"

#include <cerrno>
#include <cstring>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include "options/SearchOptionsFile.h"
#include "platform/IniFile.h"
#include "tools/Tool_Resource.h"

namespace {
const char* const kMain = "Main";
const QString kSuffix = QStringLiteral(".qdp");

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

void setError(QString* error, const QString& text)
{
    if (error && error->isEmpty())
        *error = text;
}

int readInt(const IniFile& ini, const char* key, int fallback)
{
    const std::optional<std::string> value = ini.getValue(kMain, key);
    if (!value)
        return fallback;
    bool ok = false;
    const int n = QString::fromStdString(*value).trimmed().toInt(&ok);
    return ok ? n : 0;  // a profile integer read of non-digits gives 0
}
}  // namespace

MacroList::MacroList(QString folder)
    : m_folder(std::move(folder))
{
}

QString MacroList::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Quendrel/Macros");
}

QString MacroList::fileTitleFor(const QString& name)
{
    std::string title = name.trimmed().toStdString();
    Tool_Resource::fixFileName(title);
    return QString::fromStdString(title);
}

QString MacroList::filePath(const MacroRecord& macro) const
{
    return m_folder + QLatin1Char('/') + macro.strFileTitle + kSuffix;
}

MacroRecord MacroList::recordFrom(const IniFile& ini, const QString& fileTitle)
{
    MacroRecord r;
    r.strFileTitle = fileTitle;
    r.strName = QString::fromStdString(ini.getString(kMain, "Name", fileTitle.toStdString(), kNameBuffer));
    r.wModifier = uint16_t(readInt(ini, "wModifier", 0));
    r.wVirtual = uint16_t(readInt(ini, "wVirtual", 0));
    r.bRunAfterLaunch = readInt(ini, "RunAfterLaunch", 1) != 0;
    return r;
}

void MacroList::load()
{
    m_macros.clear();
    QDir dir(m_folder);
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("*.qdp")},
                                                  QDir::Files | QDir::Hidden | QDir::CaseSensitive, QDir::Name);
    for (const QFileInfo& info : files) {
        if (count() >= kMaxMacros)
            break;
        const QString name = info.fileName();
        if (!name.endsWith(kSuffix) || name.size() == kSuffix.size())
            continue;
        IniFile ini;
        if (!ini.load(info.filePath().toStdString()))
            continue;
        m_macros.append(recordFrom(ini, name.left(name.size() - kSuffix.size())));
    }
}

void MacroList::writeMain(IniFile& ini, const MacroRecord& m)
{
    ini.setValue(kMain, "Name", m.strName.toStdString().c_str());
    ini.setValue(kMain, "wModifier", std::to_string(m.wModifier).c_str());
    ini.setValue(kMain, "wVirtual", std::to_string(m.wVirtual).c_str());
    ini.setValue(kMain, "RunAfterLaunch", m.bRunAfterLaunch ? "1" : "0");
}

bool MacroList::add(const MacroRecord& macro, const SearchOptionsValues& values, QString* error)
{
    MacroRecord record = macro;
    record.strName = macro.strName.trimmed();
    record.strFileTitle = fileTitleFor(record.strName);
    if (record.strName.isEmpty() || record.strName.contains(QLatin1Char('\n')) ||
        record.strName.contains(QLatin1Char('\r'))) {
        setError(error, reason(EINVAL));
        return false;
    }
    QList<int> replaced;
    for (int i = 0; i < count(); ++i)
        if (m_macros[i].strName.compare(record.strName, Qt::CaseInsensitive) == 0 ||
            m_macros[i].strFileTitle == record.strFileTitle)
            replaced.append(i);
    if (replaced.isEmpty() && isFull()) {
        setError(error, reason(ENOSPC));
        return false;
    }
    if (!QDir().mkpath(m_folder)) {
        setError(error, reason(errno ? errno : EACCES));
        return false;
    }
    IniFile ini;
    ini.parse("");
    ini.setPath(filePath(record).toStdString());
    writeMain(ini, record);
    SearchOptionsFile::writeSections(ini, values);
    if (!ini.save()) {
        setError(error, reason(ini.lastError()));
        return false;
    }
    // The replaced macros' files go once the new one is safely there (a file of another
    // title only: on a case-sensitive file system "Docs.qdp" and "docs.qdp" are two files).
    for (int k = int(replaced.size()) - 1; k >= 0; --k) {
        const MacroRecord old = m_macros.takeAt(replaced[k]);
        if (old.strFileTitle != record.strFileTitle)
            QFile::remove(filePath(old));
    }
    m_macros.append(record);
    return true;
}

bool MacroList::replaceAll(const QList<MacroRecord>& edited, QString* error)
{
    QSet<QString> kept;
    for (const MacroRecord& m : edited)
        kept.insert(m.strFileTitle);
    bool ok = true;
    for (const MacroRecord& old : std::as_const(m_macros)) {
        if (kept.contains(old.strFileTitle))
            continue;
        QFile file(filePath(old));
        if (file.exists() && !file.remove()) {
            setError(error, file.errorString());
            ok = false;
        }
    }
    m_macros = edited;
    for (const MacroRecord& m : std::as_const(m_macros)) {
        IniFile ini;
        if (!ini.load(filePath(m).toStdString()))
            continue;  // gone meanwhile: applying it reports the missing file
        writeMain(ini, m);
        if (!ini.save()) {
            setError(error, reason(ini.lastError()));
            ok = false;
        }
    }
    return ok;
}

int MacroList::findHotKey(int modifiers, int virtualKey) const
{
    if (virtualKey == 0)
        return -1;
    for (int i = 0; i < count(); ++i)
        if (m_macros[i].wModifier == modifiers && m_macros[i].wVirtual == virtualKey)
            return i;
    return -1;
}

bool MacroList::readOptions(const MacroRecord& macro, SearchOptionsValues& values, QString* error) const
{
    return SearchOptionsFile::open(filePath(macro), values, error);
}
