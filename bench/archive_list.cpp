// Lists an archive the way the search driver does: every member's path, size, attributes,
// the three times and the folder flag, read through CExtractMgr. Prints one line per member
// ("path<TAB>size") unless -q is given. Exit status 0 on success, 1 when the archive could
// not be opened, 2 on wrong usage.
#include <cstdio>
#include <cstring>
#include <string>

#include "archive/CExtractMgr.h"

int main(int argc, char** argv) {
    bool quiet = false;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "-q") == 0) {
        quiet = true;
        first = 2;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: archive_list [-q] ARCHIVE...\n");
        return 2;
    }
    CExtractMgr::init();
    int status = 0;
    for (int a = first; a < argc; ++a) {
        CExtractMgr mgr;
        if (!mgr.setArchiveFullFile(argv[a]) || !mgr.getIMyArchive()) {
            std::fprintf(stderr, "%s: cannot open\n", argv[a]);
            status = 1;
            continue;
        }
        IMyArchive* archive = mgr.getIMyArchive();
        const int count = archive->getItemCount();
        std::string path;
        uint64_t sum = 0;
        for (int i = 0; i < count; ++i) {
            IMyArchiveItem* item = archive->getItem(static_cast<unsigned>(i));
            ArchiveFileTime t;
            item->getPath(path);
            const uint64_t size = item->getSize();
            sum += size + item->getAttributes() + item->isFolder();
            item->getCreationTime(t);
            item->getLastWriteTime(t);
            item->getLastAccessTime(t);
            if (!quiet)
                std::printf("%s\t%llu\n", path.c_str(), static_cast<unsigned long long>(size));
        }
        if (quiet)
            std::printf("%d members, checksum %llu\n", count, static_cast<unsigned long long>(sum));
    }
    CExtractMgr::uninit();
    return status;
}
