// DialogsDataCodec: the option panels' binary state.
#include "options/DialogsDataCodec.h"

#include <vector>

#include "options/OptionValueLimits.h"
#include "platform/CArchive.h"

namespace {
void putString(CArchive& ar, const QString& s)
{
    ar.writeString(s.toStdString());
}
QString getString(CArchive& ar)
{
    return QString::fromStdString(ar.readString());
}
void putInt(CArchive& ar, int v)
{
    ar.writeU32(static_cast<uint32_t>(v));
}
int getInt(CArchive& ar)
{
    return static_cast<int>(ar.readU32());
}
uint32_t toStoredTime(const QDateTime& t)
{
    const qint64 secs = t.toSecsSinceEpoch();
    return secs < 0 ? 0u : secs > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<uint32_t>(secs);
}

void store(CArchive& ar, const NameLocationValue& v)
{
    putString(ar, v.name.trimmed());
    putString(ar, v.path.trimmed());
    ar.writeCount(static_cast<uint32_t>(v.folders.size()));
    for (const QString& f : v.folders)
        putString(ar, f);
    for (int x : {v.iSearchIn, v.bIncludeSubDir, v.iTargetOption, v.bQuickSearch, v.bSearchInCompressed})
        putInt(ar, x);
}
void load(CArchive& ar, NameLocationValue& v)
{
    v.name = getString(ar);
    v.path = getString(ar);
    const uint32_t count = ar.readCount();
    v.folders.clear();
    for (uint32_t i = 0; i < count && ar.ok(); ++i)
        v.folders.append(getString(ar));
    for (int* x : {&v.iSearchIn, &v.bIncludeSubDir, &v.iTargetOption, &v.bQuickSearch, &v.bSearchInCompressed})
        *x = getInt(ar);
}

void store(CArchive& ar, const DateValue& v)
{
    putInt(ar, v.iDateType);
    putInt(ar, v.iModifyType);
    putInt(ar, v.dwPreviousDate);
    ar.writeU32(toStoredTime(v.from));
    ar.writeU32(toStoredTime(v.to));
    putInt(ar, v.iType);
}
void load(CArchive& ar, DateValue& v)
{
    v.iDateType = getInt(ar);
    v.iModifyType = getInt(ar);
    v.dwPreviousDate = getInt(ar);
    v.from = QDateTime::fromSecsSinceEpoch(ar.readU32());
    v.to = QDateTime::fromSecsSinceEpoch(ar.readU32());
    v.iType = getInt(ar);
}

void store(CArchive& ar, const SizeValue& v)
{
    putInt(ar, v.iLargeSizeDW);
    putInt(ar, v.iSmallSizeDW);
    ar.writeFloat(v.fLargeSize);
    ar.writeFloat(v.fSmallSize);
    putInt(ar, v.iLargeState);
    putInt(ar, v.iSmallState);
}
void load(CArchive& ar, SizeValue& v)
{
    v.iLargeSizeDW = getInt(ar);
    v.iSmallSizeDW = getInt(ar);
    v.fLargeSize = ar.readFloat();
    v.fSmallSize = ar.readFloat();
    v.iLargeState = getInt(ar);
    v.iSmallState = getInt(ar);
}

void store(CArchive& ar, const ContainTextValue& v)
{
    putInt(ar, v.bCaseMain);
    putInt(ar, v.bMainWholeWord);
    putInt(ar, v.bMainNot);
    putString(ar, v.mainText);
    putInt(ar, v.iMainHex);
    putInt(ar, v.iMainType);
    putString(ar, v.userInput);
}
void load(CArchive& ar, ContainTextValue& v)
{
    v.bCaseMain = getInt(ar);
    v.bMainWholeWord = getInt(ar);
    v.bMainNot = getInt(ar);
    v.mainText = getString(ar);
    v.iMainHex = getInt(ar);
    v.iMainType = getInt(ar);
    v.userInput = getString(ar);
}

void store(CArchive& ar, const DuplicateValue& v)
{
    ar.writeU8(v.bEnableDuplicate != 0 ? 1 : 0);
    putInt(ar, v.iLevel);
    putString(ar, v.strEditFolder);
    putString(ar, v.strEditPatterns);
}
void load(CArchive& ar, DuplicateValue& v)
{
    v.bEnableDuplicate = ar.readU8();
    v.iLevel = getInt(ar);
    v.strEditFolder = getString(ar);
    v.strEditPatterns = getString(ar);
}

// Reads one record into a copy and takes it only when the stream is still sound.
template <typename Value>
bool take(CArchive& ar, Value& target)
{
    Value read = target;
    load(ar, read);
    if (!ar.ok())
        return false;
    OptionValueLimits::fix(read);
    target = read;
    return true;
}
}  // namespace

QByteArray DialogsDataCodec::encode(const SearchOptionsValues& values)
{
    std::vector<uint8_t> bytes;
    CArchive ar(bytes);
    store(ar, values.general);
    store(ar, values.date);
    store(ar, values.size);
    store(ar, values.containText);
    store(ar, values.duplicate);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

int DialogsDataCodec::decode(const QByteArray& blob, SearchOptionsValues& values)
{
    CArchive ar(reinterpret_cast<const uint8_t*>(blob.constData()), static_cast<size_t>(blob.size()));
    int taken = 0;
    if (take(ar, values.general))
        ++taken;
    else
        return taken;
    if (take(ar, values.date))
        ++taken;
    else
        return taken;
    if (take(ar, values.size))
        ++taken;
    else
        return taken;
    if (take(ar, values.containText))
        ++taken;
    else
        return taken;
    if (take(ar, values.duplicate))
        ++taken;
    return taken;
}
