#pragma once
// Moves files and folders into a target folder without ever losing one.
//
// Within one file system a move is a rename. Across file systems (or when forceCopy is
// set) the source is copied to a hidden temporary name in the target folder, flushed to
// disk, its size compared with the source, then renamed to its final name, and only then
// is the source removed. A cancel or a failure at any point removes the temporary copy and
// leaves the source where it was, so every file is either at its source or complete at its
// target. When the source cannot be removed after a complete copy, both stay and the
// outcome is Failed with the error (nothing is lost; the row keeps pointing at the source).
//
// Names that are taken: with automatic renaming the file gets the first free name
// "title (2).ext", "title (3).ext", ...; without it askCollision decides (Replace, Skip,
// ReplaceAll, Cancel); without that callback a taken name is skipped. An existing file is
// never replaced silently, and a replace is one atomic rename over it.
//
// Paths are raw bytes; `folder` ends in '/'. Synchronous; the progress callback is called
// between and inside files and may cancel by returning false. Any thread (the callbacks
// run on the calling thread).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class FileMover {
public:
    enum class Collision { Replace, Skip, ReplaceAll, Cancel };

    struct Outcome {
        enum class State { Moved, Skipped, Failed, Cancelled };
        State state = State::Cancelled;
        std::string target;  // where the file is now (Moved)
        int error = 0;       // errno of a failure
    };

    // Progress: bytes done of bytes in all; false cancels.
    using Progress = std::function<bool(uint64_t done, uint64_t total)>;
    // Copies the regular file `from` to the new file `to` (created, must not exist), calling
    // `progress` with the bytes of this file done so far. Returns 0 or an errno value
    // (ECANCELED when progress said stop). The default is copyRegularFile.
    using CopyStep = std::function<int(const std::string& from, const std::string& to,
                                       const std::function<bool(uint64_t)>& progress)>;

    struct Hooks {
        std::function<Collision(const std::string& target)> askCollision;
        Progress progress;
        CopyStep copyFile;
        bool forceCopy = false;  // copy and delete even within one file system
    };

    FileMover();
    explicit FileMover(Hooks hooks);

    // Moves every source (absolute path of a file, folder or link) into `folder`. One
    // outcome per source, in order; after a cancel the remaining sources are Cancelled.
    std::vector<Outcome> move(const std::vector<std::string>& sources, const std::string& folder, bool autoRename);

    // The first free name in `folder` for `name`: the name itself, else "title (n).ext".
    static std::string freeName(const std::string& folder, const std::string& name);

    // Copies a regular file with its permission bits and times, flushed to disk.
    static int copyRegularFile(const std::string& from, const std::string& to,
                               const std::function<bool(uint64_t)>& progress);

private:
    int copyTree(const std::string& from, const std::string& to);
    int moveOne(const std::string& source, const std::string& target, bool replace);

    Hooks m_hooks;
    uint64_t m_done = 0;
    uint64_t m_total = 0;
    bool m_cancelled = false;
};
