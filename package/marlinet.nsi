; Marlinet's setup: a per-user install into the user's own programs folder,
; where Marlinet can keep its settings beside Marlinet.exe as it always has.
; Built by the build (makensis) with these defined on its command line:
;   VERSION   the program's version, as 1.2.3
;   VERSION4  the same with four numbers, as 1.2.3.0
;   SOURCE    the package folder: Marlinet.exe, the sounds, READ-ME.txt, defaults
;   ICON      the bell icon
;   OUTFILE   the setup program to write
Unicode true
ManifestDPIAware true
RequestExecutionLevel user
; A file that cannot be written (a Marlinet.exe still running) fails the
; setup instead of being skipped in silence.
AllowSkipFiles off
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Marlinet"
!define PUBLISHER "Orvanta Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Marlinet"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define UNINSTALLER "uninstall.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Marlinet"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

Var Upgrade          ; 1 when a copy is installed already
Var StartWithWindows ; 1 when the Run value is to be there
Var WasRunning       ; 1 when the installed copy was running before the setup
Var KeepSettings     ; the uninstaller's tick box
Var KeepSettingsBox
Var Elevated         ; 1 when the setup runs elevated by "Run as administrator"

!define MUI_WELCOMEPAGE_TITLE "Marlinet ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "Marlinet strikes ship's watch bells every half hour from a bell in the notification area, shows the time at up to 24 places, and opens programs at the times of day you give it.$\r$\n$\r$\nThis setup installs Marlinet ${VERSION} for you alone, into$\r$\n$INSTDIR$\r$\nIt needs no administrator rights. Your options and launch list stay as they are.$\r$\n$\r$\nClick Install to go on."
!define MUI_PAGE_CUSTOMFUNCTION_SHOW WelcomeShow
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
; What was done stays in sight (a Startup shortcut left in place, say).
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_TITLE "Marlinet ${VERSION} is installed"
!define MUI_FINISHPAGE_TEXT "Marlinet lives in the notification area: look for the bell at the right of the taskbar (Windows may put it behind the small arrow ^)."
!define MUI_FINISHPAGE_RUN "$INSTDIR\Marlinet.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Marlinet now"
!define MUI_FINISHPAGE_RUN_FUNCTION NothingYet
!define MUI_FINISHPAGE_SHOWREADME ""
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Start Marlinet when Windows starts"
!define MUI_FINISHPAGE_SHOWREADME_FUNCTION NothingYet
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE FinishLeave
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
UninstPage custom un.KeepPage un.KeepPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The program's files, each by name: the uninstaller removes these and
; nothing else of the folder.
!macro ProgramFiles Action
  !insertmacro ${Action} "Marlinet.exe"
  !insertmacro ${Action} "READ-ME.txt"
  !insertmacro BellFiles ${Action} "0+1"
  !insertmacro BellFiles ${Action} "1"
  !insertmacro BellFiles ${Action} "1+1"
  !insertmacro BellFiles ${Action} "2"
  !insertmacro BellFiles ${Action} "2+1"
  !insertmacro BellFiles ${Action} "3"
  !insertmacro BellFiles ${Action} "3+1"
  !insertmacro BellFiles ${Action} "4"
!macroend
!macro BellFiles Action Count
  !insertmacro ${Action} "${Count}bell.wav"
  !insertmacro ${Action} "${Count}Lbell.wav"
!macroend
!macro InstallFile Name
  File "${SOURCE}/${Name}"
!macroend
!macro RemoveFile Name
  Delete "$INSTDIR\${Name}"
!macroend

; How many copies of Marlinet run (from any folder): each has one
; message-only window of this class.
!macro CountRunningCopies Result
  Push $R8
  StrCpy ${Result} 0
  StrCpy $R8 0
  ${Do}
    System::Call 'user32::FindWindowExW(p -3, p R8, w "TMarlinetInstance", p 0) p .R8'
    ${If} $R8 = 0
      ${Break}
    ${EndIf}
    IntOp ${Result} ${Result} + 1
  ${Loop}
  Pop $R8
!macroend

