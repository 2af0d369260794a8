#pragma once
// Result codes of the folder context-menu entry, with the values of the classic component
// result codes so that logs read the same: success (0), success-false (1), and the code
// for bad input or an unreadable selection.
#include <cstdint>

namespace ExtResult {
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kFalse = 1;
inline constexpr int32_t kInvalidArg = int32_t(0x80070057u);
// A success code carrying a count of menu items (severity success, facility 0).
constexpr int32_t itemCount(uint16_t count) { return int32_t(count); }
}  // namespace ExtResult
