// Opaque handle values and small records shared by the platform interfaces.
// Nothing here depends on Windows headers; the win32 layer converts.
#pragma once

#include <cstdint>
#include <string>

namespace kestrun::platform {

// A window handle as an integer; 0 means "no window".
using WindowRef = std::uintptr_t;
// An icon, brush or font handle as an integer; 0 means "none".
using GdiRef = std::uintptr_t;

// Win32 error codes the decision code compares against.
constexpr std::uint32_t kErrorSuccess = 0;
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorNotEnoughMemory = 8;
constexpr std::uint32_t kErrorBufferOverflow = 111;
constexpr std::uint32_t kErrorInsufficientBuffer = 122;

}  // namespace kestrun::platform
