// Device-context helpers for painting: a memory context and a scoped selection.
#pragma once

#include "platform/win32/unique_handle.h"
#include "platform/win32/windows_include.h"

namespace kestrun::platform::win32 {

// A memory device context, deleted with DeleteDC.
class UniqueMemoryDc {
  public:
    explicit UniqueMemoryDc(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~UniqueMemoryDc() {
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    UniqueMemoryDc(const UniqueMemoryDc&) = delete;
    UniqueMemoryDc& operator=(const UniqueMemoryDc&) = delete;
    HDC Get() const { return dc_; }

  private:
    HDC dc_;
};

// Selects an object into a context and puts the previous one back.
class ScopedSelection {
  public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelection() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace kestrun::platform::win32
