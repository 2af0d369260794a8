#pragma once
// A manual-reset event: once set it stays set until reset. Used to ask a running search,
// scan or indexing run to stop; workers poll it with isSet() between units of work.
// Thread-safe; not copyable.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

class Event {
public:
    Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void set();
    void reset();
    // Zero-wait poll.
    bool isSet() const;
    // Blocks until the event is set; returns true when it is set.
    bool wait();
    // Blocks at most `timeout`; returns true when the event was set in time.
    bool waitFor(std::chrono::milliseconds timeout);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::atomic<bool> m_set{false};   // written under m_mutex, polled without it
};
