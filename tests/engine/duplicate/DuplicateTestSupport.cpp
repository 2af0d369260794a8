#include "DuplicateTestSupport.h"

#include <cstdio>
#include <sys/stat.h>

#include "search/Search_Man.h"
#include "tools/Tool_Resource.h"

namespace duptest {

namespace {
FILETIME fromTimespec(const timespec& ts) {
    // Tests only compare times with each other, so UTC ticks serve.
    const uint64_t ticks = (static_cast<uint64_t>(ts.tv_sec) + 11644473600ull) * 10000000ull +
                           static_cast<uint64_t>(ts.tv_nsec) / 100;
    return FILETIME::fromU64(ticks);
}
}  // namespace

std::unique_ptr<Data_FileItem> itemNamed(const std::string& fullPath, int64_t size, int tag, bool folder) {
    auto item = std::make_unique<Data_FileItem>();
    const size_t slash = fullPath.rfind('/');
    item->m_strPath = fullPath.substr(0, slash + 1);
    item->setFileName(fullPath.substr(slash + 1));
    item->m_nSize = size;
    item->m_dwAttributes = folder ? Data_FileItem::ATTR_DIRECTORY : 0;
    item->m_nIconIndex = tag;
    return item;
}

std::unique_ptr<Data_FileItem> itemFor(const std::string& fullPath, int tag) {
    struct stat st {};
    if (::lstat(fullPath.c_str(), &st) != 0)
        return nullptr;
    const bool folder = S_ISDIR(st.st_mode);
    auto item = itemNamed(fullPath, folder ? 0 : static_cast<int64_t>(st.st_size), tag, folder);
    item->m_ftLastWrite = fromTimespec(st.st_mtim);
    item->m_ftLastAccess = fromTimespec(st.st_atim);
    item->m_ftCreation = fromTimespec(st.st_ctim);
    return item;
}

void PrintTo(const Member& m, std::ostream* os) { *os << "{tag " << m.tag << ", group " << m.group << "}"; }

void RecordingReceiver::addResultGroup(std::vector<std::unique_ptr<Data_FileItem>>& group) {
    std::vector<Member> members;
    for (auto& item : group)
        members.push_back({item->m_nIconIndex, item->m_nDupGroup});
    groups.push_back(members);
    for (auto& item : group)
        kept.push_back(std::move(item));
}

void RecordingReceiver::showMessage(std::unique_ptr<std::string> message) {
    messages.push_back(*message);
    if (messages.size() >= stopAfterMessages)
        Search_Man::s_hStopSearchEvent.set();
}

uint32_t PairwiseDuplicateMan::searchPairwise(ISearchResultReciever* receiver, const Duplicate_Rule& rule,
                                              std::vector<std::unique_ptr<Data_FileItem>>& candidates) {
    const int total = static_cast<int>(candidates.size());
    char header[2048];
    std::snprintf(header, sizeof header, Tool_Resource::loadString(114).c_str(), total);
    uint32_t delivered = 0;
    int groupNumber = 1;
    while (!candidates.empty()) {
        if (Search_Man::s_hStopSearchEvent.isSet()) {
            candidates.clear();
            break;
        }
        char percent[64];
        std::snprintf(percent, sizeof percent, "(%.1f %%)",
                      (1.0 - static_cast<double>(candidates.size()) / total) * 100);
        receiver->showMessage(std::make_unique<std::string>(std::string(header) + percent));
        Data_FileItem* p = candidates.front().get();
        if (p->isDirectory()) {
            candidates.erase(candidates.begin());
            continue;
        }
        std::vector<std::unique_ptr<Data_FileItem>> group;
        for (size_t k = 1; k < candidates.size();) {
            Data_FileItem* q = candidates[k].get();
            if (q->isDirectory()) {
                candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(k));
            } else if (compare(rule.iLevel, p, q) == 0) {
                q->m_nDupGroup = groupNumber;
                group.push_back(std::move(candidates[k]));
                candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(k));
            } else {
                ++k;
            }
        }
        if (!group.empty()) {
            p->m_nDupGroup = groupNumber;
            group.push_back(std::move(candidates.front()));
            delivered += static_cast<uint32_t>(group.size());
            receiver->addResultGroup(group);
            ++groupNumber;
        }
        candidates.erase(candidates.begin());
    }
    return delivered;
}

std::vector<std::unique_ptr<Data_FileItem>> cloneAll(const std::vector<std::unique_ptr<Data_FileItem>>& items) {
    std::vector<std::unique_ptr<Data_FileItem>> copies;
    for (const auto& item : items)
        copies.push_back(item->clone());
    return copies;
}

}  // namespace duptest
