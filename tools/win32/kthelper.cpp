// Test helper run by Wine in the program's prefix and desktop: finds and drives the
// program's windows from outside, the way the portal's launcher and the user would.
//
//   kthelper find "<title>"                 exit 0 if a top-level window has exactly this
//                                            title; prints hwnd and visibility
//   kthelper wait "<title>" <ms>            waits until such a window exists
//   kthelper gone "<title>" <ms>            waits until no such window exists
//   kthelper visible "<title>"              exit 0 if it exists and is visible
//   kthelper count "<title>"                prints how many such windows exist
//   kthelper list                           prints every top-level window
//   kthelper post "<title>" <msg> <wp> <lp> PostMessageA (numbers in C notation)
//   kthelper command "<title>" <id>         posts WM_COMMAND with the id
//   kthelper boxtext "<title>" [<ms>]       prints the texts of a message box's statics
//   kthelper press "<title>" [<ms>]         presses the message box's first button
//   kthelper trace "<text>"                 OutputDebugStringA of the text, C escapes
//                                            (\n \r \t \\) resolved
//   kthelper ping <address> [<ms>]          one ICMP echo; prints the result
//   kthelper rect "<title>"                 prints the window's and its client area's
//                                            screen rectangles: "window=l,t,r,b client=..."
//   (Commands with an <id> act on the first window with the title that has that control:
//   a dialog and a message box may share a title.)
//   kthelper item-rect "<title>" <id>       prints the screen rectangle of a child control
//   kthelper item-text "<title>" <id>       prints a child control's text (WM_GETTEXT)
//   kthelper item-style "<title>" <id>      prints a child control's window style:
//                                            "style=0x<hex>"
//   kthelper type "<title>" <id> <text>     types the text into the edit field of combo box
//                                            <id>, replacing what it holds (WM_CHAR per
//                                            character, so the box notifies its window)
//   kthelper combo "<title>" <id>           prints "count=<n> sel=<i>", one line "<i>|<text>"
//                                            per entry, then "edit=<text>"
//   kthelper list-rows "<title>" <id>       prints each row of a list-view control as
//                                            "<row>|<column 0>|<column 1>"
//   kthelper item-send "<title>" <id> <msg> <wp> <lp>
//                                            SendMessageA to a child control (numbers in C
//                                            notation), so its effect is done on return;
//                                            prints the result
//   kthelper menu [<ms>]                    waits for a shown popup menu; prints its screen
//                                            rectangle, then "count=<n>" and one line per
//                                            entry "<position>|<id>|<text>" when the menu
//                                            can be read from this process
//   kthelper menu-gone [<ms>]               waits until no popup menu is shown
//   kthelper tooltip [<ms>]                 waits for a visible tooltip; prints its text
//   kthelper tree                           every top-level window and its children, with
//                                            class, title, visibility and rectangle
//   kthelper broadcast-taskbar-created      broadcasts the "TaskbarCreated" message
//   kthelper tray-delete "<title>" <id>     takes the icon <id> of the window with this
//                                            title out of the notification area, as a
//                                            restarted taskbar would have lost it
//   kthelper handles "<title>"              prints "pid=<n> handles=<n> threads=<n>" of the
//                                            process that owns the window, as the system's
//                                            process list counts them
//   kthelper show-menu <x> <y> <ms> <text>...
//                                            shows a popup menu of its own with these
//                                            entries ("" is a separator) at x,y, prints
//                                            "<position>|<l>,<t>,<r>,<b>" per entry and
//                                            "rect=..." of the menu, closes it after ms; a
//                                            reference for reading a program's menu, whose
//                                            items another process cannot query under Wine
//
// Exit codes: 0 success, 1 not found / failed, 2 bad usage.
#include "platform/win32/windows_include.h"

#include <commctrl.h>
#include <shellapi.h>
#include <winternl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace {

