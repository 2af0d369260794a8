#include "shell/AppSettings.h"

#include <algorithm>
#include <limits>
#include <map>
#include <string>
#include <vector>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include "engine/platform/AtomicFileWriter.h"
#include "engine/platform/CArchive.h"
#include "engine/tools/Tool_Resource.h"

namespace {

const QString kGroup = QStringLiteral("Settings/");
const QString kOpenAsPrefix = QStringLiteral("OpenAsMenuPrefix");
const QString kIndexPathPrefix = QStringLiteral("IndexPath");

QString qs(const std::string& utf8) { return QString::fromStdString(utf8); }

QString fullKey(const QString& key) { return kGroup + key; }

// The numbers n of the keys "<prefix><n>" among `keys` that are below `limit`, ascending.
// Walking the stored keys (rather than 0..limit) keeps a huge stored count from stalling.
std::vector<int> numberedKeys(const QStringList& keys, const QString& prefix, int limit) {
    std::vector<int> out;
    for (const QString& key : keys) {
        if (!key.startsWith(prefix) || key.size() == prefix.size())
            continue;
        bool ok = false;
        const QStringView digits = QStringView(key).mid(prefix.size());
        const int n = digits.toInt(&ok);
        // Only the canonical spelling ("IndexPath3", not "IndexPath03" or "IndexPath+3").
        if (ok && n >= 0 && n < limit && QString::number(n) == digits)
            out.push_back(n);
    }
    std::sort(out.begin(), out.end());
    return out;
}

AppSettings::ValueType valueTypeOf(int) { return AppSettings::ValueType::Int; }
AppSettings::ValueType valueTypeOf(const QString&) { return AppSettings::ValueType::String; }
AppSettings::ValueType valueTypeOf(const QByteArray&) { return AppSettings::ValueType::Binary; }

// Typed reads: a missing value, or one of the wrong kind, gives the default.
int readValue(const QSettings& store, const QString& key, int defaultValue) {
    bool ok = false;
    const int n = store.value(fullKey(key)).toInt(&ok);
    return ok ? n : defaultValue;
}
QString readValue(const QSettings& store, const QString& key, const QString& defaultValue) {
    const QVariant v = store.value(fullKey(key));
    if (!v.isValid())
        return defaultValue;
    // A hand-edited value with unquoted commas reads as a list.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}
QByteArray readValue(const QSettings& store, const QString& key, const QByteArray& defaultValue) {
    const QVariant v = store.value(fullKey(key));
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray() : defaultValue;
}
int readValue(const QSettings& store, const char* key, int d) { return readValue(store, QLatin1String(key), d); }
QString readValue(const QSettings& store, const char* key, const QString& d) {
    return readValue(store, QString(QLatin1String(key)), d);
}
QByteArray readValue(const QSettings& store, const char* key, const QByteArray& d) {
    return readValue(store, QString(QLatin1String(key)), d);
}

void writeValue(QSettings& store, const QString& key, int value) { store.setValue(fullKey(key), value); }
void writeValue(QSettings& store, const QString& key, const QString& value) { store.setValue(fullKey(key), value); }
// An empty blob is not stored.
void writeValue(QSettings& store, const QString& key, const QByteArray& value) {
    if (value.isEmpty())
        store.remove(fullKey(key));
    else
        store.setValue(fullKey(key), value);
}
template <class T>
void writeValue(QSettings& store, const char* key, const T& value) {
    writeValue(store, QString(QLatin1String(key)), value);
}

// Removes "<prefix><n>" keys with n >= `count`, left by a longer list saved earlier.
void removeNumberedFrom(QSettings& store, const QString& prefix, int count) {
    store.beginGroup(QStringLiteral("Settings"));
    const QStringList keys = store.childKeys();
    store.endGroup();
    for (int n : numberedKeys(keys, prefix, std::numeric_limits<int>::max()))
        if (n >= count)
            store.remove(fullKey(prefix + QString::number(n)));
}

}  // namespace

// ---- records ------------------------------------------------------------------------------

QStringList SearchDisplayOptions::defaultPatternExtensions() {
    return {QStringLiteral("doc"), QStringLiteral("xls"), QStringLiteral("ppt"), QStringLiteral("mp3"),
            QStringLiteral("avi"), QStringLiteral("htm"), QStringLiteral("html"), QStringLiteral("mpg"),
            QStringLiteral("txt"), QStringLiteral("exe")};
}

QStringList IndexedPaths::localDriveRoots() {
    std::vector<std::string> roots;
    Tool_Resource::getLogicalDriveString(roots, true);
    QStringList out;
    for (std::string& root : roots) {
        while (root.size() > 1 && root.back() == '/')
            root.pop_back();
        out.append(qs(root));
    }
    return out;
}

QByteArray ExcludeList::encode() const {
    std::vector<uint8_t> bytes;
    CArchive ar(bytes);
    for (const QStringList* list : {&folders, &extensions}) {
        ar.writeCount(static_cast<uint32_t>(list->size()));
        for (const QString& s : *list)
            ar.writeString(s.toStdString());
    }
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

bool ExcludeList::decode(const QByteArray& blob) {
    CArchive ar(reinterpret_cast<const uint8_t*>(blob.constData()), static_cast<size_t>(blob.size()));
    QStringList lists[2];
    for (QStringList& list : lists) {
        const uint32_t count = ar.readCount();
        for (uint32_t i = 0; i < count && ar.ok(); ++i)
            list.append(qs(ar.readString()));
    }
    if (!ar.ok())
        return false;
    folders = lists[0];
    extensions = lists[1];
    return true;
}

// ---- the store ----------------------------------------------------------------------------

AppSettings::AppSettings() : AppSettings(defaultFilePath(), loadedColumnCaptions()) {}

AppSettings::AppSettings(const QString& iniPath, const QStringList& columnCaptions)
    : m_path(iniPath), m_columnCaptions(columnCaptions),
      m_store(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {
    if (m_indexTime.IndexCacheLocation.isEmpty())
        m_indexTime.IndexCacheLocation =
            QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Quendrel");
}

AppSettings::~AppSettings() = default;

QString AppSettings::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Quendrel/Quendrel.ini");
}

QStringList AppSettings::loadedColumnCaptions() {
    QStringList out;
    for (unsigned id : ColumnFlags::kCaptionIds)
        out.append(qs(Tool_Resource::loadString(id)));
    return out;
}

const QList<AppSettings::KeyInfo>& AppSettings::keyTable() {
    static const QList<KeyInfo> table = [] {
        QList<KeyInfo> t;
#define QUENDREL_ROW_(type, member, key, def) \
    t.append({key, valueTypeOf(type(def)), QVariant::fromValue(type(def)), record});
        Record record = Record::General;
        QUENDREL_GENERAL_KEYS(QUENDREL_ROW_)
        record = Record::SearchDisplay;
        QUENDREL_SEARCH_DISPLAY_KEYS(QUENDREL_ROW_)
        record = Record::Frame;
        QUENDREL_FRAME_KEYS(QUENDREL_ROW_)
        record = Record::Placement;
        QUENDREL_PLACEMENT_KEYS(QUENDREL_ROW_)
        record = Record::IndexTime;
        QUENDREL_INDEX_TIME_KEYS(QUENDREL_ROW_)
        record = Record::Exclude;
        QUENDREL_EXCLUDE_KEYS(QUENDREL_ROW_)
        record = Record::Panels;
        QUENDREL_PANEL_KEYS(QUENDREL_ROW_)
#undef QUENDREL_ROW_
        return t;
    }();
    return table;
}

QString AppSettings::columnKey(int column) const {
    QString caption = m_columnCaptions.value(column);
    caption.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return QStringLiteral("show_") + caption;
}

// ---- load and save ------------------------------------------------------------------------

#define QUENDREL_LOAD_(type, member, key, def) rec.member = readValue(*m_store, key, type(def));
#define QUENDREL_SAVE_(type, member, key, def) writeValue(*m_store, key, rec.member);

void AppSettings::load() {
    {
        auto& rec = m_frame;
        rec.iButtonState = readValue(*m_store, "iButtonState", 1);
        rec.strLastIndexTime = readValue(*m_store, "strLastIndexTime", QString());
    }
    loadColumnFlags();
    {
        auto& rec = m_general;
        QUENDREL_GENERAL_KEYS(QUENDREL_LOAD_)
    }
    {
        auto& rec = m_searchDisplay;
        QUENDREL_SEARCH_DISPLAY_KEYS(QUENDREL_LOAD_)
        rec.patternExtensions = decodePatternString(m_store->value(fullKey(QStringLiteral("PatternString"))));
    }
    loadIndexedPaths();
    {
        auto& rec = m_indexTime;
        QUENDREL_INDEX_TIME_KEYS(QUENDREL_LOAD_)
        if (rec.IndexCacheLocation.isEmpty())
            rec.IndexCacheLocation =
                QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Quendrel");
    }
    loadExcludeList();
    loadOpenWith();
    {
        auto& rec = m_frame;
        QUENDREL_FRAME_KEYS(QUENDREL_LOAD_)
    }
    {
        auto& rec = m_panels;
        QUENDREL_PANEL_KEYS(QUENDREL_LOAD_)
    }
}

bool AppSettings::save() {
    beginWrite();
    writeValue(*m_store, "iButtonState", m_frame.iButtonState);
    writeValue(*m_store, "strLastIndexTime", m_frame.strLastIndexTime);
    saveColumnFlags();
    {
        auto& rec = m_general;
        QUENDREL_GENERAL_KEYS(QUENDREL_SAVE_)
    }
    {
        auto& rec = m_searchDisplay;
        QUENDREL_SEARCH_DISPLAY_KEYS(QUENDREL_SAVE_)
        writeValue(*m_store, "PatternString", encodePatternString(rec.patternExtensions));
    }
    saveIndexedPaths();
    {
        auto& rec = m_indexTime;
        QUENDREL_INDEX_TIME_KEYS(QUENDREL_SAVE_)
    }
    saveExcludeList();
    {
        auto& rec = m_frame;
        QUENDREL_FRAME_KEYS(QUENDREL_SAVE_)
    }
    {
        auto& rec = m_panels;
        QUENDREL_PANEL_KEYS(QUENDREL_SAVE_)
    }
    saveOpenWith();
    return flush();
}

void AppSettings::loadPlacement() {
    auto& rec = m_placement;
    QUENDREL_PLACEMENT_KEYS(QUENDREL_LOAD_)
}

bool AppSettings::savePlacement() {
    beginWrite();
    auto& rec = m_placement;
    QUENDREL_PLACEMENT_KEYS(QUENDREL_SAVE_)
    return flush();
}

#undef QUENDREL_LOAD_
#undef QUENDREL_SAVE_

// Writing: QSettings, when a write fails part-way (a full disk, a file-size limit), can
// rename a cut file over the good one and still report success. So the new contents are
// written to a scratch file, read back and compared key by key, and only then put in place
// by AtomicFileWriter (which does see every failed write).
namespace {
int s_scratchNumber = 0;
}  // namespace

void AppSettings::beginWrite() {
    const QFileInfo target(m_path);
    QDir().mkpath(target.absolutePath());
    m_scratchPath = target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".~new") +
                    QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
                    QString::number(++s_scratchNumber);
    QFile::remove(m_scratchPath);
    const QSettings current(m_path, QSettings::IniFormat);
    m_store = std::make_unique<QSettings>(m_scratchPath, QSettings::IniFormat);
    // Keys this program does not write (another language's "show_" keys) are kept.
    for (const QString& key : current.allKeys())
        m_store->setValue(key, current.value(key));
}

namespace {
QByteArray canonical(const QVariant& v) {
    return v.typeId() == QMetaType::QByteArray ? QByteArray("b:") + v.toByteArray()
                                               : QByteArray("s:") + v.toString().toUtf8();
}
}  // namespace

bool AppSettings::flush() {
    m_store->sync();
    bool ok = m_store->status() == QSettings::NoError;
    QByteArray bytes;
    if (ok) {
        QFile scratch(m_scratchPath);
        ok = scratch.open(QIODevice::ReadOnly);
        bytes = scratch.readAll();
    }
    // QSettings shares one parsed copy per file name between its objects, so the check
    // reads the bytes under a name never used before.
    static int s_checks = 0;
    const QString checkPath = m_scratchPath + QStringLiteral(".chk") + QString::number(++s_checks);
    if (ok) {
        QFile copy(checkPath);
        ok = copy.open(QIODevice::WriteOnly) && copy.write(bytes) == bytes.size() && copy.flush();
    }
    if (ok) {
        const QSettings check(checkPath, QSettings::IniFormat);
        const QStringList keys = m_store->allKeys();
        ok = check.status() == QSettings::NoError && check.allKeys().size() == keys.size();
        for (const QString& key : keys)
            if (ok && canonical(check.value(key)) != canonical(m_store->value(key)))
                ok = false;
    }
    QFile::remove(checkPath);
    if (ok) {
        AtomicFileWriter writer;
        ok = writer.open(QFile::encodeName(m_path).toStdString()) &&
             writer.write(bytes.constData(), size_t(bytes.size())) && writer.commit();
    }
    m_store = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    QFile::remove(m_scratchPath);
    return ok;
}

void AppSettings::loadColumnFlags() {
    for (int i = 0; i < ColumnFlags::kColumnCount; ++i)
        m_columns.show[i] = readValue(*m_store, columnKey(i), ColumnFlags().show[i]);
}

void AppSettings::saveColumnFlags() {
    for (int i = 0; i < ColumnFlags::kColumnCount; ++i)
        writeValue(*m_store, columnKey(i), m_columns.show[i]);
}

void AppSettings::loadIndexedPaths() {
    const int count = readValue(*m_store, "IndexedPathNum", -1);
    if (count < 0)
        return;  // never saved: the drive roots stay
    m_store->beginGroup(QStringLiteral("Settings"));
    const QStringList keys = m_store->childKeys();
    m_store->endGroup();
    m_indexedPaths.paths.clear();
    for (int n : numberedKeys(keys, kIndexPathPrefix, count)) {
        const QString path = readValue(*m_store, kIndexPathPrefix + QString::number(n), QString());
        if (!path.isEmpty())
            m_indexedPaths.paths.append(path);
    }
}

void AppSettings::saveIndexedPaths() {
    const QStringList& paths = m_indexedPaths.paths;
    writeValue(*m_store, "IndexedPathNum", static_cast<int>(paths.size()));
    for (int i = 0; i < paths.size(); ++i)
        writeValue(*m_store, kIndexPathPrefix + QString::number(i), paths[i]);
    removeNumberedFrom(*m_store, kIndexPathPrefix, static_cast<int>(paths.size()));
}

void AppSettings::loadExcludeList() {
    auto& rec = m_exclude;
#define QUENDREL_LOAD_(type, member, key, def) rec.member = readValue(*m_store, key, type(def));
    QUENDREL_EXCLUDE_KEYS(QUENDREL_LOAD_)
#undef QUENDREL_LOAD_
    const QByteArray blob = readValue(*m_store, "ExcludeList", QByteArray());
    // A damaged blob keeps the initial lists rather than half of the stored ones.
    if (!blob.isEmpty())
        rec.decode(blob);
}

void AppSettings::saveExcludeList() {
    auto& rec = m_exclude;
#define QUENDREL_SAVE_(type, member, key, def) writeValue(*m_store, key, rec.member);
    QUENDREL_EXCLUDE_KEYS(QUENDREL_SAVE_)
#undef QUENDREL_SAVE_
    writeValue(*m_store, "ExcludeList", rec.encode());
}

namespace {
constexpr int kMaxOpenWithEntries = 1000;
const char* const kOpenWithSuffixes[3] = {"_Title", "_Program", "_Params"};
QString openWithKey(int suffix, int i) {
    return kOpenAsPrefix + QLatin1String(kOpenWithSuffixes[suffix]) + QString::number(i);
}
}  // namespace

void AppSettings::loadOpenWith() {
    m_openWith.clear();
    // Entries 0..count-1, absent keys reading as empty texts. The menu could not show more
    // than a few hundred; the cap keeps a damaged count from stalling the start.
    const int count = std::min(readValue(*m_store, "OpenAsMenuNumber", 0), kMaxOpenWithEntries);
    for (int i = 0; i < count; ++i) {
        OpenWithEntry e;
        e.title = readValue(*m_store, openWithKey(0, i), QString());
        e.program = readValue(*m_store, openWithKey(1, i), QString());
        e.params = readValue(*m_store, openWithKey(2, i), QString());
        m_openWith.append(e);
    }
}

void AppSettings::saveOpenWith() {
    writeValue(*m_store, "OpenAsMenuNumber", static_cast<int>(m_openWith.size()));
    for (int i = 0; i < m_openWith.size(); ++i) {
        writeValue(*m_store, openWithKey(0, i), m_openWith[i].title);
        writeValue(*m_store, openWithKey(1, i), m_openWith[i].program);
        writeValue(*m_store, openWithKey(2, i), m_openWith[i].params);
    }
    for (int s = 0; s < 3; ++s)
        removeNumberedFrom(*m_store, kOpenAsPrefix + QLatin1String(kOpenWithSuffixes[s]),
                           static_cast<int>(m_openWith.size()));
}

// ---- "PatternString" ----------------------------------------------------------------------

QString AppSettings::encodePatternString(const QStringList& extensions) {
    QString text;
    for (int i = 0; i < extensions.size(); ++i) {
        if (i > 0)
            text += QLatin1Char(',');
        text += extensions[i].isEmpty() ? QStringLiteral(" ") : extensions[i];
    }
    while (text.endsWith(QLatin1Char(',')))
        text.chop(1);
    return text.isEmpty() ? QStringLiteral(" ") : text;
}

QStringList AppSettings::decodePatternString(const QVariant& stored) {
    QString text;
    if (stored.typeId() == QMetaType::QStringList)
        text = stored.toStringList().join(QLatin1Char(','));
    else if (stored.isValid())
        text = stored.toString();
    if (text.isEmpty())
        return SearchDisplayOptions::defaultPatternExtensions();
    if (text == QLatin1String(" "))
        return {};
    std::vector<std::string> parts;
    Tool_Resource::separateString(text.toStdString(), parts);
    QStringList out;
    for (const std::string& part : parts)
        out.append(qs(part));
    return out;
}
