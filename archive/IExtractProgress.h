#pragma once
// Progress of one extraction, reported on the thread that called the extraction. The program's
// progress window implements it; a null sink means nobody listens. Implementations must not
// throw (anything thrown is caught and ends the extraction with failure).
#include <cstdint>
#include <string>

class IExtractProgress {
public:
    virtual ~IExtractProgress() = default;
    // Total amount of work, in the handler's units (usually unpacked bytes).
    virtual void setTotal(uint64_t total) = 0;
    // Work done so far, same units.
    virtual void setCompleted(uint64_t completed) = 0;
    // The member (file name as written into the destination, UTF-8) now being extracted.
    virtual void setCurrentName(const std::string& name) = 0;
    // An error for one member ("can not open output file ..."); the extraction goes on.
    virtual void message(const std::string& text) { (void)text; }
};