struct TitleSearch {
    std::string title;
    std::vector<HWND> found;
};

// InternalGetWindowText reads the stored text without sending WM_GETTEXT, so a program
// whose thread is busy (running a script, inside a modal box) cannot block the helper.
std::string Narrow(const wchar_t* wide) {
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) {
        return std::string();
    }
    std::vector<char> text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), bytes, nullptr, nullptr);
    return std::string(text.data());
}

std::string WindowText(HWND window) {
    std::vector<wchar_t> wide(1024, L'\0');
    const int length = InternalGetWindowText(window, wide.data(), static_cast<int>(wide.size()));
    if (length <= 0) {
        return std::string();
    }
    const int bytes =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), length, &text[0], bytes, nullptr, nullptr);
    return text;
}

std::string ClassName(HWND window) {
    char buffer[256] = {0};
    GetClassNameA(window, buffer, sizeof(buffer));
    return std::string(buffer);
}

BOOL CALLBACK CollectByTitle(HWND window, LPARAM param) {
    TitleSearch* search = reinterpret_cast<TitleSearch*>(param);
    if (WindowText(window) == search->title) {
        search->found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> WindowsTitled(const std::string& title) {
    TitleSearch search;
    search.title = title;
    EnumWindows(CollectByTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FirstTitled(const std::string& title) {
    const std::vector<HWND> found = WindowsTitled(title);
    return found.empty() ? nullptr : found.front();
}

HWND WaitTitled(const std::string& title, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        HWND window = FirstTitled(title);
        if (window != nullptr || GetTickCount() - start >= timeoutMs) {
            return window;
        }
        Sleep(50);
    }
}

unsigned long Number(const char* text) {
    return std::strtoul(text, nullptr, 0);
}

void PrintWindow(HWND window) {
    std::printf("hwnd=0x%08lx visible=%d class=%s title=%s\n",
                static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(window)),
                IsWindowVisible(window) ? 1 : 0, ClassName(window).c_str(),
                WindowText(window).c_str());
}

BOOL CALLBACK PrintEach(HWND window, LPARAM) {
    PrintWindow(window);
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&children));
    return children;
}

bool IsClass(HWND window, const char* name) {
    return lstrcmpiA(ClassName(window).c_str(), name) == 0;
}

std::string Unescape(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        switch (next) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            default:
                out += next;
        }
    }
    return out;
}

typedef HANDLE(WINAPI* IcmpCreateFileFn)();
typedef BOOL(WINAPI* IcmpCloseHandleFn)(HANDLE);
typedef DWORD(WINAPI* IcmpSendEchoFn)(HANDLE, ULONG, LPVOID, WORD, LPVOID, LPVOID, DWORD, DWORD);

// GetProcAddress hands back a generic pointer; copying it avoids a cast between
// unrelated function types.
template <typename Fn>
Fn Lookup(HMODULE library, const char* name) {
    FARPROC address = library ? GetProcAddress(library, name) : nullptr;
    Fn function = nullptr;
    std::memcpy(&function, &address, sizeof(function));
    return function;
}

