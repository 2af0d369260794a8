#pragma once
// What an indexing run reports to its front end. Calls come from the indexing thread.
#include <memory>
#include <string>

class IIndexResultReceiver {
public:
    virtual ~IIndexResultReceiver() = default;
    // A status line; the receiver owns it. (The indexer itself does not send any.)
    virtual void showIndexMessage(std::unique_ptr<std::string> message) = 0;
    // The run ended without being cancelled (not called for a run without roots).
    virtual void indexFinished() = 0;
};
