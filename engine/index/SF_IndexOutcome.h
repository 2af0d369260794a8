#pragma once
// How the indexing of one root ended, as SF_Man reports it per run.
#include <string>

struct SF_IndexOutcome {
    enum Kind {
        Committed,     // a pending cache was written
        Cancelled,     // the run was stopped; the root's temporary files are gone
        Excluded,      // the root itself is excluded; nothing was written
        NotAFolder,    // the root is missing, not a folder or cannot be read (error: errno)
        Busy,          // another indexer (thread or process) is writing this root; nothing was touched
        CannotWrite,   // the temporary files could not be created (error: errno)
        WriteFailed,   // writing, syncing or committing failed (error: errno when known)
    };
    std::string root;
    Kind kind = Committed;
    int error = 0;
};