// The ICMP entry points are looked up at run time, as the program does, so this helper
// imports nothing that Windows 2000 lacks.
int Ping(const char* address, DWORD timeoutMs) {
    const kestrun::platform::win32::UniqueModule iphlpapi(LoadLibraryA("iphlpapi.dll"));
    const kestrun::platform::win32::UniqueModule winsock(LoadLibraryA("ws2_32.dll"));
    HMODULE library = iphlpapi.Get();
    if (library == nullptr) {
        std::printf("no iphlpapi\n");
        return 1;
    }
    IcmpCreateFileFn create = Lookup<IcmpCreateFileFn>(library, "IcmpCreateFile");
    IcmpCloseHandleFn close = Lookup<IcmpCloseHandleFn>(library, "IcmpCloseHandle");
    IcmpSendEchoFn send = Lookup<IcmpSendEchoFn>(library, "IcmpSendEcho");
    typedef unsigned long(WINAPI * InetAddrFn)(const char*);
    InetAddrFn inetAddr = Lookup<InetAddrFn>(winsock.Get(), "inet_addr");
    if (create == nullptr || close == nullptr || send == nullptr || inetAddr == nullptr) {
        std::printf("missing entry points\n");
        return 1;
    }
    HANDLE icmp = create();
    char payload[32] = "kthelper";
    std::vector<char> reply(sizeof(payload) + 256, '\0');
    SetLastError(0);
    const DWORD answers = send(icmp, inetAddr(address), payload, sizeof(payload), nullptr,
                               reply.data(), static_cast<DWORD>(reply.size()), timeoutMs);
    const DWORD error = GetLastError();
    // ICMP_ECHO_REPLY starts with the address and the status.
    unsigned long status = 0;
    std::memcpy(&status, reply.data() + 4, sizeof(status));
    std::printf("answers=%lu status=%lu error=%lu\n", static_cast<unsigned long>(answers),
                answers ? status : 0ul, static_cast<unsigned long>(error));
    close(icmp);
    return answers != 0 && status == 0 ? 0 : 1;
}

void PrintRect(const char* label, const RECT& r) {
    std::printf("%s=%ld,%ld,%ld,%ld", label, static_cast<long>(r.left), static_cast<long>(r.top),
                static_cast<long>(r.right), static_cast<long>(r.bottom));
}

RECT ClientOnScreen(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT topLeft = {client.left, client.top};
    POINT bottomRight = {client.right, client.bottom};
    ClientToScreen(window, &topLeft);
    ClientToScreen(window, &bottomRight);
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

// WM_GETTEXT with a time limit: controls such as edit boxes keep their text themselves, so
// InternalGetWindowText does not see it.
bool SentText(HWND window, std::string& text) {
    std::vector<char> buffer(1024, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(),
                             reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG, 3000,
                             &copied)) {
        return false;
    }
    text.assign(buffer.data(), static_cast<size_t>(copied));
    return true;
}

// The first window with the title that has the control; a dialog and a message box may
// share a title.
HWND TitledWithItem(const std::string& title, int id, HWND& item) {
    for (HWND window : WindowsTitled(title)) {
        item = GetDlgItem(window, id);
        if (item != nullptr) {
            return window;
        }
    }
    item = nullptr;
    return nullptr;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR& result) {
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 3000, &result) !=
           0;
}

// Typed as the user would: the box's edit field tells the box, which tells its window.
int TypeIntoCombo(HWND combo, const std::string& text) {
    HWND edit = FindWindowExA(combo, nullptr, "Edit", nullptr);
    DWORD_PTR result = 0;
    if (edit == nullptr || !Send(edit, EM_SETSEL, 0, -1, result)) {
        return 1;
    }
    for (const char c : text) {
        if (!Send(edit, WM_CHAR, static_cast<unsigned char>(c), 1, result)) {
            return 1;
        }
    }
    return 0;
}

int PrintCombo(HWND combo) {
    DWORD_PTR count = 0;
    DWORD_PTR selected = 0;
    if (!Send(combo, CB_GETCOUNT, 0, 0, count) || !Send(combo, CB_GETCURSEL, 0, 0, selected)) {
        return 1;
    }
    std::printf("count=%d sel=%d\n", static_cast<int>(count), static_cast<int>(selected));
    // Wine hands an entry to another process in UTF-16 even through the ANSI call, so the
    // entries are read through the wide one, into room to spare.
    for (int index = 0; index < static_cast<int>(count); ++index) {
        DWORD_PTR length = 0;
        Send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0, length);
        std::vector<wchar_t> wide(2 * (static_cast<size_t>(length) + 1), L'\0');
        DWORD_PTR copied = 0;
        SendMessageTimeoutW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG, 3000, &copied);
        wide.back() = L'\0';
        std::printf("%d|%s\n", index, Narrow(wide.data()).c_str());
    }
    std::string edit;
    SentText(combo, edit);
    std::printf("edit=%s\n", edit.c_str());
    return 0;
}

