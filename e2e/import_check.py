#!/usr/bin/env python3
"""Fails when an exe of the Windows build imports something Windows 2000 lacks.

    import_check.py --objdump i686-w64-mingw32-objdump BUILD_DIR_OR_EXE...
    import_check.py --self-test

Every exe directly in the given directories and in their tools/ folder is checked: each
imported DLL must be one Windows 2000 ships, and no imported function may come from a later
Windows (or from a later msvcrt.dll). Anything newer has to be looked up at run time."""

import argparse
import glob
import os
import re
import subprocess
import sys

ALLOWED_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll", "ole32.dll",
    "oleaut32.dll", "comctl32.dll", "ws2_32.dll", "wsock32.dll", "iphlpapi.dll",
    "userenv.dll", "version.dll", "msvcrt.dll",
}

# Functions first shipped after Windows 2000 (XP, Server 2003, Vista, 7 ...), or exported
# by name only from later versions of a DLL that Windows 2000 has. Conservative on purpose.
NEWER_FUNCTIONS = set("""
GetNativeSystemInfo GetTickCount64 InitializeCriticalSectionEx
InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete InitOnceInitialize
InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive
ReleaseSRWLockShared TryAcquireSRWLockExclusive TryAcquireSRWLockShared
InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
WakeConditionVariable WakeAllConditionVariable
FlsAlloc FlsGetValue FlsSetValue FlsFree
GetSystemTimePreciseAsFileTime CreateSymbolicLinkA CreateSymbolicLinkW
GetFinalPathNameByHandleA GetFinalPathNameByHandleW SetThreadStackGuarantee IsWow64Process
GetLogicalProcessorInformation GetLogicalProcessorInformationEx AttachConsole
AddVectoredExceptionHandler RemoveVectoredExceptionHandler AddVectoredContinueHandler
RemoveVectoredContinueHandler GetModuleHandleExA GetModuleHandleExW RtlCaptureStackBackTrace
RtlCaptureContext RtlVirtualUnwind RtlLookupFunctionEntry
WTSGetActiveConsoleSessionId InterlockedCompareExchange64 EncodePointer DecodePointer
EncodeSystemPointer DecodeSystemPointer GetProcessId GetThreadId GetProcessIdOfThread
InitializeSListHead InterlockedPushEntrySList InterlockedPopEntrySList InterlockedFlushSList
QueryDepthSList GetSystemWow64DirectoryA GetSystemWow64DirectoryW
Wow64DisableWow64FsRedirection Wow64RevertWow64FsRedirection GetErrorMode
SetFileInformationByHandle GetFileInformationByHandleEx CreateEventExA CreateEventExW
CreateMutexExA CreateMutexExW CreateSemaphoreExA CreateSemaphoreExW CreateWaitableTimerExW
GetCurrentProcessorNumber QueryFullProcessImageNameA QueryFullProcessImageNameW
GetLocaleInfoEx CompareStringEx LCMapStringEx GetUserDefaultLocaleName LocaleNameToLCID
LCIDToLocaleName CancelIoEx GetQueuedCompletionStatusEx SetDllDirectoryA SetDllDirectoryW
GetDllDirectoryA GetDllDirectoryW HeapSetInformation GetSystemTimes ConvertFiberToThread
CreateFiberEx TzSpecificLocalTimeToSystemTime GetProcessHandleCount
CheckRemoteDebuggerPresent ReOpenFile GetTimeZoneInformationForYear
GetDynamicTimeZoneInformation GetVolumePathNamesForVolumeNameA
GetVolumePathNamesForVolumeNameW GetNumaHighestNodeNumber SetSearchPathMode
GetCurrentThreadStackLimits
RegGetValueA RegGetValueW RegDeleteKeyExA RegDeleteKeyExW RegSetKeyValueA RegSetKeyValueW
RegDeleteTreeA RegDeleteTreeW RegCopyTreeA RegCopyTreeW RegLoadMUIStringA RegLoadMUIStringW
RegDisablePredefinedCacheEx CreateWellKnownSid SystemFunction036 EventRegister EventWrite
EventUnregister CredReadA CredReadW CredWriteA CredWriteW
GetLayeredWindowAttributes PrintWindow GetRawInputData RegisterRawInputDevices
ChangeWindowMessageFilter ChangeWindowMessageFilterEx SetProcessDPIAware IsProcessDPIAware
AddClipboardFormatListener RegisterPowerSettingNotification ShutdownBlockReasonCreate
IsWow64Message GetWindowRgnBox
SHGetKnownFolderPath SHCreateItemFromParsingName SHGetFolderPathAndSubDirA
SHGetFolderPathAndSubDirW SHGetStockIconInfo Shell_NotifyIconGetRect
GetAdaptersAddresses GetIpForwardTable2 GetIfTable2 FreeMibTable GetUnicastIpAddressTable
ConvertInterfaceLuidToIndex ConvertInterfaceIndexToLuid if_nametoindex if_indextoname
GetExtendedTcpTable GetExtendedUdpTable GetBestInterfaceEx
IcmpCreateFile IcmpCloseHandle IcmpSendEcho IcmpSendEcho2 IcmpSendEcho2Ex Icmp6CreateFile
Icmp6SendEcho2 IcmpParseReplies
getaddrinfo freeaddrinfo getnameinfo GetAddrInfoW FreeAddrInfoW GetNameInfoW
GetAddrInfoExA GetAddrInfoExW FreeAddrInfoEx inet_pton inet_ntop InetPtonW InetNtopW
WSAPoll WSASendMsg
TaskDialog TaskDialogIndirect LoadIconMetric LoadIconWithScaleDown SetWindowSubclass
GetWindowSubclass RemoveWindowSubclass DefSubclassProc
_vscprintf _vscwprintf _aligned_malloc _aligned_free _aligned_realloc
_aligned_offset_malloc _aligned_offset_realloc _aligned_msize __iob_func
_strtoi64 _strtoui64 _wcstoi64 _wcstoui64 _ctime64 _time64 _localtime64 _gmtime64 _mktime64
_mkgmtime _mkgmtime64 _ftelli64 _fseeki64 _set_invalid_parameter_handler
_get_invalid_parameter_handler _set_abort_behavior _create_locale _free_locale
_set_output_format _get_output_format ___lc_codepage_func ___mb_cur_max_func
___lc_handle_func __pctype_func __pwctype_func _get_errno _set_errno _get_doserrno
_set_doserrno _lock_file _unlock_file
""".split())

