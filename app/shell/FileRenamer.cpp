// FileRenamer: renames that refuse to replace.
#include "shell/FileRenamer.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QString>

#include <cerrno>

#include "shell/LocalFileUrl.h"

int FileRenamer::renameNoReplace(const std::string& from, const std::string& to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    const int err = errno;
    if (err != EINVAL && err != ENOSYS && err != ENOTSUP)
        return err;
    // The file system cannot refuse by itself: check first (a narrow race remains).
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0)
        return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool FileRenamer::isValidName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

int FileRenamer::rename(const std::string& folder, const std::string& oldName, const std::string& newName)
{
    if (!isValidName(newName) || !isValidName(oldName))
        return EINVAL;
    if (oldName == newName)
        return 0;
    const std::string from = folder + oldName;
    const std::string to = folder + newName;
    const int err = renameNoReplace(from, to);
    if (err != EEXIST)
        return err;
    // Taken: by this very file (a case-insensitive file system), or by another one.
    struct stat a {}, b {};
    if (::lstat(from.c_str(), &a) != 0 || ::lstat(to.c_str(), &b) != 0)
        return EEXIST;
    if (a.st_dev != b.st_dev || a.st_ino != b.st_ino)
        return EEXIST;
    for (int n = 0; n < 100; ++n) {
        const std::string temp = folder + ".~qdrename" + std::to_string(::getpid()) + "-" + std::to_string(n);
        const int e = renameNoReplace(from, temp);
        if (e == EEXIST)
            continue;
        if (e != 0)
            return e;
        const int back = renameNoReplace(temp, to);
        if (back == 0)
            return 0;
        ::rename(temp.c_str(), from.c_str());  // put it back under its old name
        return back;
    }
    return EEXIST;
}

std::string FileRenamer::changeCase(const std::string& name, Case to)
{
    if (LocalFileUrl::isRepresentable(name)) {
        const QString text = QString::fromUtf8(name.data(), qsizetype(name.size()));
        const QByteArray out = (to == Case::Upper ? text.toUpper() : text.toLower()).toUtf8();
        return std::string(out.constData(), size_t(out.size()));
    }
    std::string out = name;
    for (char& c : out) {
        if (to == Case::Upper && c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        else if (to == Case::Lower && c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
    return out;
}