; Asks the copy running from the install folder to end as "Quit" ends it,
; saving its options, and waits for it. It refuses while one of its boxes
; or its launch list is open: the person is asked to close that and retry.
; A silent run cannot ask, and ends with exit code 2, the old copy running.
!macro EndRunningCopy
  StrCpy $WasRunning 0
  ${If} ${FileExists} "$INSTDIR\Marlinet.exe"
    !insertmacro CountRunningCopies $R0
    ${Do}
      DetailPrint "Asking a running Marlinet to end..."
      ExecWait '"$INSTDIR\Marlinet.exe" /quit' $R1
      ${If} $R1 = 0
        ${Break}
      ${EndIf}
      ${If} $R1 = 1
        StrCpy $R2 "Marlinet is running and cannot end now: one of its messages or its launch list is open.$\r$\n$\r$\nClose it in Marlinet, then click Retry. Cancel leaves Marlinet as it is."
      ${Else}
        StrCpy $R2 "Marlinet is running and did not end when asked.$\r$\n$\r$\nClick Retry to ask again. Cancel leaves Marlinet as it is."
      ${EndIf}
      DetailPrint "Marlinet did not end (answer $R1)."
      ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$R2" /SD IDCANCEL IDRETRY`
        SetErrorLevel 2
        Abort "Marlinet is still running; nothing was changed."
      ${EndIf}
    ${Loop}
    !insertmacro CountRunningCopies $R3
    ${If} $R3 < $R0
      StrCpy $WasRunning 1
    ${EndIf}
  ${EndIf}
!macroend

; The TOKEN_ELEVATION_TYPE (TokenElevationType, 18) of a process handle's
; token (-1: this process) in Result: 1 no split token, 2 the elevated half
; of one, 3 the limited half; 0 when it cannot be read.
!macro ElevationType Process Result
  StrCpy ${Result} 0
  System::Call 'advapi32::OpenProcessToken(p ${Process}, i 8, *p .R6) i .R4'
  ${If} $R4 <> 0
    System::Call 'advapi32::GetTokenInformation(p R6, i 18, *i .R5, i 4, *i .R9) i .R4'
    ${If} $R4 <> 0
      StrCpy ${Result} $R5
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R6)'
  ${EndIf}
!macroend

; Setup run as an administrator, or as another account than the desktop's,
; would install into that account's folders: the person may not want that.
!macro CheckAccount Prefix
  ; TokenElevationType (18) is full (2) only for the elevated half of a
  ; split token: "Run as administrator". Where UAC is off, every program of
  ; an administrator runs so, and nothing is said about it.
  StrCpy $Elevated 0
  !insertmacro ElevationType -1 $R7
  ${If} $R7 = 2
    StrCpy $Elevated 1
  ${EndIf}
  ${IfNot} ${Silent}
    StrCpy $R0 ""
    System::Call 'advapi32::GetUserNameW(w .R1, *i ${NSIS_MAX_STRLEN})'
    System::Call 'wtsapi32::WTSQuerySessionInformationW(p 0, i -1, i 5, *p .R2, *i .R3) i .R4'
    ${If} $R4 <> 0
      System::Call '*$R2(&w${NSIS_MAX_STRLEN} .R5)'
      System::Call 'wtsapi32::WTSFreeMemory(p R2)'
      ${If} $R5 != ""
      ${AndIf} $R5 != $R1
        StrCpy $R0 "This setup runs as $R1, not as $R5, who is signed in."
      ${EndIf}
    ${EndIf}
    ${If} $R0 == ""
    ${AndIf} $Elevated = 1
      StrCpy $R0 "This setup runs as an administrator."
    ${EndIf}
    ${If} $R0 != ""
      ${IfNot} ${Cmd} `MessageBox MB_OKCANCEL|MB_ICONINFORMATION "$R0$\r$\n$\r$\nMarlinet ${Prefix} for the account $R1 only: its folder, Start menu and start with Windows.$\r$\n$\r$\nTo do it for yourself, click Cancel and start this setup again by a plain double click." IDOK`
        Quit
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