# msvcrt.dll of Windows 2000 has none of the bounds-checked "_s" functions.
SECURE_SUFFIX = re.compile(r"^[A-Za-z_][A-Za-z0-9_]*_s$")


def parse_imports(objdump_text):
    """{dll name (lower case): [function names]} from `objdump -p` output."""
    imports = {}
    current = None
    in_imports = False
    for line in objdump_text.splitlines():
        if line.startswith("The Import Tables"):
            in_imports = True
            continue
        if in_imports and (line.startswith("The Export Tables") or
                           line.startswith("The Function Table") or
                           line.startswith("PE File Base Relocations")):
            in_imports = False
            current = None
            continue
        if not in_imports:
            continue
        dll = re.match(r"^\s*DLL Name:\s*(\S+)", line)
        if dll:
            current = dll.group(1).lower()
            imports.setdefault(current, [])
            continue
        entry = re.match(r"^\s+[0-9a-fA-F]+\s+(\d+)\s+(\S+)\s*$", line)
        if current and entry:
            imports[current].append(entry.group(2))
    return imports


def problems_in(imports):
    found = []
    for dll, functions in sorted(imports.items()):
        if dll not in ALLOWED_DLLS:
            found.append(f"imports {dll}, which is not an allowed Windows 2000 DLL")
        for function in functions:
            if function in NEWER_FUNCTIONS:
                found.append(f"imports {dll}!{function}, newer than Windows 2000")
            elif dll == "msvcrt.dll" and SECURE_SUFFIX.match(function):
                found.append(f"imports {dll}!{function}, missing from the Windows 2000 msvcrt")
    return found


def executables(targets):
    found = []
    for target in targets:
        if os.path.isdir(target):
            found += sorted(glob.glob(os.path.join(target, "*.exe")))
            found += sorted(glob.glob(os.path.join(target, "tools", "*.exe")))
            found += sorted(glob.glob(os.path.join(target, "bench", "*.exe")))
        else:
            found.append(target)
    return found


def self_test():
    sample = """
The Import Tables (interpreted .idata section contents)
\tDLL Name: KERNEL32.dll
\tvma:  Hint/Ord Member-Name Bound-To
\t3a310\t  136  CloseHandle
\t3a31e\t  240  GetTickCount64
\tDLL Name: dbghelp.dll
\t3a400\t    1  SymInitialize
\tDLL Name: msvcrt.dll
\t3a55c\t   58  strcpy_s
\t3a56c\t   59  _errno

The Export Tables
"""
    imports = parse_imports(sample)
    assert imports == {"kernel32.dll": ["CloseHandle", "GetTickCount64"],
                       "dbghelp.dll": ["SymInitialize"],
                       "msvcrt.dll": ["strcpy_s", "_errno"]}, imports
    problems = problems_in(imports)
    assert len(problems) == 3, problems
    assert any("GetTickCount64" in p for p in problems)
    assert any("dbghelp.dll, which" in p for p in problems)
    assert any("strcpy_s" in p for p in problems)
    assert problems_in({"kernel32.dll": ["GetConsoleWindow", "OutputDebugStringA"]}) == []
    print("self-test passed")
    return 0


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--objdump", default="i686-w64-mingw32-objdump")
    parser.add_argument("--self-test", action="store_true")
    parser.add_argument("targets", nargs="*")
    args = parser.parse_args()
    if args.self_test:
        return self_test()
    exes = executables(args.targets)
    if not exes:
        print("no executables found")
        return 1
    failed = False
    for exe in exes:
        text = subprocess.run([args.objdump, "-p", exe], capture_output=True, text=True,
                              check=True).stdout
        imports = parse_imports(text)
        if not imports:
            print(f"{exe}: no import table found")
            failed = True
            continue
        problems = problems_in(imports)
        count = sum(len(f) for f in imports.values())
        status = "FAIL" if problems else "ok"
        print(f"{status} {os.path.basename(exe)}: {count} functions from "
              f"{', '.join(sorted(imports))}")
        for problem in problems:
            print(f"    {problem}")
        failed = failed or bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
