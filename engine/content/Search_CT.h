#pragma once
// Decides whether one file satisfies the content terms of a rule, picking the searcher by
// the file's extension, and leaves one excerpt per term on a matching item.
//
// Searchers are made by factory functions. Extensions are kept in lower case; registering
// an extension that is already present keeps the existing entry. "pdf" is registered to
// CT_PDF; every other extension is scanned raw by CT_Hex. One read buffer is reused for all
// files. Not thread-safe: one search at a time per object.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "content/CT_Root.h"

class Data_FileItem;
class Event;
class PdfTextCache;
struct Search_Rule;

class Search_CT {
public:
    using SearcherFactory = std::unique_ptr<CT_Root> (*)();

    Search_CT();
    virtual ~Search_CT();

    void registerType(const std::string& extension, SearcherFactory factory);

    // The event that stops a content test in progress (handed to every searcher made); not
    // owned, it must outlive this object. Null (the default): never stopped.
    void setStopEvent(const Event* stop) { m_stop = stop; }
    // The text cache handed to every PDF searcher made; not owned, it must outlive this
    // object. Null (the default): PDF text is converted every time.
    void setPdfTextCache(PdfTextCache* cache) { m_pdfCache = cache; }

    // The factory of a searcher class by its class name ("CT_Hex", "CT_PDF"); null for any
    // other name, "CT_Root" included (it cannot be created on its own).
    static SearcherFactory factoryByClassName(const std::string& className);

    // True when the file satisfies the terms (rule.containText must not be empty); then
    // one excerpt per term, in term order, is appended to the item (three empty strings
    // for a term that was not found). False for folders, files that cannot be opened or
    // read, and when the search is stopped. The terms' snippet strings are empty afterwards.
    // With folderFd >= 0 (an open descriptor of the item's folder) the file is opened by its
    // bare name relative to that folder; otherwise by its full name.
    bool searchContainText(Data_FileItem& item, const Search_Rule& rule, int folderFd = -1);
    // After searchContainText: the errno of a file that could not be opened for reading
    // (EACCES, EIO, ...), 0 when it was opened or when it was no regular file (EISDIR,
    // EINVAL, ENXIO) or had vanished (ENOENT, ENOTDIR, ELOOP).
    int unreadableError() const { return m_unreadableError; }

protected:
    void initDefaultType();
    // A new searcher for the item's extension (case ignored); CT_Hex when none registered.
    std::unique_ptr<CT_Root> getSearcher(const Data_FileItem& item) const;

private:
    std::map<std::string, SearcherFactory> m_mapOfType;
    std::vector<uint8_t> m_buffer;
    int m_unreadableError = 0;
    const Event* m_stop = nullptr;
    PdfTextCache* m_pdfCache = nullptr;
};
