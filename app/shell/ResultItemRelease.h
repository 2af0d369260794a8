#pragma once
// Frees the items of an emptied result list. A list of hundreds of thousands of rows takes
// tens of milliseconds to free, which would hold up the user-interface thread at the start
// of every new search: such a batch is freed on a helper thread instead. Small batches are
// freed at once on the caller's thread.
//
// One batch at a time: release() first waits for the previous batch to be freed. The
// destructor waits for the last one. The items must no longer be referenced by anyone
// (the model has been reset). Call from one thread at a time.
#include <cstddef>
#include <memory>
#include <thread>
#include <vector>

#include "records/Data_FileItem.h"

class ResultItemRelease {
public:
    // Batches of at least this many items are freed on the helper thread.
    static constexpr size_t kBackgroundFrom = 20000;

    ResultItemRelease() = default;
    ~ResultItemRelease();
    ResultItemRelease(const ResultItemRelease&) = delete;
    ResultItemRelease& operator=(const ResultItemRelease&) = delete;

    // Takes the items and frees them (null entries are allowed).
    void release(std::vector<std::unique_ptr<Data_FileItem>> items);
    // Waits until every batch handed over has been freed.
    void wait();

private:
    std::thread m_thread;
};
