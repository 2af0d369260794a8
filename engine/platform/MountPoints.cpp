#include "platform/MountPoints.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

constexpr std::array<std::string_view, 19> kDiskFileSystems = {
    "ext2", "ext3", "ext4", "xfs", "btrfs", "bcachefs", "vfat", "msdos", "exfat", "ntfs",
    "ntfs3", "f2fs", "jfs", "reiserfs", "zfs", "nilfs2", "hfs", "hfsplus", "ufs"};

bool isOctal(char c) { return c >= '0' && c <= '7'; }

std::vector<std::string_view> splitBlanks(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

}  // namespace

bool MountPoints::isLocalDiskFileSystem(std::string_view type) {
    return std::find(kDiskFileSystems.begin(), kDiskFileSystems.end(), type) != kDiskFileSystems.end();
}

std::string MountPoints::decodeMountField(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            const int value = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
            if (value > 0 && value < 256) {
                out += static_cast<char>(value);
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::vector<std::string> MountPoints::parseLocalDiskMounts(std::string_view text) {
    std::vector<std::string> out;
    while (!text.empty()) {
        const size_t nl = text.find('\n');
        const std::string_view line = text.substr(0, nl);
        text = nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1);
        const auto fields = splitBlanks(line);
        if (fields.size() < 3 || !isLocalDiskFileSystem(fields[2]))
            continue;
        std::string point = decodeMountField(fields[1]);
        if (point.empty() || point[0] != '/')
            continue;
        while (point.size() > 1 && point.back() == '/')
            point.pop_back();
        out.push_back(std::move(point));
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

std::vector<std::string> MountPoints::localDiskMounts() {
    std::ifstream file("/proc/self/mounts", std::ios::binary);
    if (!file)
        return {};
    std::ostringstream text;
    text << file.rdbuf();
    std::vector<std::string> points = parseLocalDiskMounts(text.str());
    std::erase_if(points, [](const std::string& p) {
        struct stat st {};
        return ::stat(p.c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
    });
    return points;
}