Function .onInit
  StrCpy $Upgrade 0
  ${If} ${FileExists} "$INSTDIR\Marlinet.exe"
    StrCpy $Upgrade 1
  ${EndIf}
  ; A first install starts with Windows; an upgrade keeps the earlier choice.
  StrCpy $StartWithWindows 1
  ${If} $Upgrade = 1
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
    ${If} ${Errors}
      StrCpy $StartWithWindows 0
    ${EndIf}
  ${EndIf}
  !insertmacro CheckAccount "would be installed"
FunctionEnd

Function WelcomeShow
  ${If} $Upgrade = 1
    ${NSD_SetText} $mui.WelcomePage.Text "Marlinet is installed in$\r$\n$INSTDIR$\r$\nThis setup brings it to version ${VERSION}. If it is running, it is asked to end as Quit ends it (its options are saved) and is started again afterwards.$\r$\n$\r$\nYour options, places, launch list and launch log are kept as they are.$\r$\n$\r$\nClick Install to go on."
  ${EndIf}
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:$(^InstallBtn)"
FunctionEnd

Function NothingYet
FunctionEnd

Function FinishShow
  ${If} $StartWithWindows = 1
    ${NSD_Check} $mui.FinishPage.ShowReadme
  ${Else}
    ${NSD_Uncheck} $mui.FinishPage.ShowReadme
  ${EndIf}
FunctionEnd

Function FinishLeave
  ${NSD_GetState} $mui.FinishPage.ShowReadme $StartWithWindows
  Call WriteStartWithWindows
  ${NSD_GetState} $mui.FinishPage.Run $0
  ${If} $0 = ${BST_CHECKED}
  ${OrIf} $WasRunning = 1
    Call StartMarlinet
  ${EndIf}
FunctionEnd

; Started from a setup elevated above the desktop (the shell runs with the
; limited half of the token), Marlinet would run elevated: a later plain
; start could neither find it nor ask it to quit, and two copies would strike
; every bell. It is left to the Start menu then. Where the shell runs as
; elevated as the setup, or cannot be asked, a start changes nothing.
Function StartMarlinet
  StrCpy $R0 0
  ${If} $Elevated = 1
    System::Call 'user32::GetShellWindow() p .R1'
    ${If} $R1 P<> 0
      System::Call 'user32::GetWindowThreadProcessId(p R1, *i .R2)'
      ; PROCESS_QUERY_LIMITED_INFORMATION
      System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i R2) p .R3'
      ${If} $R3 P<> 0
        !insertmacro ElevationType R3 $R7
        ${If} $R7 <> 0
        ${AndIf} $R7 <> 2
          StrCpy $R0 1
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p R3)'
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $R0 = 1
    DetailPrint "Marlinet was not started: from this setup it would run as an administrator. Start it from the Start menu."
    MessageBox MB_OK|MB_ICONINFORMATION "Marlinet was not started, since from this setup it would run as an administrator.$\r$\n$\r$\nStart it from the Start menu." /SD IDOK
  ${Else}
    Exec '"$INSTDIR\Marlinet.exe"'
  ${EndIf}
FunctionEnd

Function WriteStartWithWindows
  ${If} $StartWithWindows = 1
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Marlinet.exe"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegValue HKCU "${APPROVED_KEY}" "${PRODUCT}"
  ${EndIf}
FunctionEnd

; The file a shortcut ($R0) starts, in $R1; empty when it cannot be read.
Function ShortcutTarget
  StrCpy $R1 ""
  ; CLSID_ShellLink, IID_IShellLinkW, IID_IPersistFile.
  System::Call 'ole32::CoCreateInstance(g "{00021401-0000-0000-C000-000000000046}", p 0, i 1, g "{000214F9-0000-0000-C000-000000000046}", *p .R2) i .R4'
  ${If} $R4 = 0
    System::Call '$R2->0(g "{0000010B-0000-0000-C000-000000000046}", *p .R3) i .R4'
    ${If} $R4 = 0
      ; IPersistFile::Load, then IShellLinkW::GetPath.
      System::Call '$R3->5(w R0, i 0) i .R4'
      ${If} $R4 = 0
        System::Call '$R2->3(w .R1, i ${NSIS_MAX_STRLEN}, p 0, i 0)'
      ${EndIf}
      System::Call '$R3->2()'
    ${EndIf}
    System::Call '$R2->2()'
  ${EndIf}
