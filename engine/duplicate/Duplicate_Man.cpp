#include "duplicate/Duplicate_Man.h"

#include <cerrno>
#include <charconv>
#include <cstring>

#include "duplicate/Duplicate_Classifier.h"
#include "duplicate/Duplicate_FileContent.h"
#include "records/ISearchResultReciever.h"
#include "platform/Event.h"
#include "tools/Tool_Resource.h"

namespace {
constexpr unsigned kProgressHeaderString = 114;

template <typename T>
int order(T a, T b) {
    return a < b ? -1 : (a > b ? 1 : 0);
}

uint64_t timeValue(const FILETIME& ft) {
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}
}  // namespace

std::string Duplicate_Man::formatHeader(const std::string& format, size_t total) {
    std::string out;
    bool numberPlaced = false;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%') {
            out += format[i];
            continue;
        }
        if (i + 1 < format.size() && format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // A conversion "%[flags][width]d": only the first one takes the number.
        size_t j = i + 1;
        bool leftAlign = false, zeroPad = false;
        while (j < format.size() && std::strchr("-+ 0#", format[j])) {
            leftAlign |= format[j] == '-';
            zeroPad |= format[j] == '0';
            ++j;
        }
        size_t width = 0;
        while (j < format.size() && format[j] >= '0' && format[j] <= '9' && width < 1000)
            width = width * 10 + static_cast<size_t>(format[j++] - '0');
        if (numberPlaced || j >= format.size() || (format[j] != 'd' && format[j] != 'i' && format[j] != 'u')) {
            out += '%';   // not ours to interpret: shown as it stands
            continue;
        }
        std::string number = std::to_string(total);
        if (number.size() < width) {
            const size_t pad = width - number.size();
            if (leftAlign)
                number.append(pad, ' ');
            else
                number.insert(0, pad, zeroPad ? '0' : ' ');
        }
        out += number;
        numberPlaced = true;
        i = j;
    }
    return out;
}

std::string Duplicate_Man::formatProgress(const std::string& header, size_t remaining, size_t total) {
    const double done =
        total == 0 ? 0.0 : (1.0 - static_cast<double>(remaining) / static_cast<double>(total)) * 100.0;
    char number[64];
    const auto result = std::to_chars(number, number + sizeof number, done, std::chars_format::fixed, 1);
    return header + "(" + std::string(number, result.ptr) + " %)";
}

int Duplicate_Man::compare(int level, Data_FileItem* a, Data_FileItem* b) {
    switch (level) {
    case 0: {
        const std::string nameA = Duplicate_Classifier::foldName(a->getFileName());
        const std::string nameB = Duplicate_Classifier::foldName(b->getFileName());
        const int c = nameA.compare(nameB);
        return order(c, 0);
    }
    case 1:
        return order(a->m_nSize, b->m_nSize);
    case 2:
        return order(timeValue(a->m_ftLastWrite), timeValue(b->m_ftLastWrite));
    case 3: {
        if (a->m_nSize != b->m_nSize)
            return 1;
        uint32_t crcA = 0, crcB = 0;
        if (!Duplicate_FileContent::itemCRC32(*a, crcA) || !Duplicate_FileContent::itemCRC32(*b, crcB))
            return 1;
        return crcA == crcB ? 0 : 1;
    }
    case 4: {
        if (a->m_nSize != b->m_nSize)
            return 1;
        uint8_t md5A[16], md5B[16];
        if (!Duplicate_FileContent::itemMD5(*a, md5A) || !Duplicate_FileContent::itemMD5(*b, md5B))
            return 1;
        return Tool_Resource::compareMD5Value(md5A, md5B);
    }
    case 5:
        if (a->m_nSize != b->m_nSize)
            return 1;
        return compareBBB(a, b);
    default:
        return 0;
    }
}

int Duplicate_Man::compareBBB(Data_FileItem* a, Data_FileItem* b) {
    return Duplicate_FileContent::equalFiles(a->getFullFileName(), b->getFullFileName()) ? 0 : 1;
}

uint32_t Duplicate_Man::search(ISearchResultReciever* receiver, const Duplicate_Rule& rule,
                               std::vector<std::unique_ptr<Data_FileItem>>& candidates) {
    const size_t total = candidates.size();
    const std::string header = formatHeader(Tool_Resource::loadString(kProgressHeaderString), total);
    Duplicate_Classifier classes(rule.iLevel, candidates, m_stop);
    size_t groupable = 0;
    for (const auto& item : candidates)
        groupable += Duplicate_Classifier::isGroupable(item.get()) ? 1 : 0;

    // Steps follow the pairwise scan: each step takes the first remaining candidate. Folders
    // before the first file are steps of their own; the first file's scan drops every later
    // folder; a file's step takes its whole class out of the list.
    bool fileSeen = false;
    size_t taken = 0;   // files gone with earlier steps
    uint32_t delivered = 0;
    int32_t groupNumber = 1;
    for (size_t i = 0; i < total; ++i) {
        if (!candidates[i])
            continue;   // taken by an earlier step
        const bool file = Duplicate_Classifier::isGroupable(candidates[i].get());
        if (file && !classes.resolve(i))
            break;
        if (m_stop && m_stop->isSet())
            break;
        const size_t remaining = fileSeen ? groupable - taken : total - i;
        if (receiver && receiver->wantsMessages())
            receiver->showMessage(std::make_unique<std::string>(formatProgress(header, remaining, total)));
        if (!file) {
            candidates[i].reset();
            continue;
        }
        if (!fileSeen) {
            fileSeen = true;
            for (size_t j = i + 1; j < total; ++j)
                if (candidates[j] && !Duplicate_Classifier::isGroupable(candidates[j].get()))
                    candidates[j].reset();
        }
        const std::vector<uint32_t>& members = classes.classOf(i);
        taken += members.size();
        if (members.size() < 2) {
            // A file that could not be read is alone in its class; one that vanished is not
            // worth telling about.
            const int error = classes.readError(i);
            if (receiver && error != 0 && error != ENOENT && error != ENOTDIR)
                receiver->entryUnreadable(candidates[i]->getFullFileName(), error);
            candidates[i].reset();
            continue;
        }
        std::vector<std::unique_ptr<Data_FileItem>> group;
        group.reserve(members.size());
        for (uint32_t m : members)
            if (m != i)
                group.push_back(std::move(candidates[m]));
        group.push_back(std::move(candidates[i]));
        for (auto& item : group)
            item->m_nDupGroup = groupNumber;
        ++groupNumber;
        delivered += static_cast<uint32_t>(group.size());
        if (receiver)
            receiver->addResultGroup(group);
    }
    candidates.clear();   // whatever is left had no partner, or the search was stopped
    return delivered;
}
