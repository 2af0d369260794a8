#include "shell/ResultItemRelease.h"

ResultItemRelease::~ResultItemRelease() { wait(); }

void ResultItemRelease::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void ResultItemRelease::release(std::vector<std::unique_ptr<Data_FileItem>> items)
{
    wait();
    if (items.size() < kBackgroundFrom)
        return;   // `items` is freed here
    m_thread = std::thread([batch = std::move(items)]() mutable { batch.clear(); });
}