// Memory in another process, for messages whose pointers the system does not carry over.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, SIZE_T size)
        : process_(process),
          address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_ != nullptr) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    char* Get() const { return static_cast<char*>(address_); }

  private:
    HANDLE process_;
    void* address_;
};

// A list view answers LVM_GETITEMTEXT into memory of its own process.
int PrintListRows(HWND list) {
    DWORD processId = 0;
    GetWindowThreadProcessId(list, &processId);
    const kestrun::platform::win32::UniqueKernelHandle process(
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
    if (!process) {
        return 1;
    }
    const SIZE_T textSize = 512;
    const RemoteBuffer remote(process.Get(), sizeof(LVITEMA) + textSize);
    DWORD_PTR count = 0;
    if (remote.Get() == nullptr || !Send(list, LVM_GETITEMCOUNT, 0, 0, count)) {
        return 1;
    }
    char* remoteText = remote.Get() + sizeof(LVITEMA);
    for (int row = 0; row < static_cast<int>(count); ++row) {
        std::printf("%d", row);
        for (int column = 0; column < 2; ++column) {
            LVITEMA item = {};
            item.iSubItem = column;
            item.pszText = remoteText;
            item.cchTextMax = static_cast<int>(textSize);
            std::vector<char> text(textSize, '\0');
            DWORD_PTR copied = 0;
            if (!WriteProcessMemory(process.Get(), remote.Get(), &item, sizeof(item), nullptr) ||
                !Send(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(remote.Get()), copied) ||
                !ReadProcessMemory(process.Get(), remoteText, text.data(), textSize, nullptr)) {
                return 1;
            }
            text.back() = '\0';
            std::printf("|%s", text.data());
        }
        std::printf("\n");
    }
    return 0;
}

struct ClassSearch {
    const char* className;
    HWND found;
};

BOOL CALLBACK FindVisibleOfClass(HWND window, LPARAM param) {
    ClassSearch* search = reinterpret_cast<ClassSearch*>(param);
    if (IsWindowVisible(window) && IsClass(window, search->className)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitVisibleOfClass(const char* className, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        ClassSearch search = {className, nullptr};
        EnumWindows(FindVisibleOfClass, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || GetTickCount() - start >= timeoutMs) {
            return search.found;
        }
        Sleep(50);
    }
}

int PrintMenu(DWORD timeoutMs) {
    HWND popup = WaitVisibleOfClass("#32768", timeoutMs);
    if (popup == nullptr) {
        std::printf("not found\n");
        return 1;
    }
    RECT r = {};
    GetWindowRect(popup, &r);
    PrintRect("rect", r);
    std::printf("\n");
    const UINT kGetMenu = 0x01E1;  // MN_GETHMENU
    DWORD_PTR result = 0;
    SendMessageTimeoutA(popup, kGetMenu, 0, 0, SMTO_ABORTIFHUNG, 3000, &result);
    HMENU menu = reinterpret_cast<HMENU>(result);
    const int count = menu != nullptr ? GetMenuItemCount(menu) : -1;
    std::printf("count=%d\n", count);
    for (int position = 0; position < count; ++position) {
        char text[256] = {0};
        GetMenuStringA(menu, static_cast<UINT>(position), text, sizeof(text), MF_BYPOSITION);
        std::printf("%d|%u|%s\n", position, GetMenuItemID(menu, position), text);
    }
    return 0;
}

int WaitMenuGone(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (WaitVisibleOfClass("#32768", 0) != nullptr) {
        if (GetTickCount() - start >= timeoutMs) {
            return 1;
        }
        Sleep(50);
    }
    return 0;
}

BOOL CALLBACK PrintChild(HWND window, LPARAM) {
    RECT r = {};
    GetWindowRect(window, &r);
    std::printf("    id=%d ", GetDlgCtrlID(window));
    PrintRect("rect", r);
    std::printf(" ");
    PrintWindow(window);
    return TRUE;
}

BOOL CALLBACK PrintTree(HWND window, LPARAM) {
    RECT r = {};
    GetWindowRect(window, &r);
    PrintRect("rect", r);
    std::printf(" ");
    PrintWindow(window);
    EnumChildWindows(window, PrintChild, 0);
    return TRUE;
}

struct ReferenceMenu {
    HMENU menu = nullptr;
    int entries = 0;
    DWORD closeAfterMs = 0;
    bool printed = false;
};

ReferenceMenu g_reference;

LRESULT CALLBACK ReferenceOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == 1 && !g_reference.printed) {
        g_reference.printed = true;
        for (int position = 0; position < g_reference.entries; ++position) {
            RECT r = {};
            GetMenuItemRect(nullptr, g_reference.menu, static_cast<UINT>(position), &r);
            std::printf("%d|%ld,%ld,%ld,%ld\n", position, static_cast<long>(r.left),
                        static_cast<long>(r.top), static_cast<long>(r.right),
                        static_cast<long>(r.bottom));
        }
        HWND popup = WaitVisibleOfClass("#32768", 0);
        RECT r = {};
        if (popup != nullptr) {
            GetWindowRect(popup, &r);
        }
        PrintRect("rect", r);
        std::printf("\n");
        std::fflush(stdout);
        return 0;
    }
    if (message == WM_TIMER && wParam == 2) {
        KillTimer(window, 2);
        EndMenu();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int ShowReferenceMenu(int x, int y, DWORD closeAfterMs, char** texts, int count) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ReferenceOwnerProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KthelperMenuOwner";
    RegisterClassA(&windowClass);
    HWND owner = CreateWindowA("KthelperMenuOwner", "kthelper menu owner", WS_POPUP, 0, 0, 0, 0,
                               nullptr, nullptr, windowClass.hInstance, nullptr);
    HMENU menu = CreatePopupMenu();
    if (owner == nullptr || menu == nullptr) {
        return 1;
    }
    for (int i = 0; i < count; ++i) {
        if (texts[i][0] == '\0') {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(100 + i), texts[i]);
        }
    }
    g_reference.menu = menu;
    g_reference.entries = count;
    SetForegroundWindow(owner);
    SetTimer(owner, 1, 300, nullptr);
    SetTimer(owner, 2, closeAfterMs, nullptr);
    TrackPopupMenu(menu, TPM_RETURNCMD, x, y, 0, owner, nullptr);
    DestroyMenu(menu);
    DestroyWindow(owner);
    return g_reference.printed ? 0 : 1;
}

