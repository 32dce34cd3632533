; Setup of Kestrun for Windows 2000 to 11, built by the win32 preset:
;   makensis -DKESTRUN_EXE=<exe> -DSOURCE_DIR=<repository> -DOUTFILE=<setup.exe> kestrun.nsi
; Installs the program, its two tray icons, the supplied scripts and the openVPN folder;
; the folder is closed to everybody but the administrators and the system; the uninstaller
; ends a running client the way the portal's log-out does ("-r"), removes the files the client
; wrote that hold keys, and keeps the user's Setting.tmp (without its key) and every file that
; the setup did not put there.

!ifndef KESTRUN_EXE
  !error "define KESTRUN_EXE, the Kestrun.exe to install"
!endif
!ifndef SOURCE_DIR
  !error "define SOURCE_DIR, the repository with res/ and installer/"
!endif
!ifndef OUTFILE
  !error "define OUTFILE, the setup program to write"
!endif

Unicode true
SetCompressor /SOLID lzma

!define PRODUCT "Kestrun"
!define VERSION "1.00"
!define PUBLISHER "Varnel"
!define MAIN_TITLE "Pallisor Client"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Disconnect & Exit waits for the user to close its message box; this long, in 500 ms steps.
!define CLIENT_END_STEPS 60
!define NEEDS_ADMIN "${PRODUCT} needs administrator rights. Please log on as an administrator."
!define STILL_RUNNING "${MAIN_TITLE} is still running. Close its message box, then choose Retry."
; Owner Administrators; a protected DACL, inherited by everything inside: full control for
; Administrators and SYSTEM, read and run for Users. Well-known SIDs, so any language of
; Windows reads it the same.
!define FOLDER_SDDL "O:BAD:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"
!define SE_FILE_OBJECT 1
; OWNER_, DACL_ and PROTECTED_DACL_SECURITY_INFORMATION
!define FOLDER_SECURITY_PARTS 0x80000005
!define NOT_SECURED "The permissions of $INSTDIR could not be set (error $1). ${MAIN_TITLE} will not build a tunnel from a folder that users can change."

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; The supplied scripts change routes and IPsec policy, and the setup writes to HKLM.
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "1.0.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup for Windows 2000 to 11"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${SOURCE_DIR}/res/kestrun.ico"
!define MUI_UNICON "${SOURCE_DIR}/res/kestrun.ico"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; On Windows 2000 and XP nothing elevates the setup: without an administrator's rights it
; would fail half-way, at the first file in Program Files or the first HKLM value.
!macro REQUIRE_ADMIN
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${NEEDS_ADMIN}" /SD IDOK
    SetErrorLevel 740 ; ERROR_ELEVATION_REQUIRED
    Quit
  ${EndIf}
!macroend

; Asks a running client to disconnect and exit, as the portal's log-out does, so that its
; tunnel is torn down and Kestrun.exe is free to be replaced or removed. The client shows
; a message box on the way out, so the wait is for the user too.
!macro END_RUNNING_CLIENT_FUNCTION UN
Function ${UN}EndRunningClient
  Push $0
  Push $1
  FindWindow $0 "" "${MAIN_TITLE}"
  ${If} $0 <> 0
  ${AndIf} ${FileExists} "$INSTDIR\Kestrun.exe"
    DetailPrint "Ending the running ${MAIN_TITLE}..."
    ExecWait '"$INSTDIR\Kestrun.exe" -r'
    StrCpy $1 0
    ${Do}
      FindWindow $0 "" "${MAIN_TITLE}"
      ${If} $0 = 0
        ${Break}
      ${EndIf}
      ${If} $1 >= ${CLIENT_END_STEPS}
        ; Asking again would stack a second exit on the first one's message box.
        ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${STILL_RUNNING}" /SD IDCANCEL IDCANCEL`
          Abort "${MAIN_TITLE} is still running."
        ${EndIf}
        StrCpy $1 0
      ${EndIf}
      Sleep 500
      IntOp $1 $1 + 1
    ${Loop}
    ; The window goes before the process; Kestrun.exe stays locked until it has ended.
    Sleep 1000
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro END_RUNNING_CLIENT_FUNCTION ""
!insertmacro END_RUNNING_CLIENT_FUNCTION "un."

