// Times the program's own file moves and result files, for bench_result_ops.sh:
//   result_ops_bench move SOURCE_FOLDER TARGET_FOLDER   moves every entry of SOURCE_FOLDER
//   result_ops_bench qdr ROWS FILE                      saves and opens ROWS result rows
// Prints "<what> <seconds>" lines on stdout; exit status 0 when everything succeeded.
#include <dirent.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "records/Data_FileItem.h"
#include "shell/FileMover.h"
#include "shell/ResultFile.h"

namespace {

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int benchMove(std::string from, std::string to)
{
    if (from.back() != '/')
        from += '/';
    if (to.back() != '/')
        to += '/';
    std::vector<std::string> sources;
    if (DIR* dir = ::opendir(from.c_str())) {
        while (dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name != "." && name != "..")
                sources.push_back(from + name);
        }
        ::closedir(dir);
    }
    const auto start = std::chrono::steady_clock::now();
    FileMover mover;
    const auto outcomes = mover.move(sources, to, false);
    const double seconds = secondsSince(start);
    size_t moved = 0;
    for (const auto& o : outcomes)
        moved += o.state == FileMover::Outcome::State::Moved;
    std::printf("move %.3f\nmoved %zu of %zu\n", seconds, moved, sources.size());
    return moved == sources.size() ? 0 : 1;
}

int benchQdr(size_t rows, const std::string& file)
{
    std::vector<std::unique_ptr<Data_FileItem>> items;
    items.reserve(rows);
    std::vector<Data_FileItem*> pointers;
    for (size_t i = 0; i < rows; ++i) {
        auto item = std::make_unique<Data_FileItem>();
        item->m_strPath = "/home/user/projects/folder" + std::to_string(i % 1000) + "/";
        item->setFileName("file number " + std::to_string(i) + ".txt");
        item->m_nSize = int64_t(i) * 37;
        pointers.push_back(item.get());
        items.push_back(std::move(item));
    }
    auto start = std::chrono::steady_clock::now();
    const bool saved = ResultFile::save(file, pointers);
    std::printf("save %.3f\n", secondsSince(start));
    std::vector<std::unique_ptr<Data_FileItem>> loaded;
    start = std::chrono::steady_clock::now();
    const bool opened = ResultFile::load(file, loaded);
    std::printf("open %.3f\n", secondsSince(start));
    return saved && opened && loaded.size() == rows ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "move")
        return benchMove(argv[2], argv[3]);
    if (argc == 4 && std::string(argv[1]) == "qdr")
        return benchQdr(size_t(std::strtoull(argv[2], nullptr, 10)), argv[3]);
    std::fprintf(stderr, "usage: %s move FROM TO | qdr ROWS FILE\n", argv[0]);
    return 2;
}
