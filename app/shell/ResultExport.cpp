// ResultExport: file list and CSV texts of the result list.
#include "shell/ResultExport.h"

#include <QMimeDatabase>

#include <cstdio>

#include "platform/AtomicFileWriter.h"
#include "platform/FileTimeConvert.h"
#include "records/Data_FileItem.h"
#include "shell/IResultListAccess.h"
#include "tools/Tool_Resource.h"

namespace {

QByteArray bytesOf(const std::string& s)
{
    return QByteArray(s.data(), qsizetype(s.size()));
}

QString timeText(const FILETIME& ft)
{
    if (ft.toU64() == 0)
        return {};
    const LocalDateTime t = FileTimeConvert::toLocalDateTime(ft);
    char text[64];
    std::snprintf(text, sizeof text, "%02d-%02d-%04d %02d:%02d:%02d", t.month, t.day, t.year, t.hour, t.minute,
                  t.second);
    return QString::fromLatin1(text);
}

}  // namespace

QByteArray ResultExport::fileListText(IResultListAccess& list)
{
    QByteArray out;
    const int rows = list.rowCount();
    for (int r = 0; r < rows; ++r) {
        out += bytesOf(list.itemAt(r).getFileName());
        out += '\n';
    }
    return out;
}

QByteArray ResultExport::csvQuoted(const QByteArray& value)
{
    QByteArray out = value;
    out.replace("\"", "\"\"");
    return out;
}

QByteArray ResultExport::csvText(IResultListAccess& list, const Columns& columns, const QStringList& captions,
                                 const CellText& cellText)
{
    QByteArray out;
    for (int c = 0; c < kColumnCount; ++c) {
        if (!columns[size_t(c)])
            continue;
        if (c > 0)
            out += ',';
        out += '"';
        out += csvQuoted(c < captions.size() ? captions[c].toUtf8() : QByteArray());
        out += '"';
    }
    const int rows = list.rowCount();
    for (int r = 0; r < rows; ++r) {
        Data_FileItem& item = list.itemAt(r);
        out += "\r\n";
        for (int c = 0; c < kColumnCount; ++c) {
            if (!columns[size_t(c)])
                continue;
            if (c == 0) {
                out += '"';
                out += csvQuoted(bytesOf(item.getFileName()));
            } else {
                out += ",\"";
                out += csvQuoted(cellText ? cellText(item, c).toUtf8() : QByteArray());
            }
            out += '"';
        }
    }
    return out;
}

QString ResultExport::defaultCellText(Data_FileItem& item, int column)
{
    switch (column) {
    case 0: return QString::fromStdString(item.getFileName());
    case 1: return QString::fromStdString(item.m_strPath);
    case 2: {
        std::string size;
        Tool_Resource::seperateNumberToString(item.m_nSize, size);
        return QString::fromStdString(size) + u' ' + QString::fromStdString(Tool_Resource::loadString(34));
    }
    case 3:
        if (!item.m_strTypeName.empty())
            return QString::fromStdString(item.m_strTypeName);
        if (item.isDirectory())
            return QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory")).comment();
        return QMimeDatabase().mimeTypeForFile(QString::fromStdString(item.getFileName()), QMimeDatabase::MatchExtension).comment();
    case 4: return timeText(item.m_ftLastWrite);
    case 5: return timeText(item.m_ftCreation);
    case 6: return timeText(item.m_ftLastAccess);
    case 7: {
        QString letters;
        if (item.m_dwAttributes & Data_FileItem::ATTR_READONLY)
            letters += u'R';
        if (item.m_dwAttributes & Data_FileItem::ATTR_HIDDEN)
            letters += u'H';
        if (item.m_dwAttributes & Data_FileItem::ATTR_SYSTEM)
            letters += u'S';
        return letters;
    }
    default: return {};
    }
}

bool ResultExport::writeFile(const std::string& path, const QByteArray& bytes)
{
    AtomicFileWriter writer;
    if (!writer.open(path, AtomicFileWriter::Links::Follow))
        return false;
    return writer.write(bytes.constData(), size_t(bytes.size())) && writer.commit();
}
