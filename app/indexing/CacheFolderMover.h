#pragma once
// Moves the index caches from one folder to another without ever losing one: every file
// (not subfolders) of the old folder is first copied into the new folder under a
// temporary name and flushed to disk (fsync); only when every copy is complete are the
// copies renamed to their names (a file of that name in the new folder is replaced) and
// then the sources deleted.
//
// Failure: when a copy, flush or rename fails, the copies made so far are removed (files
// already renamed stay as harmless duplicates), every source is untouched, and the result
// says the old folder stays the cache folder. When deleting a source fails after all
// copies are in place, the new folder is complete and becomes the cache folder; the files
// not deleted stay behind in the old folder and the result names the first of them.
//
// The caller releases every reader and writer of the caches first (searchers, a run).
// The failure hook, for tests, is asked before each step and makes it fail on false.
// User-interface thread (blocking I/O), or any thread with its own object.
#include <QString>
#include <QStringList>
#include <functional>

class CacheFolderMover {
public:
    enum class Step { Copy, Flush, Rename, Delete };
    using FailureHook = std::function<bool(Step step, const QString& fileName)>;

    struct Result {
        bool newFolderInUse = false;   // the caches are now in the new folder
        bool complete = false;         // and nothing was left behind
        QString failedFile;            // the file of the first failure
        QString error;                 // its error text
        int filesMoved = 0;
    };

    void setFailureHook(FailureHook hook) { m_hook = std::move(hook); }
    Result move(const QString& fromFolder, const QString& toFolder) const;

private:
    bool allowed(Step step, const QString& name) const { return !m_hook || m_hook(step, name); }
    FailureHook m_hook;
};
