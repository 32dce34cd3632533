#include "platform/win32/win32_icons.h"

namespace kestrun::platform::win32 {

GdiRef Win32Icons::ProgramIcon(int resourceId) {
    return reinterpret_cast<GdiRef>(
        LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId)));
}

GdiRef Win32Icons::IconFromFile(const std::string& path) {
    UniqueIcon icon(
        static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0,
                                      LR_DEFAULTSIZE | LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    if (!icon) {
        return 0;
    }
    const GdiRef ref = reinterpret_cast<GdiRef>(icon.Get());
    loaded_.push_back(std::move(icon));
    return ref;
}

}  // namespace kestrun::platform::win32
