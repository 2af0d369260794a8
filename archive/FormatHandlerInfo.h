#pragma once
// One archive format offered by a handler library. A library that holds many formats gives
// one record per format; the records share the loaded library.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "archive/HandlerLibrary.h"
#include "archive/HandlerTypes.h"

namespace crateview {

struct FormatHandlerInfo {
    std::string libraryPath;   // full path of the handler library
    GUID classId{};            // handler property 1; passed to CreateObject
    std::string name;          // handler property 0, UTF-8
    // (extension, additional extension) pairs from properties 2 and 3, without dots in the
    // extension; an additional extension of "*" is kept as empty.
    std::vector<std::pair<std::string, std::string>> extensions;
    std::vector<uint8_t> startSignature;   // handler property 6 (kept, not used for matching)
    std::vector<uint8_t> signature2;       // not filled
    std::shared_ptr<HandlerLibrary> library;
    Fn_CreateObject createObject = nullptr;
    bool updateEnabled = false;   // property 4
    bool keepName = false;        // property 5, read only when updateEnabled
    uint32_t formatIndex = 0;     // position inside a many-format library
};

}  // namespace crateview
