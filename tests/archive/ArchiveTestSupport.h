#pragma once
// Helpers for the archive tests: archives are made at test time with the `7z` command and
// with Python's zipfile / tarfile modules (for names the 7z command would never write).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/CExtractMgr.h"
#include "support/TempDir.h"
#include "support/TestPaths.h"

namespace archivetest {

// A fixed tree under root/src: folders dir, dir/sub; files dir/sub/a.txt ("hello\n"),
// "sp ace 'q\".txt", "ünï.txt", "emoji 😀.txt" (outside the basic plane) and "empty.txt".
// Every file gets mtime kMTime and mode 0640.
constexpr int64_t kMTime = 1600000000;   // 2020-09-13 12:26:40 UTC
struct PackedEntry {
    std::string path;
    uint64_t size;
    bool folder;
};
std::vector<PackedEntry> makeSourceTree(const TempDir& root);

// Packs root/src into root/<name> with the 7z command ("7z" or "zip" type by extension).
std::string packWith7z(const TempDir& root, const std::string& name, const std::vector<std::string>& extra = {});
// Packs root/src into root/<name> with Python's tarfile ("w", "w:gz" or "w:xz" by name),
// member names relative to src without a "./" prefix.
std::string packTarWithPython(const TempDir& root, const std::string& name);
// Runs a Python program; fails the test when it does not exit with 0.
void runPython(const std::string& program);

// Every regular file, folder and link below `folder`, as paths relative to it, sorted.
std::vector<std::string> treeBelow(const std::string& folder);
std::string readFile(const std::string& path);

// Loads the standard handler table once per test suite.
class ArchiveTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
};

}  // namespace archivetest