// Shell_NotifyIconA looked up at run time: the helper links only the basic libraries.
int DeleteTrayIcon(HWND window, UINT id) {
    typedef BOOL(WINAPI * NotifyFn)(DWORD, NOTIFYICONDATAA*);
    const kestrun::platform::win32::UniqueModule shell32(LoadLibraryA("shell32.dll"));
    NotifyFn notify = Lookup<NotifyFn>(shell32.Get(), "Shell_NotifyIconA");
    if (notify == nullptr) {
        return 1;
    }
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = id;
    return notify(NIM_DELETE, &data) ? 0 : 1;
}

typedef LONG(WINAPI* QuerySystemInformationFn)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);

// The handle count of another process, read from the system's process list. Under Wine 8
// GetProcessHandleCount and NtQueryInformationProcess(ProcessHandleCount) answer 0, while the
// list carries the wineserver's count of the process's handle table. Looked up at run time:
// the helper imports nothing that Windows 2000 lacks.
int PrintProcessCounts(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    QuerySystemInformationFn query =
        Lookup<QuerySystemInformationFn>(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    if (query == nullptr) {
        return 1;
    }
    const LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004L);
    std::vector<unsigned char> list(64 * 1024, 0);
    LONG status = kInfoLengthMismatch;
    while (status == kInfoLengthMismatch && list.size() <= 16 * 1024 * 1024) {
        ULONG needed = 0;
        status =
            query(SystemProcessInformation, list.data(), static_cast<ULONG>(list.size()), &needed);
        if (status == kInfoLengthMismatch) {
            list.assign(list.size() * 2 > needed ? list.size() * 2 : needed + 4096, 0);
        }
    }
    if (status != 0) {
        return 1;
    }
    for (size_t offset = 0; offset + sizeof(SYSTEM_PROCESS_INFORMATION) <= list.size();) {
        SYSTEM_PROCESS_INFORMATION entry;
        std::memcpy(&entry, list.data() + offset, sizeof(entry));
        if (static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(entry.UniqueProcessId)) == processId) {
            std::printf("pid=%lu handles=%lu threads=%lu\n", static_cast<unsigned long>(processId),
                        static_cast<unsigned long>(entry.HandleCount),
                        static_cast<unsigned long>(entry.NumberOfThreads));
            return 0;
        }
        if (entry.NextEntryOffset == 0) {
            break;
        }
        offset += entry.NextEntryOffset;
    }
    return 1;
}

