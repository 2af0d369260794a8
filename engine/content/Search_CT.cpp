#include "content/Search_CT.h"

#include <cerrno>

#include "content/CT_Hex.h"
#include "content/CT_PDF.h"
#include "records/Data_FileItem.h"
#include "records/Search_Rule.h"
#include "platform/AsciiCase.h"

namespace {
std::unique_ptr<CT_Root> makeHex() { return std::make_unique<CT_Hex>(); }
std::unique_ptr<CT_Root> makePdf() { return std::make_unique<CT_PDF>(); }

void clearSnippets(const Search_Rule& rule) {
    for (const auto& term : rule.containText) {
        term->snippetBefore.clear();
        term->snippetMatch.clear();
        term->snippetAfter.clear();
    }
}
// The errno of a failed open worth reporting: not for entries that are no regular file or
// that vanished since they were listed.
int unreadableOpenError(int error) {
    switch (error) {
    case 0: case EISDIR: case EINVAL: case ENXIO: case ENOENT: case ENOTDIR: case ELOOP: return 0;
    default: return error;
    }
}
}  // namespace

Search_CT::Search_CT() { initDefaultType(); }
Search_CT::~Search_CT() = default;

void Search_CT::initDefaultType() { registerType("pdf", &makePdf); }

void Search_CT::registerType(const std::string& extension, SearcherFactory factory) {
    if (factory)
        m_mapOfType.emplace(AsciiCase::folded(extension), factory);
}

Search_CT::SearcherFactory Search_CT::factoryByClassName(const std::string& className) {
    if (className == "CT_Hex")
        return &makeHex;
    if (className == "CT_PDF")
        return &makePdf;
    return nullptr;
}

std::unique_ptr<CT_Root> Search_CT::getSearcher(const Data_FileItem& item) const {
    const auto it = m_mapOfType.find(AsciiCase::folded(item.m_strExt));
    if (it != m_mapOfType.end())
        return it->second();
    return makeHex();
}

bool Search_CT::searchContainText(Data_FileItem& item, const Search_Rule& rule, int folderFd) {
    m_unreadableError = 0;
    if (item.isDirectory() || rule.containText.empty())
        return false;
    std::unique_ptr<CT_Root> searcher = getSearcher(item);
    searcher->setStopEvent(m_stop);
    if (m_pdfCache)
        if (auto* pdf = dynamic_cast<CT_PDF*>(searcher.get()))
            pdf->setTextCache(m_pdfCache);
    CT_Root::Location location{item.getFullFileName().c_str()};
    if (folderFd >= 0) {
        location.folderFd = folderFd;
        location.nameInFolder = item.getFileName().c_str();
    }
    errno = 0;
    if (!searcher->open(location, rule.containText.front()->isHex)) {
        m_unreadableError = unreadableOpenError(errno);
        clearSnippets(rule);
        return false;
    }
    const bool matched = searcher->scanTerms(rule, m_buffer);
    searcher->close();
    if (matched) {
        for (const auto& term : rule.containText) {
            auto snippet = std::make_shared<ContentSnippet>();
            snippet->before = std::move(term->snippetBefore);
            snippet->match = std::move(term->snippetMatch);
            snippet->after = std::move(term->snippetAfter);
            item.m_vecSnippets.push_back(std::move(snippet));
        }
    }
    clearSnippets(rule);
    return matched;
}
