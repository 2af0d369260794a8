// Search_Man: the tests of one item against the rule, shared by the disk walk, the archive
// lister, the search in results and the index search.
#include <fcntl.h>

#include "content/Search_CT.h"
#include "search/Search_ScannerPool.h"
#include "records/Data_FileItem.h"
#include "tools/FileNameSplit.h"
#include "records/ISearchResultReciever.h"
#include "search/Search_Man.h"
#include "records/FileNameGroupMatch.h"
#include "records/Search_Rule.h"
#include "tools/Tool_Resource.h"
#include "tools/Tool_WCComp.h"

void Search_Man::setCurrentRootFolder(const std::string& root) {
    m_strCurRootFolder = root;
    size_t n = root.size();
    while (n > 0 && root[n - 1] == '/')
        --n;
    m_nRootPrefix = n;
}

std::string Search_Man::relativeFolderOf(const std::string& itemFolder) const {
    if (itemFolder.size() <= m_nRootPrefix || itemFolder[m_nRootPrefix] != '/' ||
        itemFolder.compare(0, m_nRootPrefix, m_strCurRootFolder, 0, m_nRootPrefix) != 0)
        return {};
    return itemFolder.substr(m_nRootPrefix);
}

bool Search_Man::isMatched(Data_FileItem& item, const Search_Rule& rule, const Groups& groups,
                           ISearchResultReciever* receiver, bool suppressMessages, int folderFd) {
    if (!compareAdvanceProperty(item, rule))
        return false;
    const bool isFolder = item.isDirectory() != 0;
    if (rule.iTargetOption == 0 && isFolder)
        return false;
    if (rule.iTargetOption == 1 && !isFolder)
        return false;
    const bool withContent = !rule.containText.empty();
    // Content is never searched inside archives, and a folder has no content to search.
    if (withContent && (item.m_bInArchive || isFolder))
        return false;
    if (!withContent && !suppressMessages && !rule.duplicate.bEnable)
        showSearchMessage(item.m_strPath, receiver);
    if (groups.empty())
        return false;

    // The folder below the walk's root, for path patterns: it starts and ends with '/'
    // whether or not the root was given with a trailing '/'. Outside a walk (no root, or
    // an item not below it) it is the whole folder.
    const char* relative = item.m_strPath.c_str();
    size_t relativeLength = item.m_strPath.size();
    if (rule.bMatchPath && m_nRootPrefix > 0 && relativeLength > m_nRootPrefix &&
        item.m_strPath[m_nRootPrefix] == '/' &&
        item.m_strPath.compare(0, m_nRootPrefix, m_strCurRootFolder, 0, m_nRootPrefix) == 0) {
        relative += m_nRootPrefix;
        relativeLength -= m_nRootPrefix;
    }

    std::string nameScratch;
    for (const auto& group : groups) {
        std::string_view title = item.m_strTitle, ext = item.m_strExt;
        FileNameSplit::forPattern(title, ext, FileNameSplit::dotsIn(group->strExtPattern), nameScratch);
        const std::string& extPattern = group->strExtPattern;
        if (Tool_WCComp::comparePattenString(extPattern.data(), static_cast<int>(extPattern.size()), ext.data(),
                                             static_cast<int>(ext.size()), false) != 0)
            continue;
        const bool namesMatch =
            FileNameGroupMatch::compareFileGroup(group.get(), title.data(), title.size(), false) ||
            (rule.bMatchPath && FileNameGroupMatch::compareFileGroup(group.get(), relative, relativeLength, true));
        if (!namesMatch)
            continue;
        if (!withContent || isContainText(item, rule, receiver, folderFd))
            return true;
    }
    return false;
}

bool Search_Man::isContainText(Data_FileItem& item, const Search_Rule& rule, ISearchResultReciever* receiver,
                               int folderFd) {
    if (m_pool) {   // a scanner tests it; checkAndAdd hands it over
        ++m_deferredTests;
        return false;
    }
    if (!rule.duplicate.bEnable)
        showSearchMessage(item.getFullFileName(), receiver);
    const bool contains = m_ct->searchContainText(item, rule, folderFd);
    if (receiver && m_ct->unreadableError() != 0)
        receiver->entryUnreadable(item.getFullFileName(), m_ct->unreadableError());
    return contains;
}

void Search_Man::checkAndAdd(Data_FileItem& item, const Search_Rule& rule, const Groups& groups,
                             ISearchResultReciever* receiver, bool suppressMessages, MetadataSource* lateMetadata,
                             int folderFd) {
    if (lateMetadata && needsMetadata(rule)) {
        if (!lateMetadata->fill(item))
            return;
        lateMetadata = nullptr;
    }
    m_deferredTests = 0;
    if (!isMatched(item, rule, groups, receiver, suppressMessages, folderFd)) {
        if (m_deferredTests > 0)
            deferContentTest(item, rule, receiver, lateMetadata != nullptr, folderFd);
        return;
    }
    if (lateMetadata && !lateMetadata->fill(item))
        return;
    if (receiver)
        receiver->addResult(rule, item.clone(), true);
}

void Search_Man::deferContentTest(const Data_FileItem& item, const Search_Rule& rule, ISearchResultReciever* receiver,
                                  bool lateMetadata, int folderFd) {
    if (!m_poolFolder && folderFd >= 0)
        m_poolFolder = std::make_shared<const UniqueFd>(::fcntl(folderFd, F_DUPFD_CLOEXEC, 0));
    const bool statusLines = !rule.duplicate.bEnable && receiver && receiver->wantsMessages();
    m_pool->submit(item.clone(), m_poolFolder, m_deferredTests, statusLines, lateMetadata);
    m_deferredTests = 0;
}

void Search_Man::doSearchInResult(const Groups& groups, const Search_Rule& rule, ISearchResultReciever* receiver) {
    auto& items = rule.previousResults;
    const bool withContent = !rule.containText.empty();
    // Items are taken from the front in order; walking an index keeps that order without
    // shifting the list for every item.
    for (size_t i = 0; i < items.size(); ++i) {
        std::unique_ptr<Data_FileItem> item = std::move(items[i]);
        if (!item)
            continue;
        item->clearFullFilled();
        if (withContent && m_run.stopped())
            break;   // this item and the rest are deleted with the list below
        if (isMatched(*item, rule, groups, receiver, true)) {
            if (receiver)
                receiver->addResult(rule, std::move(item), withContent);
        }
    }
    items.clear();
}