; The client runs what it finds in its folder with administrator rights (cmd and the loader
; look there first), so only administrators may change it, whatever folder was chosen. The
; system's own security functions do it, through the System plug-in: the same on Windows 2000
; to 11, where cacls (2000, XP) and icacls (Vista on) differ in syntax and want localised
; account names. Files inside inherit the folder's entries; the ones the client made private
; keep their own, so an update leaves them as they are.
Function SecureInstallFolder
  Push $0
  Push $1
  Push $2
  Push $3
  Push $4
  StrCpy $0 0
  System::Call 'advapi32::ConvertStringSecurityDescriptorToSecurityDescriptorW(w "${FOLDER_SDDL}", i 1, *p .r0, p 0) i .r1'
  ${If} $1 = 0
    System::Call 'kernel32::GetLastError() i .r1'
  ${Else}
    System::Call 'advapi32::GetSecurityDescriptorOwner(p r0, *p .r2, *i .r4) i .r1'
    System::Call 'advapi32::GetSecurityDescriptorDacl(p r0, *i .r4, *p .r3, *i .r4) i .r1'
    System::Call 'advapi32::SetNamedSecurityInfoW(w "$INSTDIR", i ${SE_FILE_OBJECT}, i ${FOLDER_SECURITY_PARTS}, p r2, p 0, p r3, p 0) i .r1'
    System::Call 'kernel32::LocalFree(p r0)'
  ${EndIf}
  ${If} $1 <> 0
    DetailPrint "${NOT_SECURED}"
    MessageBox MB_OK|MB_ICONEXCLAMATION "${NOT_SECURED}" /SD IDOK
  ${Else}
    DetailPrint "Only administrators may change $INSTDIR."
  ${EndIf}
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Function .onInit
  !insertmacro REQUIRE_ADMIN
FunctionEnd

Function un.onInit
  !insertmacro REQUIRE_ADMIN
FunctionEnd

Section "${PRODUCT}" SecProgram
  SectionIn RO
  ; Installing over a running client of the same folder.
  Call EndRunningClient

  SetOutPath "$INSTDIR"
  ; Before anything goes in, so that no user can replace a file while it is being put there.
  Call SecureInstallFolder
  File "/oname=Kestrun.exe" "${KESTRUN_EXE}"
  ; A site may have put scripts of its own under these names: an update keeps them.
  SetOverwrite off
  File "${SOURCE_DIR}/res/scripts/Refresh.bat"
  File "${SOURCE_DIR}/res/scripts/GetIPSecStats.bat"
  SetOverwrite on

  SetOutPath "$INSTDIR\res"
  File "${SOURCE_DIR}/res/icon_link.ico"
  File "${SOURCE_DIR}/res/icon_NoLink.ico"

  SetOutPath "$INSTDIR\openVPN"
  File "/oname=README.txt" "${SOURCE_DIR}/installer/openVPN-README.txt"

  ; The client makes its own folder the current one; relative script names resolve there.
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  SectionGetSize ${SecProgram} $0
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kestrun.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; What the setup installed goes, and so do the files the client wrote that hold keys (the
; tunnel scripts, the OpenVPN key) and the counters' tmp.txt. Setting.tmp (the user's settings
; and address history) stays, without its pre-shared key; the message page and whatever an
; administrator put into the folders stay too; a folder that is not empty stays with them.
Section "Uninstall"
  Call un.EndRunningClient

  Delete "$INSTDIR\Varnel_IPSecVPN.bat"
  Delete "$INSTDIR\Varnel_openVPN.bat"
  Delete "$INSTDIR\DelRouteTable.bat"
  Delete "$INSTDIR\Clear_IPsec.bat"
  Delete "$INSTDIR\Key.txt"
  Delete "$INSTDIR\tmp.txt"
  ${If} ${FileExists} "$INSTDIR\Setting.tmp"
    DeleteINIStr "$INSTDIR\Setting.tmp" "IPSec" "PreSharedKey"
  ${EndIf}

  ClearErrors
  Delete "$INSTDIR\Kestrun.exe"
  ${If} ${Errors}
    ; Still in use: gone at the next restart.
    Delete /REBOOTOK "$INSTDIR\Kestrun.exe"
  ${EndIf}
  Delete "$INSTDIR\Refresh.bat"
  Delete "$INSTDIR\GetIPSecStats.bat"
  Delete "$INSTDIR\res\icon_link.ico"
  Delete "$INSTDIR\res\icon_NoLink.ico"
  RMDir "$INSTDIR\res"
  Delete "$INSTDIR\openVPN\README.txt"
  RMDir "$INSTDIR\openVPN"
  Delete "$INSTDIR\Uninstall.exe"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  RMDir "$INSTDIR"
SectionEnd