FunctionEnd

; A Startup folder shortcut to a Marlinet.exe elsewhere (the way the zip's
; read-me taught) would start a second copy from another folder, and both
; would strike every bell.
Function OfferToRemoveStartupShortcut
  FindFirst $0 $1 "$SMSTARTUP\*.lnk"
  ${DoWhile} $1 != ""
    StrCpy $R0 "$SMSTARTUP\$1"
    Call ShortcutTarget
    ${GetFileName} $R1 $R5
    ${If} $R5 == "Marlinet.exe"
    ${AndIf} $R1 != "$INSTDIR\Marlinet.exe"
      ${If} ${Silent}
        DetailPrint "Your Startup folder holds $1, which starts a second Marlinet from $R1; it was left there."
      ${Else}
        ${If} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION "Your Startup folder holds a shortcut that starts Marlinet from another folder:$\r$\n$\r$\n$1$\r$\n($R1)$\r$\n$\r$\nWith it, two copies of Marlinet would start with Windows and strike every bell twice. Remove the shortcut?" IDYES`
          Delete "$SMSTARTUP\$1"
          DetailPrint "Removed $1 from your Startup folder."
        ${EndIf}
      ${EndIf}
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
FunctionEnd

Section "Marlinet"
  SetOutPath "$INSTDIR"
  !insertmacro EndRunningCopy
  SetOverwrite on
  !insertmacro ProgramFiles InstallFile
  ; The quiet defaults only where the person has no settings of their own.
  SetOverwrite off
  File "${SOURCE}/prefs.kvr"
  File "${SOURCE}/proc.kvr"
  SetOverwrite on
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortCut "$SMPROGRAMS\Marlinet.lnk" "$INSTDIR\Marlinet.exe" "" "$INSTDIR\Marlinet.exe" 0
  Call WriteStartWithWindows
  Call OfferToRemoveStartupShortcut

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Marlinet.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function .onInstSuccess
  ; The finish page starts it when the setup has pages.
  ${If} ${Silent}
  ${AndIf} $WasRunning = 1
    Call StartMarlinet
  ${EndIf}
FunctionEnd

; --- The uninstaller ----------------------------------------------------------

Function un.onInit
  StrCpy $KeepSettings ${BST_CHECKED}
  !insertmacro CheckAccount "would be removed"
FunctionEnd

Function un.KeepPage
  !insertmacro MUI_HEADER_TEXT "Your settings" "Marlinet's options, places and launch list can stay for a later install."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 48u "Marlinet keeps your options and places in prefs.kvr, your launch list in proc.kvr, the options window's state in Marlinet.ini and what each launch did in launch.log, all in$\r$\n$INSTDIR$\r$\nThey stay unless you tick the box."
  Pop $0
  ${NSD_CreateCheckbox} 0 60u 100% 12u "Also remove my settings and launch list"
  Pop $KeepSettingsBox
  ${If} $KeepSettings = ${BST_UNCHECKED}
    ${NSD_Check} $KeepSettingsBox
  ${EndIf}
  ${NSD_SetFocus} $KeepSettingsBox
  nsDialogs::Show
FunctionEnd

Function un.KeepPageLeave
  ${NSD_GetState} $KeepSettingsBox $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $KeepSettings ${BST_UNCHECKED}
  ${Else}
    StrCpy $KeepSettings ${BST_CHECKED}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  !insertmacro EndRunningCopy
  !insertmacro ProgramFiles RemoveFile
  Delete "$INSTDIR\${UNINSTALLER}"
  ${If} $KeepSettings = ${BST_UNCHECKED}
    Delete "$INSTDIR\prefs.kvr"
    Delete "$INSTDIR\proc.kvr"
    Delete "$INSTDIR\Marlinet.ini"
    Delete "$INSTDIR\launch.log"
    Delete "$INSTDIR\*.bak"
  ${EndIf}
  Delete "$SMPROGRAMS\Marlinet.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  DeleteRegValue HKCU "${APPROVED_KEY}" "${PRODUCT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; Only when empty: what the person keeps keeps the folder.
  RMDir "$INSTDIR"
SectionEnd
