// PropertiesDialog: what the program knows about the selected files.
#include "shell/PropertiesDialog.h"

#include <grp.h>
#include <pwd.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMimeDatabase>
#include <QVBoxLayout>

#include "platform/FileTimeConvert.h"
#include "records/Data_FileItem.h"
#include "shell/LanguageText.h"
#include "shell/LocalFileUrl.h"
#include "shell/ResultExport.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kPropertiesText = 663;
constexpr unsigned kNameText = 664;
constexpr unsigned kFolderText = 665;
constexpr unsigned kTypeText = 666;
constexpr unsigned kSizeText = 667;
constexpr unsigned kPermissionsText = 668;
constexpr unsigned kOwnerText = 669;
constexpr unsigned kCountText = 670;
constexpr unsigned kTotalSizeText = 671;
constexpr unsigned kModifiedText = 681;
constexpr unsigned kCreatedText = 682;
constexpr unsigned kAccessedText = 683;

QString sizeText(int64_t bytes)
{
    std::string grouped;
    Tool_Resource::seperateNumberToString(bytes, grouped);
    std::string compact;
    Tool_Resource::formatCompatiableSize(bytes, compact);
    const QString bytesText = QString::fromStdString(grouped) + u' ' + QString::fromStdString(Tool_Resource::loadString(34));
    const QString compactText = QString::fromStdString(compact);
    return compactText == bytesText ? bytesText : compactText + QStringLiteral(" (") + bytesText + u')';
}
}  // namespace

PropertiesDialog::PropertiesDialog(const std::vector<Data_FileItem*>& items, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("propertiesDialog"));
    setWindowTitle(LanguageText::plain(kPropertiesText));
    auto* layout = new QVBoxLayout(this);
    m_form = new QFormLayout;
    layout->addLayout(m_form);
    if (items.size() == 1) {
        Data_FileItem& item = *items.front();
        Data_FileItem shown = item;
        struct stat st {};
        const bool onDisk = !item.m_bInArchive && ::lstat(item.getFullFileName().c_str(), &st) == 0;
        if (onDisk) {
            shown.m_nSize = S_ISDIR(st.st_mode) ? 0 : int64_t(st.st_size);
            shown.m_ftLastWrite = FileTimeConvert::fromTimespec(st.st_mtim);
            shown.m_ftLastAccess = FileTimeConvert::fromTimespec(st.st_atim);
            // Creation: the birth time where the file system keeps one, else the status change.
            struct statx sx {};
            if (::statx(AT_FDCWD, item.getFullFileName().c_str(), AT_SYMLINK_NOFOLLOW, STATX_BTIME, &sx) == 0 &&
                (sx.stx_mask & STATX_BTIME) && sx.stx_btime.tv_sec != 0)
                shown.m_ftCreation = FileTimeConvert::fromTimespec(timespec{sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec});
            else
                shown.m_ftCreation = FileTimeConvert::fromTimespec(st.st_ctim);
            shown.m_strTypeName = QMimeDatabase().mimeTypeForFile(LocalFileUrl::displayPath(item.getFullFileName()))
                                      .comment()
                                      .toStdString();
        }
        addRow(kNameText, LocalFileUrl::displayPath(item.getFileName()));
        addRow(kFolderText, LocalFileUrl::displayPath(item.m_strPath));
        addRow(kTypeText, ResultExport::defaultCellText(shown, 3));
        addRow(kSizeText, sizeText(shown.m_nSize));
        addRow(kModifiedText, ResultExport::defaultCellText(shown, 4));
        addRow(kCreatedText, ResultExport::defaultCellText(shown, 5));
        addRow(kAccessedText, ResultExport::defaultCellText(shown, 6));
        if (onDisk) {
            addRow(kPermissionsText, permissionText(st.st_mode));
            const passwd* user = ::getpwuid(st.st_uid);
            const group* grp = ::getgrgid(st.st_gid);
            addRow(kOwnerText, (user ? QString::fromLocal8Bit(user->pw_name) : QString::number(st.st_uid)) + u':' +
                                   (grp ? QString::fromLocal8Bit(grp->gr_name) : QString::number(st.st_gid)));
        }
    } else {
        int64_t total = 0;
        for (Data_FileItem* item : items)
            total += item->m_nSize;
        addRow(kCountText, LanguageText::get(kCountText).replace(QStringLiteral("%d"), QString::number(items.size())));
        addRow(kTotalSizeText, sizeText(total));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void PropertiesDialog::addRow(unsigned labelText, const QString& value)
{
    auto* field = new QLabel(value, this);
    field->setTextInteractionFlags(Qt::TextSelectableByMouse);
    field->setTextFormat(Qt::PlainText);
    field->setAccessibleName(LanguageText::plain(labelText));
    m_form->addRow(labelText == kCountText ? QString() : LanguageText::get(labelText), field);
    m_values.emplace_back(labelText, value);
}

QString PropertiesDialog::value(unsigned labelText) const
{
    for (const auto& [id, text] : m_values)
        if (id == labelText)
            return text;
    return {};
}

QString PropertiesDialog::permissionText(unsigned mode)
{
    static const char letters[] = "rwxrwxrwx";
    QString out;
    for (int i = 0; i < 9; ++i)
        out += (mode & (0400u >> i)) ? QChar::fromLatin1(letters[i]) : u'-';
    return out;
}
