// FileMasksGroupCodec: the stored file-mask groups.
#include "options/FileMasksGroupCodec.h"

#include <vector>

#include "platform/CArchive.h"
#include "shell/LanguageText.h"

QByteArray FileMasksGroupCodec::encode(const QList<FileMaskGroup>& groups)
{
    std::vector<uint8_t> bytes;
    CArchive ar(bytes);
    ar.writeU32(static_cast<uint32_t>(groups.size()));
    for (const FileMaskGroup& g : groups) {
        ar.writeString(g.name.toStdString());
        ar.writeCount(static_cast<uint32_t>(g.masks.size()));
        for (const QString& m : g.masks)
            ar.writeString(m.toStdString());
    }
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

bool FileMasksGroupCodec::decode(const QByteArray& blob, QList<FileMaskGroup>& groups)
{
    CArchive ar(reinterpret_cast<const uint8_t*>(blob.constData()), static_cast<size_t>(blob.size()));
    const uint32_t count = ar.readU32();
    QList<FileMaskGroup> read;
    for (uint32_t i = 0; i < count && ar.ok(); ++i) {
        FileMaskGroup g;
        g.name = QString::fromStdString(ar.readString());
        const uint32_t masks = ar.readCount();
        for (uint32_t k = 0; k < masks && ar.ok(); ++k)
            g.masks.append(QString::fromStdString(ar.readString()));
        read.append(g);
    }
    if (!ar.ok())
        return false;
    groups = read;
    return true;
}

QList<FileMaskGroup> FileMasksGroupCodec::load(const QByteArray& blob)
{
    QList<FileMaskGroup> groups;
    if (blob.isEmpty() || !decode(blob, groups) || groups.isEmpty())
        return defaultGroups();
    return groups;
}

QList<FileMaskGroup> FileMasksGroupCodec::defaultGroups()
{
    auto group = [](unsigned text, std::initializer_list<const char*> masks) {
        FileMaskGroup g{LanguageText::plain(text), {}};
        for (const char* m : masks)
            g.masks.append(QString::fromLatin1(m));
        return g;
    };
    return {group(181, {"*.doc", "*.ppt", "*.xls", "*.mdb"}),
            group(182, {"*.mp3", "*.ogg", "*.wma", "*.wav"}),
            group(183, {"*.bmp", "*.jpg", "*.jpeg", "*.tif", "*.tiff", "*.gif", "*.pcx"}),
            group(184, {"*.avi", "*.mpg", "*.wmv", "*.mov"})};
}
