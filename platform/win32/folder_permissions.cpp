// Whether the program folder is closed to everybody but the administrators: cmd and the
// loader look there first for what the client runs with administrator rights.
#include "platform/win32/windows_include.h"

#include <aclapi.h>
#include <sddl.h>

#include <cstddef>
#include <vector>

#include "platform/format.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_platform.h"

namespace kestrun::platform::win32 {
namespace {

// Rights that let an account put a file into the folder, replace or remove one, or give
// itself such rights.
constexpr ACCESS_MASK kChangeRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_WRITE_EA |
                                      FILE_DELETE_CHILD | FILE_WRITE_ATTRIBUTES | DELETE |
                                      WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// TOKEN_INFORMATION_CLASS TokenElevationType (Vista on) and its "elevated, with a filtered
// twin" value.
constexpr int kTokenElevationType = 18;
constexpr DWORD kTokenElevationTypeFull = 2;

struct LocalMemory {
    using Handle = HLOCAL;
    static Handle Invalid() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Close(Handle h) { LocalFree(h); }
};

std::string SidText(PSID sid) {
    LPSTR text = nullptr;
    if (!ConvertSidToStringSidA(sid, &text)) {
        return "?";
    }
    const UniqueHandle<LocalMemory> owner(text);
    return text;
}

bool IsWellKnown(PSID sid, const char* text) {
    PSID known = nullptr;
    if (!ConvertStringSidToSidA(text, &known)) {
        return false;
    }
    const UniqueHandle<LocalMemory> owner(known);
    return EqualSid(sid, known) != FALSE;
}

// Wine keeps no permissions of its own: it makes them up from the Unix mode, with the Unix
// user as owner, and every program of that user has the same rights, whatever its token
// says. Only Wine's ntdll, which users cannot replace, exports this name.
bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// The user of the client's own token, when its other programs have the same rights: on
// Windows before Vista, on Vista and later without a filtered twin of the token (UAC off,
// or the client not elevated), and under Wine. An elevated client with a filtered twin
// shares the user with programs that are not administrators.
std::vector<BYTE> UserSharingTheRights() {
    HANDLE raw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        return {};
    }
    const UniqueKernelHandle token(raw);
    DWORD elevation = 0;
    DWORD size = 0;
    if (!UnderWine() &&
        GetTokenInformation(token.Get(), static_cast<TOKEN_INFORMATION_CLASS>(kTokenElevationType),
                            &elevation, sizeof(elevation), &size) &&
        elevation == kTokenElevationTypeFull) {
        return {};
    }
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size);
    if (size == 0 || !GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size)) {
        return {};
    }
    return user;
}

bool MayChange(PSID sid, const std::vector<BYTE>& sameRightsUser) {
    if (IsWellKnown(sid, "S-1-5-32-544") || IsWellKnown(sid, "S-1-5-18") ||
        IsWellKnown(sid, "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464")) {
        return true;
    }
    // CREATOR OWNER only stands for whoever creates an entry, on the entries themselves.
    if (IsWellKnown(sid, "S-1-3-0")) {
        return true;
    }
    if (!sameRightsUser.empty()) {
        const auto* user = reinterpret_cast<const TOKEN_USER*>(sameRightsUser.data());
        return EqualSid(sid, user->User.Sid) != FALSE;
    }
    return false;
}

// The account an allow entry names, in any of its layouts (plain, callback, object): an
// object entry's account follows the GUIDs its flags say are present. nullptr for an entry
// that allows nothing.
PSID AllowedTrustee(void* entry, ACCESS_MASK& mask) {
    switch (static_cast<const ACE_HEADER*>(entry)->AceType) {
        case ACCESS_ALLOWED_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_ACE_TYPE: {
            auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(entry);
            mask = allowed->Mask;
            return &allowed->SidStart;
        }
        case ACCESS_ALLOWED_OBJECT_ACE_TYPE:
        case ACCESS_ALLOWED_CALLBACK_OBJECT_ACE_TYPE: {
            auto* allowed = static_cast<ACCESS_ALLOWED_OBJECT_ACE*>(entry);
            mask = allowed->Mask;
            auto* sid = reinterpret_cast<BYTE*>(&allowed->ObjectType);
            const DWORD flags = allowed->Flags;
            sid += (flags & ACE_OBJECT_TYPE_PRESENT) != 0 ? sizeof(GUID) : 0;
            sid += (flags & ACE_INHERITED_OBJECT_TYPE_PRESENT) != 0 ? sizeof(GUID) : 0;
            return sid;
        }
        default:
            return nullptr;
    }
}

// Whether the account at sid lies whole inside the entry, as a damaged list may not have it.
bool SidInside(void* entry, PSID sid) {
    const auto* begin = static_cast<const BYTE*>(entry);
    const auto* end = begin + static_cast<const ACE_HEADER*>(entry)->AceSize;
    const auto* at = static_cast<const BYTE*>(sid);
    constexpr std::ptrdiff_t kSidHeader = 8;  // revision, count of parts, authority
    return at <= end && end - at >= kSidHeader && IsValidSid(sid) &&
           GetLengthSid(sid) <= static_cast<DWORD>(end - at);
}

}  // namespace

std::optional<std::string> Win32System::OthersCanChangeFolder(const std::string& folder) {
    std::vector<char> name(folder.begin(), folder.end());
    name.push_back('\0');
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD error = GetNamedSecurityInfoA(
        name.data(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
        nullptr, &dacl, nullptr, &descriptor);
    if (error != ERROR_SUCCESS) {
        return Format("its permissions cannot be read (error %u)", static_cast<unsigned>(error));
    }
    const UniqueHandle<LocalMemory> descriptorOwner(descriptor);
    if (dacl == nullptr) {
        return std::string("it has no access list (a file system without permissions)");
    }
    const std::vector<BYTE> sameRightsUser = UserSharingTheRights();
    if (owner != nullptr && !MayChange(owner, sameRightsUser)) {
        return "its owner " + SidText(owner) + " may change its permissions";
    }
    for (DWORD index = 0; index < dacl->AceCount; ++index) {
        void* entry = nullptr;
        if (!GetAce(dacl, index, &entry)) {
            return Format("its access entry %u cannot be read", static_cast<unsigned>(index));
        }
        // Inherited entries count too: they give the same rights on the files inside.
        ACCESS_MASK mask = 0;
        const PSID sid = AllowedTrustee(entry, mask);
        if (sid == nullptr || (mask & kChangeRights) == 0) {
            continue;
        }
        if (!SidInside(entry, sid)) {
            return Format("its access entry %u names no valid account",
                          static_cast<unsigned>(index));
        }
        if (!MayChange(sid, sameRightsUser)) {
            return Format("%s may change it (rights 0x%08x)", SidText(sid).c_str(),
                          static_cast<unsigned>(mask));
        }
    }
    return std::nullopt;
}

}  // namespace kestrun::platform::win32