int ItemCommand(const std::string& verb, HWND item, int argc, char** argv) {
    if (verb == "item-style") {
        std::printf("style=0x%08lx\n", static_cast<unsigned long>(GetWindowLongA(item, GWL_STYLE)));
        return 0;
    }
    if (verb == "item-send") {
        DWORD_PTR result = 0;
        if (argc < 7 || !Send(item, Number(argv[4]), Number(argv[5]),
                              static_cast<LPARAM>(Number(argv[6])), result)) {
            return 1;
        }
        std::printf("result=%lu\n", static_cast<unsigned long>(result));
        return 0;
    }
    if (verb == "item-text") {
        std::string text;
        if (!SentText(item, text)) {
            return 1;
        }
        std::printf("%s\n", text.c_str());
        return 0;
    }
    if (verb == "type") {
        return argc >= 5 ? TypeIntoCombo(item, argv[4]) : 2;
    }
    if (verb == "combo") {
        return PrintCombo(item);
    }
    if (verb == "list-rows") {
        return PrintListRows(item);
    }
    RECT r = {};
    GetWindowRect(item, &r);
    PrintRect("rect", r);
    std::printf(" visible=%d\n", IsWindowVisible(item) ? 1 : 0);
    return 0;
}

int Usage() {
    std::fprintf(
        stderr,
        "usage: kthelper find|wait|gone|visible|count|list|post|command|"
        "boxtext|press|trace|ping|rect|item-rect|item-text|item-style|item-send|type|combo|"
        "list-rows|menu|"
        "menu-gone|tooltip|tree|"
        "broadcast-taskbar-created|show-menu|tray-delete|handles ...\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return Usage();
    }
    const std::string verb = argv[1];
    if (verb == "list") {
        EnumWindows(PrintEach, 0);
        return 0;
    }
    if (verb == "tree") {
        EnumWindows(PrintTree, 0);
        return 0;
    }
    if (verb == "menu") {
        return PrintMenu(argc > 2 ? Number(argv[2]) : 5000);
    }
    if (verb == "menu-gone") {
        return WaitMenuGone(argc > 2 ? Number(argv[2]) : 5000);
    }
    if (verb == "tooltip") {
        HWND tip = WaitVisibleOfClass("tooltips_class32", argc > 2 ? Number(argv[2]) : 5000);
        std::string text;
        if (tip == nullptr || !SentText(tip, text)) {
            std::printf("not found\n");
            return 1;
        }
        std::printf("%s\n", text.c_str());
        return 0;
    }
    if (verb == "show-menu" && argc >= 6) {
        return ShowReferenceMenu(static_cast<int>(Number(argv[2])),
                                 static_cast<int>(Number(argv[3])), Number(argv[4]), argv + 5,
                                 argc - 5);
    }
    if (verb == "broadcast-taskbar-created") {
        const UINT message = RegisterWindowMessageA("TaskbarCreated");
        return message != 0 && PostMessageA(HWND_BROADCAST, message, 0, 0) ? 0 : 1;
    }
    if (argc < 3) {
        return Usage();
    }
    const std::string title = argv[2];
    if (verb == "trace") {
        OutputDebugStringA(Unescape(title).c_str());
        return 0;
    }
    if (verb == "ping") {
        return Ping(argv[2], argc > 3 ? Number(argv[3]) : 1000);
    }
    if (verb == "count") {
        std::printf("%u\n", static_cast<unsigned>(WindowsTitled(title).size()));
        return 0;
    }
    if (verb == "gone") {
        const DWORD timeoutMs = argc > 3 ? Number(argv[3]) : 0;
        const DWORD start = GetTickCount();
        while (FirstTitled(title) != nullptr) {
            if (GetTickCount() - start >= timeoutMs) {
                return 1;
            }
            Sleep(50);
        }
        return 0;
    }
    const bool itemVerb = verb == "item-rect" || verb == "item-text" || verb == "item-style" ||
                          verb == "type" || verb == "combo" || verb == "list-rows" ||
                          verb == "item-send";
    if (itemVerb && argc >= 4) {
        HWND item = nullptr;
        if (TitledWithItem(title, static_cast<int>(Number(argv[3])), item) == nullptr) {
            std::printf("no item\n");
            return 1;
        }
        return ItemCommand(verb, item, argc, argv);
    }
    DWORD waitMs = 0;
    if (verb == "wait" || verb == "boxtext" || verb == "press") {
        waitMs = argc > 3 ? Number(argv[3]) : (verb == "wait" ? 5000 : 0);
    }
    HWND window = WaitTitled(title, waitMs);
    if (window == nullptr) {
        std::printf("not found\n");
        return 1;
    }
    if (verb == "find" || verb == "wait") {
        PrintWindow(window);
        return 0;
    }
    if (verb == "visible") {
        PrintWindow(window);
        return IsWindowVisible(window) ? 0 : 1;
    }
    if (verb == "post" && argc >= 6) {
        return PostMessageA(window, Number(argv[3]), Number(argv[4]),
                            static_cast<LPARAM>(Number(argv[5])))
                   ? 0
                   : 1;
    }
    if (verb == "rect") {
        RECT r = {};
        GetWindowRect(window, &r);
        PrintRect("window", r);
        std::printf(" ");
        PrintRect("client", ClientOnScreen(window));
        std::printf("\n");
        return 0;
    }
    if (verb == "handles") {
        return PrintProcessCounts(window);
    }
    if (verb == "tray-delete" && argc >= 4) {
        return DeleteTrayIcon(window, static_cast<UINT>(Number(argv[3])));
    }
    if (verb == "command" && argc >= 4) {
        return PostMessageA(window, WM_COMMAND, Number(argv[3]), 0) ? 0 : 1;
    }
    if (verb == "boxtext") {
        int printed = 0;
        for (HWND child : Children(window)) {
            const std::string text = WindowText(child);
            if (IsClass(child, "Static") && !text.empty()) {
                std::printf("%s\n", text.c_str());
                ++printed;
            }
        }
        return printed ? 0 : 1;
    }
    if (verb == "press") {
        for (HWND child : Children(window)) {
            if (IsClass(child, "Button")) {
                const int id = GetDlgCtrlID(child);
                return PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                                    reinterpret_cast<LPARAM>(child))
                           ? 0
                           : 1;
            }
        }
        return 1;
    }
    return Usage();
}
