#include "ArchiveTestSupport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace archivetest {

std::vector<PackedEntry> makeSourceTree(const TempDir& root) {
    const std::vector<std::pair<std::string, std::string>> files = {
        {"dir/sub/a.txt", "hello\n"},
        {"sp ace 'q\".txt", "quoted"},
        {"\xC3\xBC" "n\xC3\xAF.txt", "utf8"},
        {"emoji \xF0\x9F\x98\x80.txt", "astral"},
        {"empty.txt", ""},
    };
    std::vector<PackedEntry> entries{{"dir", 0, true}, {"dir/sub", 0, true}};
    for (const auto& [path, bytes] : files) {
        root.write("src/" + path, bytes);
        ::chmod((root / ("src/" + path)).c_str(), 0640);
        root.setTimes("src/" + path, kMTime);
        entries.push_back({path, bytes.size(), false});
    }
    root.setTimes("src/dir/sub", kMTime);
    root.setTimes("src/dir", kMTime);
    std::sort(entries.begin(), entries.end(), [](auto& a, auto& b) { return a.path < b.path; });
    return entries;
}

std::string packWith7z(const TempDir& root, const std::string& name, const std::vector<std::string>& extra) {
    const std::string archive = root / name;
    const std::string opt1 = extra.size() > 0 ? extra[0] : "-bb0";
    const std::string opt2 = extra.size() > 1 ? extra[1] : "-bsp0";
    std::string out, err;
    const int rc = TestPaths::runProgram("env", {"-C", root / "src", "7z", "a", "-bd", "-y", opt1, opt2, archive, "."},
                                         &out, &err);
    EXPECT_EQ(rc, 0) << out << err;
    return archive;
}

std::string packTarWithPython(const TempDir& root, const std::string& name) {
    const std::string archive = root / name;
    std::string mode = "w";
    if (name.size() > 3 && name.compare(name.size() - 3, 3, ".gz") == 0)
        mode = "w:gz";
    if (name.size() > 3 && name.compare(name.size() - 3, 3, ".xz") == 0)
        mode = "w:xz";
    runPython("import tarfile, os\n"
              "src = " "'" + (root / "src") + "'\n"
              "with tarfile.open('" + archive + "', '" + mode + "', format=tarfile.PAX_FORMAT) as t:\n"
              "    for d, dirs, files in sorted(os.walk(src)):\n"
              "        dirs.sort()\n"
              "        for n in sorted(dirs + files):\n"
              "            p = os.path.join(d, n)\n"
              "            t.add(p, arcname=os.path.relpath(p, src), recursive=False)\n");
    return archive;
}

void runPython(const std::string& program) {
    std::string out, err;
    const int rc = TestPaths::runProgram("python3", {"-c", program}, &out, &err);
    ASSERT_EQ(rc, 0) << err;
}

std::vector<std::string> treeBelow(const std::string& folder) {
    std::vector<std::string> paths;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        paths.push_back(fs::relative(it->path(), folder, ec).string());
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void ArchiveTest::SetUpTestSuite() { CExtractMgr::init(); }
void ArchiveTest::TearDownTestSuite() { CExtractMgr::uninit(); }

}  // namespace archivetest
