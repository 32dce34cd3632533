#include "platform/win32/windows_include.h"

#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {
namespace {

class Win32Module : public Module {
  public:
    explicit Win32Module(HMODULE module) : address_(module), module_(module) {}
    void* Entry(const char* name) override {
        return reinterpret_cast<void*>(GetProcAddress(address_, name));
    }
    // The handle is given up, so the library is never freed.
    void Keep() override { module_.Release(); }

  private:
    HMODULE address_;      // stays usable after Keep()
    UniqueModule module_;  // frees the library unless kept
};

}  // namespace

std::unique_ptr<Module> Win32Modules::Load(const std::string& name) {
    HMODULE module = LoadLibraryA(name.c_str());
    if (module == nullptr) {
        return nullptr;
    }
    return std::make_unique<Win32Module>(module);
}

}  // namespace kestrun::platform::win32
