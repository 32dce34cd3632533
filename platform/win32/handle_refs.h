// The portable interfaces carry handles as integers; these turn them back and forth.
#pragma once

#include <cstdint>

#include "platform/win32/windows_include.h"

namespace kestrun::platform::win32 {

inline HWND AsWindow(std::uintptr_t ref) {
    return reinterpret_cast<HWND>(ref);
}
inline HDC AsDc(std::uintptr_t ref) {
    return reinterpret_cast<HDC>(ref);
}
inline HMENU AsMenu(std::uintptr_t ref) {
    return reinterpret_cast<HMENU>(ref);
}

template <class Handle>
std::uintptr_t AsRef(Handle handle) {
    return reinterpret_cast<std::uintptr_t>(handle);
}

}  // namespace kestrun::platform::win32
