#pragma once
// Entry point of the archive library: finds the 7-Zip format handler libraries once per
// process (init / uninit) and opens one archive at a time per manager.
//
//   CExtractMgr::init();                       // once, before any other use
//   CExtractMgr mgr;
//   if (mgr.setArchiveFullFile(path) && mgr.getIMyArchive()) { ... list or extract ... }
//
// setArchiveFullFile is false only when no handler lists the file's extension; a file that
// a handler cannot open still gives true, with getIMyArchive() null. A manager is used by one
// thread; several managers may work in parallel on different threads between init and uninit.
#include <memory>
#include <string>

#include "archive/IMyArchive.h"

class CExtractMgr {
public:
    CExtractMgr();
    virtual ~CExtractMgr();
    CExtractMgr(const CExtractMgr&) = delete;
    CExtractMgr& operator=(const CExtractMgr&) = delete;

    // Builds the handler table: "Formats" beside libcrateview.so, then the folder given to
    // setConfiguredFolder, then /usr/lib/p7zip and /usr/lib/7zip.
    static void init();
    // Same, looking for "Formats" below `baseFolder` instead of the library's own folder.
    static void init(const std::string& baseFolder);
    // The user's 7-Zip folder (empty: none); read by the next init.
    static void setConfiguredFolder(const std::string& folder);
    // Empties the handler table; libraries unload once no open archive uses them.
    static void uninit();
    // Number of formats in the table, and the library that provides the one for an extension
    // (empty when none): for diagnostics and tests.
    static size_t getHandlerCount();
    static std::string getHandlerLibraryFor(const std::string& extension);

    // True when the file's extension (after its last dot, any case) is listed by a handler.
    bool isSupportedType(const std::string& fullPath) const;
    // Opens the archive; see the class comment for what the result means. The manager must
    // be empty (reset it, or use a fresh one); an archive still held is closed first.
    bool setArchiveFullFile(const std::string& fullPath);
    // The open archive, owned by the manager, or null.
    IMyArchive* getIMyArchive() const;
    // Closes and destroys the open archive, if any.
    void reset();

private:
    std::unique_ptr<IMyArchive> m_pArchive;
};
