; Marlinet's setup: a per-user install into the user's own programs folder,
; where Marlinet can keep its settings beside Marlinet.exe as it always has.
; Built by the build (makensis) with these defined on its command line:
;   VERSION   the program's version, as 1.2.3
;   VERSION4  the same with four numbers, as 1.2.3.0
;   VERSION_MAJOR, VERSION_MINOR  its first two numbers
;   SOURCE    the package folder: Marlinet.exe, the sounds, READ-ME.txt,
;             LICENSE.txt, defaults
;   ICON      the bell icon
;   OUTFILE   the setup program to write
;   UNINSTALL_STARTER  uninstall.exe, which runs the uninstaller written
;             here (uninstall.bin) from the temporary folder and waits for it
;   SIGN      (only for a signed release) scripts/release-files.sh, whose
;             "sign" signs one file with the publisher's SIGN_COMMAND
Unicode true
ManifestDPIAware true
RequestExecutionLevel user
; No file is ever skipped in silence: each is written with "try" and
; checked (InstallFile), and one that cannot be written rolls the setup back.
AllowSkipFiles off
SetCompressor /SOLID lzma

; Signed where written: the uninstaller before it is packed into the setup,
; the setup once it is whole. A failed signing fails the build.
!ifdef SIGN
  !uninstfinalize 'bash "${SIGN}" sign "%1"' = 0
  !finalize 'bash "${SIGN}" sign "%1"' = 0
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include TextFunc.nsh
!include WinVer.nsh

!define PRODUCT "Marlinet"
!define PUBLISHER "Orvanta Software"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Marlinet"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
; Task Manager's switch for each shortcut of the Startup folder, by its file
; name, and the shortcuts this setup switched off, kept in Marlinet.ini so
; that the uninstaller can switch them on again.
!define STARTUP_FOLDER_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\StartupFolder"
!define SWITCHED_OFF "Setup.SwitchedOffStartupShortcuts"
; What Settings and package managers run; it runs the uninstaller proper,
; uninstall.bin, and returns its exit code.
!define UNINSTALL_EXE "uninstall.exe"
!define UNINSTALLER "uninstall.bin"
; Exit codes past NSIS's own 0 (done), 1 (cancelled) and 2 (aborted), one
; for each outcome a caller may want to tell apart.
!define EXIT_REFUSED 3     ; a running Marlinet refused to end (a box or its launch list is open)
!define EXIT_NO_ANSWER 4   ; a running Marlinet did not end when asked
!define EXIT_FILES 5       ; a file in use could not be replaced: the earlier ones are back in place
!define EXIT_NOT_REMOVED 6 ; the uninstaller could not remove Marlinet.exe
!define EXIT_DISK_FULL 7   ; a write failed for lack of space: the earlier files are back in place

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Marlinet"
; An upgrade goes where the earlier install went; /D= still wins.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
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
Var StartupDisabled  ; 1 when Task Manager's Startup apps has Marlinet switched off
Var NoStartNow       ; 1 with /NoStartNow: Marlinet is not started at the end
Var WasRunning       ; 1 when the setup ended a running copy (it starts Marlinet again)
Var KeepSettings     ; the uninstaller's tick box
Var KeepSettingsBox
Var Elevated         ; 1 when the setup runs elevated by "Run as administrator"
Var OtherFolder      ; the folder of a copy ended that ran from elsewhere
Var WriteFailed      ; the first file that could not be written
Var WriteError       ; the Windows error for it, where known (0: none known)
Var HadPrefs         ; 1 when prefs.kvr was there before this setup
Var HadProc          ; 1 when proc.kvr was there before this setup
Var Writing          ; 1 while the program's files are being written
Var NotPutBack       ; the files a rollback could not put back, a line each
Var MoveFrom         ; the folder of the install this setup moves to $INSTDIR
Var OwnEntry         ; 1 when the uninstall entry names the uninstaller's own folder

!define MUI_WELCOMEPAGE_TITLE "Marlinet ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "Marlinet strikes ship's watch bells every half hour from a bell in the notification area, shows the time at up to 24 places, and opens programs at the times of day you give it.$\r$\n$\r$\nThis setup installs Marlinet ${VERSION} for you alone, into$\r$\n$INSTDIR$\r$\nIt needs no administrator rights. Your options and launch list stay as they are.$\r$\n$\r$\nClick Install to go on."
!define MUI_PAGE_CUSTOMFUNCTION_SHOW WelcomeShow
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
; What was done stays in sight (a Startup shortcut left in place, say).
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define MUI_FINISHPAGE_TITLE "Marlinet ${VERSION} is installed"
!define MUI_FINISHPAGE_TEXT "Marlinet lives in the notification area: look for the bell at the right of the taskbar (Windows may put it behind the small arrow ^).$\r$\n$\r$\nMarlinet is free to use, copy and share under the MIT licence: see LICENSE.txt beside it."
!define MUI_FINISHPAGE_TEXT_LARGE
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
  !insertmacro ${Action} "LICENSE.txt"
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
; Each file is written with "try": one that cannot be written (held by an
; antivirus, a full disk) sets WriteFailed and the files after it are left
; alone, so that the earlier ones can all be put back.
!macro TryWrite Name Command
  ${If} $WriteFailed == ""
    ClearErrors
    ${Command}
    ${If} ${Errors}
      StrCpy $WriteFailed "${Name}"
    ${EndIf}
  ${EndIf}
!macroend
!macro InstallFile Name
  !insertmacro TryWrite "${Name}" `File "${SOURCE}/${Name}"`
!macroend
; By CopyFileW, whose error tells a full disk (the temporary folder is
; often on the same disk) from a file held; the first one is kept.
!macro KeepOldFile Name
  ${If} ${FileExists} "$INSTDIR\${Name}"
  ${AndIf} $WriteError = 0
    System::Call 'kernel32::CopyFileW(w "$INSTDIR\${Name}", w "$PLUGINSDIR\old\${Name}", i 0) i .R0 ?e'
    Pop $R1
    ${If} $R0 = 0
      StrCpy $WriteError $R1
      ${If} $WriteError = 0
        StrCpy $WriteError -1
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend
!macro PutBackFile Name
  Push "${Name}"
  Call PutBack
!macroend
!macro RemoveFile Name
  Delete "$INSTDIR\${Name}"
!macroend

; The person's own files, each by name: the setup brings them over from a
; copy that ran elsewhere, and the uninstaller removes them when asked to.
!macro SettingsFiles Action
  !insertmacro ${Action} "prefs.kvr"
  !insertmacro ${Action} "proc.kvr"
  !insertmacro ${Action} "Marlinet.ini"
  !insertmacro ${Action} "launch.log"
!macroend
!macro MissingHere Name
  ${If} ${FileExists} "$OtherFolder\${Name}"
  ${AndIfNot} ${FileExists} "$INSTDIR\${Name}"
    StrCpy $R0 "$R0$\r$\n${Name}"
  ${EndIf}
!macroend
!macro BringFile Name
  ${If} ${FileExists} "$OtherFolder\${Name}"
  ${AndIfNot} ${FileExists} "$INSTDIR\${Name}"
    ClearErrors
    CopyFiles /SILENT "$OtherFolder\${Name}" "$INSTDIR\${Name}"
    ${If} ${Errors}
      DetailPrint "${Name} could not be copied from $OtherFolder."
    ${Else}
      DetailPrint "${Name} copied from $OtherFolder."
    ${EndIf}
  ${EndIf}
!macroend

; The box for a running copy that did not end ($R1: what its /quit
; answered; $R4: its folder) in $R2, and the exit code for it in $R3.
!macro NotEndedText
  ${If} $R4 == $INSTDIR
    StrCpy $R5 "Marlinet is running "
  ${Else}
    StrCpy $R5 "Marlinet is running from$\r$\n$R4$\r$\n"
  ${EndIf}
  ${If} $R1 = 1
    StrCpy $R2 "$R5and cannot end now: one of its messages or its launch list is open.$\r$\n$\r$\nClose it in Marlinet, then click Retry. Cancel leaves Marlinet as it is."
    StrCpy $R3 ${EXIT_REFUSED}
  ${Else}
    StrCpy $R2 "$R5and did not end when asked.$\r$\n$\r$\nClick Retry to ask again. Cancel leaves Marlinet as it is."
    StrCpy $R3 ${EXIT_NO_ANSWER}
  ${EndIf}
!macroend

; Asks the copy of Marlinet.exe $R0, running from $R4, to end as "Quit"
; ends it, saving its options, and waits for it. It refuses while one of
; its boxes or its launch list is open: the person is asked to close that
; and retry. A silent run cannot ask, and ends with its exit code, the copy
; running; OnCancel (a function, or nothing) runs first. /quit answers for
; the copy of its folder: where the setup found the copy by its instance
; window ($R9), that window must be gone too.
!macro AskToQuit OnCancel
  ${Do}
    DetailPrint "Asking the Marlinet running from $R4 to end..."
    ClearErrors
    ExecWait '"$R0" /quit' $R1
    ${If} ${Errors}
      StrCpy $R1 2
    ${EndIf}
    ${If} $R1 = 0
      ${If} $R9 P= 0
        ${Break}
      ${EndIf}
      System::Call 'user32::IsWindow(p R9) i .R3'
      ${If} $R3 = 0
        ${Break}
      ${EndIf}
      StrCpy $R1 2
    ${EndIf}
    !insertmacro NotEndedText
    DetailPrint "The Marlinet running from $R4 did not end (answer $R1)."
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$R2" /SD IDCANCEL IDRETRY`
      !if "${OnCancel}" != ""
        Push $R3
        Call ${OnCancel}
        Pop $R3
      !endif
      SetErrorLevel $R3
      Abort "Marlinet is still running; nothing was changed."
    ${EndIf}
  ${Loop}
!macroend

; The uninstaller's way: the copy running from the install folder only.
!macro EndRunningCopy
  ${If} ${FileExists} "$INSTDIR\Marlinet.exe"
    StrCpy $R0 "$INSTDIR\Marlinet.exe"
    StrCpy $R4 $INSTDIR
    StrCpy $R9 0
    !insertmacro AskToQuit ""
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
        SetErrorLevel 1  ; cancelled by the person, as NSIS's own Cancel
        Quit
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

Function .onInit
  ; A folder that holds other files and no Marlinet (C:\Tools, say, given
  ; by /D=) gets a folder of Marlinet's own: nothing of another program's
  ; is overwritten, nor removed by the uninstaller. Another program may keep
  ; a prefs.kvr too: a folder is Marlinet's only when Marlinet.exe is there,
  ; when every file in it is one Marlinet keeps (the settings an uninstall
  ; left), or when the uninstall entry names it. A drive's root never is.
  ReadRegStr $1 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $1 != ""
    Push $1
    Call LongFolder
    Pop $1
  ${EndIf}
  Push $INSTDIR
  Call LongFolder
  Pop $INSTDIR
  StrLen $2 "$INSTDIR"
  ${If} $2 <= 3
    StrCpy $2 "$INSTDIR" 2
    StrCpy $INSTDIR "$2\Marlinet"
  ${ElseIfNot} ${FileExists} "$INSTDIR\Marlinet.exe"
  ${AndIf} "$INSTDIR" != "$1"
    Call OnlyMarlinetsFiles
    Pop $0
    ${If} $0 = 0
      StrCpy $INSTDIR "$INSTDIR\Marlinet"
    ${EndIf}
  ${EndIf}
  ; Installed elsewhere (/D=, winget's --location): the install moves here.
  StrCpy $MoveFrom ""
  ${If} $1 != ""
  ${AndIf} $1 != $INSTDIR
  ${AndIf} ${FileExists} "$1\Marlinet.exe"
    StrCpy $MoveFrom $1
  ${EndIf}
  StrCpy $Upgrade 0
  ${If} ${FileExists} "$INSTDIR\Marlinet.exe"
    StrCpy $Upgrade 1
  ${EndIf}
  ; A first install starts with Windows; an upgrade keeps the earlier choice,
  ; including Task Manager's "Disabled": it keeps the Run value and writes a
  ; StartupApproved\Run value of the same name, 12 bytes whose first byte is
  ; even while enabled (02) and odd once switched off (03, then the time).
  StrCpy $StartWithWindows 1
  StrCpy $StartupDisabled 0
  ClearErrors
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  ${If} ${Errors}
    ; An upgrade, or a move, keeps an earlier choice of no start with Windows.
    ${If} $Upgrade = 1
    ${OrIf} $MoveFrom != ""
      StrCpy $StartWithWindows 0
    ${EndIf}
  ${Else}
    ; Also on a first install into another folder: a start switched off in
    ; Task Manager for an earlier install is still the person's choice.
    System::Alloc 16
    Pop $1
    ; HKEY_CURRENT_USER, RRF_RT_REG_BINARY
    System::Call 'advapi32::RegGetValueW(p 0x80000001, w "${APPROVED_KEY}", w "${PRODUCT}", i 8, p 0, p r1, *i 16) i .r2'
    ${If} $2 = 0
      System::Call '*$1(&i1 .r3)'
      IntOp $3 $3 & 1
      ${If} $3 = 1
        StrCpy $StartWithWindows 0
        StrCpy $StartupDisabled 1
      ${EndIf}
    ${EndIf}
    System::Free $1
  ${EndIf}
  ; The switches for what the pages ask, for a silent setup.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NoStartWithWindows" $1
  ${IfNot} ${Errors}
    StrCpy $StartWithWindows 0
  ${EndIf}
  StrCpy $NoStartNow 0
  ClearErrors
  ${GetOptions} $0 "/NoStartNow" $1
  ${IfNot} ${Errors}
    StrCpy $NoStartNow 1
  ${EndIf}
  !insertmacro CheckAccount "would be installed"
FunctionEnd

; One spelling for a folder (on the stack, in and out), so that folders
; compare as strings: /D= is kept as given, and one folder may come as
; C:\x\.\y, C:\x\\y or by its short (8.3) name. GetFullPathNameW takes out
; the "." and ".." and doubled backslashes, GetLongPathNameW the short
; names; a folder not there yet keeps its full form.
Function LongFolder
  System::Store "s"
  Pop $R0
  StrLen $R1 $R0
  ${If} $R1 > 2
    System::Call 'kernel32::GetFullPathNameW(w R0, i ${NSIS_MAX_STRLEN}, w .R2, p 0) i .R1'
    ${If} $R1 > 0
    ${AndIf} $R1 < ${NSIS_MAX_STRLEN}
      StrCpy $R0 $R2
    ${EndIf}
    System::Call 'kernel32::GetLongPathNameW(w R0, w .R2, i ${NSIS_MAX_STRLEN}) i .R1'
    ${If} $R1 > 0
    ${AndIf} $R1 < ${NSIS_MAX_STRLEN}
      StrCpy $R0 $R2
    ${EndIf}
    ; No trailing backslash, but a drive's root keeps its own.
    StrLen $R1 $R0
    StrCpy $R2 $R0 "" -1
    ${If} $R1 > 3
    ${AndIf} $R2 == "\"
      StrCpy $R0 $R0 -1
    ${EndIf}
  ${EndIf}
  Push $R0
  System::Store "l"
FunctionEnd

!macro SameField Offset
  IntOp $R6 $R2 + ${Offset}
  IntOp $R7 $R3 + ${Offset}
  System::Call '*$R6(i .R6)'
  System::Call '*$R7(i .R7)'
  ${If} $R6 <> $R7
    StrCpy $R9 0
  ${EndIf}
!macroend
; 1 on the stack when the two folders on it are one folder, however each
; is reached (another spelling, a substituted drive, a junction): the same
; volume and file index. 0 when either cannot be opened.
Function SameFolder
  System::Store "s"
  Pop $R0
  Pop $R1
  StrCpy $R9 0
  System::Alloc 52
  Pop $R2
  System::Alloc 52
  Pop $R3
  ; FILE_READ_ATTRIBUTES, any sharing, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS (for a folder)
  System::Call 'kernel32::CreateFileW(w R0, i 0x80, i 7, p 0, i 3, i 0x02000000, p 0) p .R4'
  System::Call 'kernel32::CreateFileW(w R1, i 0x80, i 7, p 0, i 3, i 0x02000000, p 0) p .R5'
  ${If} $R4 P<> -1
  ${AndIf} $R5 P<> -1
    System::Call 'kernel32::GetFileInformationByHandle(p R4, p R2) i .R6'
    System::Call 'kernel32::GetFileInformationByHandle(p R5, p R3) i .R7'
    ${If} $R6 <> 0
    ${AndIf} $R7 <> 0
      ; BY_HANDLE_FILE_INFORMATION: dwVolumeSerialNumber at 28,
      ; nFileIndexHigh at 44, nFileIndexLow at 48.
      StrCpy $R9 1
      !insertmacro SameField 28
      !insertmacro SameField 44
      !insertmacro SameField 48
    ${EndIf}
  ${EndIf}
  ${If} $R4 P<> -1
    System::Call 'kernel32::CloseHandle(p R4)'
  ${EndIf}
  ${If} $R5 P<> -1
    System::Call 'kernel32::CloseHandle(p R5)'
  ${EndIf}
  System::Free $R2
  System::Free $R3
  Push $R9
  System::Store "l"
FunctionEnd

; 1 on the stack when every file in $INSTDIR (none, or no folder) is one
; that Marlinet keeps beside Marlinet.exe; 0 when any other file or a
; folder is there.
Function OnlyMarlinetsFiles
  System::Store "s"
  StrCpy $R2 1
  FindFirst $R0 $R1 "$INSTDIR\*"
  ${DoWhile} $R1 != ""
    ${If} $R1 == "."
    ${OrIf} $R1 == ".."
    ${OrIf} $R1 == "prefs.kvr"
    ${OrIf} $R1 == "proc.kvr"
    ${OrIf} $R1 == "Marlinet.ini"
    ${OrIf} $R1 == "launch.log"
    ${OrIf} $R1 == "prefs.kvr.bak"
    ${OrIf} $R1 == "proc.kvr.bak"
    ${ElseIf} ${FileExists} "$INSTDIR\$R1\*.*"
      StrCpy $R2 0
    ${Else}
      ; What a save cut short leaves: mrl????.tmp.
      StrLen $R3 $R1
      StrCpy $R4 $R1 3
      StrCpy $R5 $R1 "" -4
      ${If} $R3 <> 11
      ${OrIf} $R4 != "mrl"
      ${OrIf} $R5 != ".tmp"
        StrCpy $R2 0
      ${EndIf}
    ${EndIf}
    FindNext $R0 $R1
  ${Loop}
  FindClose $R0
  Push $R2
  System::Store "l"
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
  ${If} $NoStartNow = 1
    ${NSD_Uncheck} $mui.FinishPage.Run
  ${EndIf}
FunctionEnd

Function FinishLeave
  ${NSD_GetState} $mui.FinishPage.ShowReadme $StartWithWindows
  Call WriteStartWithWindows
  ${NSD_GetState} $mui.FinishPage.Run $0
  ${If} $0 = ${BST_CHECKED}
    Call StartMarlinet
  ${EndIf}
FunctionEnd

; Lets go of a COM interface the shell gave, if it gave one.
!macro Release Pointer
  ${If} ${Pointer} P<> 0
    System::Call '${Pointer}->2()'
  ${EndIf}
!macroend

; Marlinet is started by the desktop's shell, as a double click would start
; it, so that it is no child of this setup: it runs with the desktop's
; rights (not this setup's elevation), and outside the job of whoever
; waits for this setup (PowerShell's Start-Process -Wait waits for every
; process of that job). The shell's desktop window gives its view's
; Shell.Application object, whose ShellExecute runs in the shell's process.
; The exe to start is on the stack.
Function StartProgram
  System::Store "s"
  Pop $R0
  StrCpy $R1 0
  StrCpy $1 0
  StrCpy $3 0
  StrCpy $5 0
  StrCpy $6 0
  StrCpy $7 0
  StrCpy $8 0
  StrCpy $9 0
  System::Call 'ole32::CoInitialize(p 0) i .R2'
  ; CLSID_ShellWindows, IID_IShellWindows, from the shell's own process.
  System::Call 'ole32::CoCreateInstance(g "{9BA05972-F6A8-11CF-A442-00A0C90A8F39}", p 0, i 4, g "{85CB6900-4D95-11CF-960C-0080C7F4EE85}", *p .r1) i .r0'
  ${If} $0 = 0
    ; FindWindowSW(VT_EMPTY, VT_EMPTY, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, &dispatch)
    System::Call '*(&i16 0) p .r2'
    System::Call '$1->15(p r2, p r2, i 8, *i .r4, i 1, *p .r3) i .r0'
    System::Free $2
    ${If} $0 = 0
    ${AndIf} $3 P<> 0
      ; IServiceProvider::QueryService(SID_STopLevelBrowser, IID_IShellBrowser)
      System::Call '$3->0(g "{6D5140C1-7436-11CE-8034-00AA006009FA}", *p .r5) i .r0'
      ${If} $0 = 0
        System::Call '$5->3(g "{4C96BE40-915C-11CF-99D3-00AA004AE837}", g "{000214E2-0000-0000-C000-000000000046}", *p .r6) i .r0'
      ${EndIf}
      ; IShellBrowser::QueryActiveShellView
      ${If} $0 = 0
        System::Call '$6->15(*p .r7) i .r0'
      ${EndIf}
      ; IShellView::GetItemObject(SVGIO_BACKGROUND, IID_IDispatch)
      ${If} $0 = 0
        System::Call '$7->15(i 0, g "{00020400-0000-0000-C000-000000000046}", *p .r8) i .r0'
      ${EndIf}
      ; IShellFolderViewDual, or its successor IShellFolderViewDual2 (which
      ; some shells answer alone); get_Application is the same slot of both.
      ${If} $0 = 0
        System::Call '$8->0(g "{E7A1AF80-4D96-11CF-960F-00805F2F8F82}", *p .r9) i .r0'
        ${If} $0 <> 0
          System::Call '$8->0(g "{31C147B6-0ADE-4A3C-B514-DDF932EF6D17}", *p .r9) i .r0'
        ${EndIf}
      ${EndIf}
      ${If} $0 = 0
        System::Call '$9->7(*p .r2) i .r0'
        System::Call '$9->2()'
        StrCpy $9 0
        ${If} $0 = 0
          ; IShellDispatch2
          System::Call '$2->0(g "{A4C6892C-3BA9-11D2-9DEA-00C04FB16162}", *p .r9) i .r0'
          System::Call '$2->2()'
        ${EndIf}
      ${EndIf}
      ${If} $0 = 0
        ; ShellExecute(file, VT_EMPTY arguments, VT_BSTR folder, VT_EMPTY
        ; verb, VT_EMPTY show): each VARIANT by value, 16 bytes.
        ${GetParent} $R0 $4
        System::Call 'oleaut32::SysAllocString(w R0) p .r2'
        System::Call 'oleaut32::SysAllocString(w r4) p .r4'
        System::Call '$9->31(p r2, i 0, i 0, i 0, i 0, i 8, i 0, p r4, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0, i 0) i .r0'
        System::Call 'oleaut32::SysFreeString(p r2)'
        System::Call 'oleaut32::SysFreeString(p r4)'
        ${If} $0 = 0
          StrCpy $R1 1
        ${EndIf}
      ${EndIf}
    ${EndIf}
    !insertmacro Release $9
    !insertmacro Release $8
    !insertmacro Release $7
    !insertmacro Release $6
    !insertmacro Release $5
    !insertmacro Release $3
    System::Call '$1->2()'
  ${EndIf}
  ${If} $R2 >= 0
    System::Call 'ole32::CoUninitialize()'
  ${EndIf}
  ${If} $R1 = 1
    DetailPrint "Marlinet was started from $R0."
  ${Else}
    Call StartWithoutShell
  ${EndIf}
  System::Store "l"
FunctionEnd

; Where the shell cannot be asked, the setup starts Marlinet ($R0) itself.
; Started from a setup elevated above the desktop (the shell runs with the
; limited half of the token), Marlinet would run elevated: a later plain
; start could neither find it nor ask it to quit, and two copies would strike
; every bell. It is left to the Start menu then. Where the shell runs as
; elevated as the setup, or cannot be asked, a start changes nothing.
Function StartWithoutShell
  StrCpy $R3 0
  ${If} $Elevated = 1
    System::Call 'user32::GetShellWindow() p .R1'
    ${If} $R1 P<> 0
      System::Call 'user32::GetWindowThreadProcessId(p R1, *i .R2)'
      ; PROCESS_QUERY_LIMITED_INFORMATION
      System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i R2) p .R8'
      ${If} $R8 P<> 0
        !insertmacro ElevationType R8 $R7
        ${If} $R7 <> 0
        ${AndIf} $R7 <> 2
          StrCpy $R3 1
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p R8)'
      ${EndIf}
    ${EndIf}
  ${EndIf}
  ${If} $R3 = 1
    DetailPrint "Marlinet was not started: from this setup it would run as an administrator. Start it from the Start menu."
    MessageBox MB_OK|MB_ICONINFORMATION "Marlinet was not started, since from this setup it would run as an administrator.$\r$\n$\r$\nStart it from the Start menu." /SD IDOK
  ${Else}
    Exec '"$R0"'
  ${EndIf}
FunctionEnd

Function StartMarlinet
  Push "$INSTDIR\Marlinet.exe"
  Call StartProgram
FunctionEnd

; Every copy of Marlinet, from whatever folder, has one message-only window
; of this class; its process's file tells the folder. Each is asked to end
; as "Quit" ends it (its options saved) by its own Marlinet.exe /quit,
; which waits until it has gone. One that refuses (a box or its launch list
; is open) or does not end is asked about again; Cancel, or a silent setup,
; starts again the copies already ended and leaves the files as they were.
; The files of the copies ended are listed in ended.txt, to start them
; again should the files not be written.
Function EndRunningCopies
  StrCpy $WasRunning 0
  StrCpy $OtherFolder ""
  StrCpy $R7 0 ; the last window out of reach: the search goes on after it
  StrCpy $R8 0
  ${Do}
    System::Call 'user32::FindWindowExW(p -3, p R8, w "TMarlinetInstance", p 0) p .R9'
    ${If} $R9 P= 0
      ${Break}
    ${EndIf}
    StrCpy $R0 ""
    System::Call 'user32::GetWindowThreadProcessId(p R9, *i .R1)'
    ; PROCESS_QUERY_LIMITED_INFORMATION
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i R1) p .R2'
    ${If} $R2 P<> 0
      System::Call 'kernel32::QueryFullProcessImageNameW(p R2, i 0, w .R0, *i ${NSIS_MAX_STRLEN}) i .R3'
      ${If} $R3 = 0
        StrCpy $R0 ""
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p R2)'
    ${EndIf}
    ${If} $R0 == ""
      ; Started as an administrator: this setup may neither read nor end it.
      DetailPrint "A Marlinet out of this setup's reach is left running."
      StrCpy $R7 $R9
      StrCpy $R8 $R9
      ${Continue}
    ${EndIf}
    ${GetParent} $R0 $R4
    System::Call 'kernel32::GetLongPathNameW(w R4, w .R5, i ${NSIS_MAX_STRLEN}) i .R3'
    ${If} $R3 <> 0
      StrCpy $R4 $R5
    ${EndIf}
    !insertmacro AskToQuit StartEndedCopies
    StrCpy $WasRunning 1
    FileOpen $R2 "$PLUGINSDIR\ended.txt" a
    FileSeek $R2 0 END
    FileWrite $R2 "$R0$\r$\n"
    FileClose $R2
    ${If} $R4 != $INSTDIR
    ${AndIf} $OtherFolder == ""
      StrCpy $OtherFolder $R4
    ${EndIf}
    StrCpy $R8 $R7
  ${Loop}
FunctionEnd

; Starts again each copy this setup ended, from its own folder.
Function StartEndedCopies
  ClearErrors
  FileOpen $R2 "$PLUGINSDIR\ended.txt" r
  ${IfNot} ${Errors}
    ${Do}
      ClearErrors
      FileRead $R2 $R0
      ${If} ${Errors}
        ${Break}
      ${EndIf}
      ${TrimNewLines} $R0 $R0
      ${If} $R0 != ""
        Push $R0
        Call StartProgram
      ${EndIf}
    ${Loop}
    FileClose $R2
    Delete "$PLUGINSDIR\ended.txt"
  ${EndIf}
FunctionEnd

; After a copy that ran elsewhere (the zip's, say) has ended and saved its
; settings, they come here, where this folder has none of its own, before
; any default is written. A person is asked; a silent setup brings them.
Function BringSettings
  ${If} $OtherFolder == ""
    Return
  ${EndIf}
  StrCpy $R0 ""
  !insertmacro SettingsFiles MissingHere
  ${If} $R0 == ""
    Return
  ${EndIf}
  ${If} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION "Marlinet ran from$\r$\n$OtherFolder$\r$\nCopy its settings from there into$\r$\n$INSTDIR ?$\r$\n$R0" /SD IDYES IDYES`
    !insertmacro SettingsFiles BringFile
  ${EndIf}
FunctionEnd

; A file could not be written: the files written so far are put back as
; they were, the copies that were running start again, and the setup ends
; with its own exit code.
; One file as it was before this setup (on the stack), tried a few times:
; an antivirus may be reading the new one. One that stays is noted.
Function PutBack
  Exch $R0
  Push $R1
  StrCpy $R1 0
  ${Do}
    ClearErrors
    ${If} ${FileExists} "$PLUGINSDIR\old\$R0"
      CopyFiles /SILENT "$PLUGINSDIR\old\$R0" "$INSTDIR\$R0"
    ${ElseIf} ${FileExists} "$INSTDIR\$R0"
      Delete "$INSTDIR\$R0"
    ${EndIf}
    ${IfNot} ${Errors}
      ${Break}
    ${EndIf}
    IntOp $R1 $R1 + 1
    ${If} $R1 >= 4
      StrCpy $NotPutBack "$NotPutBack$\r$\n$R0"
      ${Break}
    ${EndIf}
    Sleep 500
  ${Loop}
  Pop $R1
  Pop $R0
FunctionEnd

Function RollBack
  Call PutBackFiles
  Call ExitForWriteError
  Call GiveUpOnFiles
  Abort $R1
FunctionEnd

; The exit code, then why, for GiveUpOnFiles onto the stack, by the error
; kept for the file that could not be written: ERROR_DISK_FULL (112) or
; ERROR_HANDLE_DISK_FULL (39) is a full disk, any other a file held.
Function ExitForWriteError
  ${If} $WriteError = 112
  ${OrIf} $WriteError = 39
    Push ${EXIT_DISK_FULL}
    Push "(the disk may be full)"
  ${Else}
    Push ${EXIT_FILES}
    Push "(another program may hold it)"
  ${EndIf}
FunctionEnd

; A write that failed part-way ends the section by NSIS's own error: no
; file was held, the disk ran out of space. The files go back all the same,
; and the exit code says which it was.
Function .onInstFailed
  ${If} $Writing = 1
    ${If} $WriteFailed == ""
      StrCpy $WriteFailed "A file"
    ${EndIf}
    Call PutBackFiles
    Push ${EXIT_DISK_FULL}
    Push "(the disk may be full)"
    Call GiveUpOnFiles
    DetailPrint $R1
  ${EndIf}
FunctionEnd

Function PutBackFiles
  DetailPrint "$WriteFailed could not be written in $INSTDIR: the earlier files are put back."
  StrCpy $NotPutBack ""
  !insertmacro ProgramFiles PutBackFile
  !insertmacro PutBackFile ${UNINSTALL_EXE}
  !insertmacro PutBackFile ${UNINSTALLER}
  ${If} $HadPrefs = 0
    Delete "$INSTDIR\prefs.kvr"
  ${EndIf}
  ${If} $HadProc = 0
    Delete "$INSTDIR\proc.kvr"
  ${EndIf}
FunctionEnd

; After a rollback: the copies that were running start again, the exit
; code (on the stack, under why the file could not be written) is set, and
; a box says what is back as it was and names what is not. What the
; details are to say ends in $R1. The copies start first: starting them
; reads their list into $R0.
Function GiveUpOnFiles
  StrCpy $Writing 0
  Call StartEndedCopies
  Pop $R0
  Pop $R1
  SetErrorLevel $R1
  StrCpy $R0 "Marlinet could not be installed: $WriteFailed could not be written in$\r$\n$INSTDIR$\r$\n$R0.$\r$\n$\r$\n"
  ${If} $NotPutBack == ""
    StrCpy $R0 "$R0The files that were there are back as they were."
    StrCpy $R1 "Marlinet could not be installed; the earlier files are back in place."
  ${Else}
    StrCpy $R0 "$R0These files could not be put back as they were; run this setup again:$NotPutBack"
    StrCpy $R1 "Marlinet could not be installed, and some earlier files could not be put back:$NotPutBack"
  ${EndIf}
  MessageBox MB_OK|MB_ICONSTOP $R0 /SD IDOK
FunctionEnd

Function WriteStartWithWindows
  ${If} $StartWithWindows = 1
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Marlinet.exe"'
    ; Ticked again after Task Manager switched it off: on in both places.
    ${If} $StartupDisabled = 1
      WriteRegBin HKCU "${APPROVED_KEY}" "${PRODUCT}" 020000000000000000000000
    ${EndIf}
  ${ElseIf} $StartupDisabled = 1
    ; Switched off in Task Manager, and left so: its two values stay as
    ; they are, and it still lists Marlinet as "Disabled".
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
; 1 in Result when Task Manager has the item Name of its Key switched off:
; a REG_BINARY value whose first byte is odd.
!macro SwitchedOffIn Key Name Result
  StrCpy ${Result} 0
  System::Call '*(&i16 0) p .r6'
  ; HKEY_CURRENT_USER, RRF_RT_REG_BINARY
  System::Call 'advapi32::RegGetValueW(p 0x80000001, w "${Key}", w "${Name}", i 8, p 0, p r6, *i 16) i .r5'
  ${If} $5 = 0
    System::Call '*$6(&i1 .r5)'
    IntOp ${Result} $5 & 1
  ${EndIf}
  System::Free $6
!macroend

; Runs the macro Action with $R1 set to each Startup shortcut that the
; Marlinet.ini in Folder lists as switched off by a setup.
!macro EachSwitchedOff Folder Action
  System::Alloc 16384
  Pop $R8
  System::Call 'kernel32::GetPrivateProfileStringW(w "${SWITCHED_OFF}", p 0, w "", p R8, i 8192, w "${Folder}\Marlinet.ini")'
  StrCpy $R7 $R8
  ${Do}
    System::Call 'kernel32::lstrcpynW(w .R1, p R7, i ${NSIS_MAX_STRLEN})'
    ${If} $R1 == ""
      ${Break}
    ${EndIf}
    !insertmacro ${Action} "${Folder}"
    StrLen $R9 $R1
    IntOp $R9 $R9 + 1
    IntOp $R9 $R9 * 2
    IntOp $R7 $R7 + $R9
  ${Loop}
  System::Free $R8
!macroend

; A silent setup switches the Startup shortcut $1 (to Marlinet.exe $R1 in
; another folder) off as Task Manager's Startup apps would: the shortcut
; stays for the person to see, and the uninstaller switches it on again.
; Windows 7 has no such switch.
Function SwitchOffStartupShortcut
  ${IfNot} ${AtLeastWin8}
    DetailPrint "Your Startup folder holds $1, which starts a second Marlinet from $R1; it was left there, since this Windows cannot switch it off: remove it, or two copies will strike every bell."
    Return
  ${EndIf}
  !insertmacro SwitchedOffIn "${STARTUP_FOLDER_KEY}" "$1" $5
  ${If} $5 = 1
    DetailPrint "Your Startup folder holds $1, which starts a second Marlinet from $R1; it is switched off in Task Manager's Startup apps."
    Return
  ${EndIf}
  ; 03 00 00 00, then the FILETIME it was switched off, as Task Manager writes it.
  System::Call '*(i 3, l 0) p .r5'
  IntOp $6 $5 + 4
  System::Call 'kernel32::GetSystemTimeAsFileTime(p r6)'
  ; REG_BINARY
  System::Call 'advapi32::RegSetKeyValueW(p 0x80000001, w "${STARTUP_FOLDER_KEY}", w r1, i 3, p r5, i 12) i .r6'
  System::Free $5
  ${If} $6 = 0
    WriteINIStr "$INSTDIR\Marlinet.ini" "${SWITCHED_OFF}" "$1" "$R1"
    DetailPrint "Your Startup folder holds $1, which starts a second Marlinet from $R1; it was switched off as Task Manager's Startup apps would, and uninstalling Marlinet switches it on again."
  ${Else}
    DetailPrint "Your Startup folder holds $1, which starts a second Marlinet from $R1; it could not be switched off, and was left there."
  ${EndIf}
FunctionEnd

Function OfferToRemoveStartupShortcut
  FindFirst $0 $1 "$SMSTARTUP\*.lnk"
  ${DoWhile} $1 != ""
    StrCpy $R0 "$SMSTARTUP\$1"
    Call ShortcutTarget
    ${GetFileName} $R1 $R5
    ${GetParent} $R1 $R6
    Push $R6
    Call LongFolder
    Pop $R6
    ${If} $R5 == "Marlinet.exe"
    ${AndIf} $R6 != $INSTDIR
      ; A "No" is kept in Marlinet.ini, and not asked again for that
      ; shortcut while it starts the same file.
      ReadINIStr $R6 "$INSTDIR\Marlinet.ini" "Setup.KeptStartupShortcuts" "$1"
      ${If} $R6 == $R1
        DetailPrint "Your Startup folder holds $1, which starts a second Marlinet from $R1; it was left there."
      ${ElseIf} ${Silent}
        ; Nobody to ask, and the Run value would start a second copy.
        ${If} $StartWithWindows = 1
          Call SwitchOffStartupShortcut
        ${Else}
          DetailPrint "Your Startup folder holds $1, which starts Marlinet from $R1; it was left there, since this Marlinet does not start with Windows."
        ${EndIf}
      ${Else}
        ${If} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION "Your Startup folder holds a shortcut that starts Marlinet from another folder:$\r$\n$\r$\n$1$\r$\n($R1)$\r$\n$\r$\nWith it, two copies of Marlinet would start with Windows and strike every bell twice. Remove the shortcut?" IDYES`
          Delete "$SMSTARTUP\$1"
          DetailPrint "Removed $1 from your Startup folder."
        ${Else}
          WriteINIStr "$INSTDIR\Marlinet.ini" "Setup.KeptStartupShortcuts" "$1" "$R1"
        ${EndIf}
      ${EndIf}
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
FunctionEnd

; The install this setup moved here: its program files go, each by name,
; its uninstaller too, so that nothing of it can later remove what belongs
; to this install; the person's own files stay, and the folder with them.
!macro RemoveMovedFile Name
  Delete "$MoveFrom\${Name}"
!macroend
!macro CarrySwitchedOff Folder
  ReadINIStr $R2 "${Folder}\Marlinet.ini" "${SWITCHED_OFF}" $R1
  WriteINIStr "$INSTDIR\Marlinet.ini" "${SWITCHED_OFF}" $R1 $R2
!macroend
Function RemoveMovedInstall
  ${If} $MoveFrom == ""
    Return
  ${EndIf}
  ; Never the folder just installed, however it was spelled.
  Push $MoveFrom
  Push $INSTDIR
  Call SameFolder
  Pop $R0
  ${If} $R0 = 1
    Return
  ${EndIf}
  ; The shortcuts its setup switched off are this install's to switch on.
  !insertmacro EachSwitchedOff $MoveFrom CarrySwitchedOff
  !insertmacro ProgramFiles RemoveMovedFile
  !insertmacro RemoveMovedFile ${UNINSTALL_EXE}
  !insertmacro RemoveMovedFile ${UNINSTALLER}
  RMDir $MoveFrom
  ${If} ${FileExists} "$MoveFrom\Marlinet.exe"
    DetailPrint "Marlinet moved here from $MoveFrom, where Marlinet.exe could not be removed."
  ${Else}
    DetailPrint "Marlinet moved here from $MoveFrom: its program files there were removed, and your own files there stay."
  ${EndIf}
FunctionEnd

; Each uninstall.exe moves itself into the temporary folder once it has
; removed Marlinet (a running program cannot delete its own file). What
; earlier uninstalls left goes at the next setup, by that name alone:
; Marlinet-uninstalled-<process id>.exe.
Function RemoveEarlierUninstallers
  FindFirst $0 $1 "$TEMP\Marlinet-uninstalled-*.exe"
  ${DoWhile} $1 != ""
    StrCpy $2 $1 21
    StrCpy $3 $1 "" -4
    StrCpy $4 $1 -4 21
    IntOp $5 $4 + 0
    ${If} $2 == "Marlinet-uninstalled-"
    ${AndIf} $3 == ".exe"
    ${AndIf} $5 > 0
    ${AndIf} $5 == $4
      Delete "$TEMP\$1"
    ${EndIf}
    FindNext $0 $1
  ${Loop}
  FindClose $0
FunctionEnd

Section "Marlinet"
  SetOutPath "$INSTDIR"
  ; A new folder has its long form only now that it is there: the
  ; uninstall entry and the Run value name it so.
  Push $INSTDIR
  Call LongFolder
  Pop $INSTDIR
  InitPluginsDir
  Call RemoveEarlierUninstallers
  Call EndRunningCopies
  ; The settings of the install that moves come along, where no copy that
  ; ran elsewhere brings its own.
  ${If} $OtherFolder == ""
    StrCpy $OtherFolder $MoveFrom
  ${EndIf}
  StrCpy $WriteFailed ""
  StrCpy $HadPrefs 1
  StrCpy $HadProc 1
  ; A copy of each file this setup replaces, to put back if any file
  ; cannot be written.
  CreateDirectory "$PLUGINSDIR\old"
  StrCpy $WriteError 0
  !insertmacro ProgramFiles KeepOldFile
  !insertmacro KeepOldFile ${UNINSTALL_EXE}
  !insertmacro KeepOldFile ${UNINSTALLER}
  ${If} $WriteError <> 0
    ; Nothing is written yet.
    StrCpy $WriteFailed "A copy of the earlier files"
    Call ExitForWriteError
    Call GiveUpOnFiles
    Abort $R1
  ${EndIf}
  SetOverwrite try
  StrCpy $Writing 1
  !insertmacro ProgramFiles InstallFile
  !insertmacro TryWrite ${UNINSTALL_EXE} `File "/oname=${UNINSTALL_EXE}" "${UNINSTALL_STARTER}"`
  ; A failed WriteUninstaller ends nothing by itself: its error tells
  ; whether the disk is full.
  ${If} $WriteFailed == ""
    ClearErrors
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    ${If} ${Errors}
      System::Call 'kernel32::GetLastError() i .R0'
      StrCpy $WriteFailed ${UNINSTALLER}
      StrCpy $WriteError $R0
    ${EndIf}
  ${EndIf}
  ${If} $WriteFailed == ""
    Call BringSettings
    ; The quiet defaults only where the person has no settings of their own.
    ${IfNot} ${FileExists} "$INSTDIR\prefs.kvr"
      StrCpy $HadPrefs 0
      !insertmacro InstallFile "prefs.kvr"
    ${EndIf}
    ${IfNot} ${FileExists} "$INSTDIR\proc.kvr"
      StrCpy $HadProc 0
      !insertmacro InstallFile "proc.kvr"
    ${EndIf}
  ${EndIf}
  SetOverwrite on
  ${If} $WriteFailed != ""
    Call RollBack
  ${EndIf}
  StrCpy $Writing 0
  Call RemoveMovedInstall
  CreateShortCut "$SMPROGRAMS\Marlinet.lnk" "$INSTDIR\Marlinet.exe" "" "$INSTDIR\Marlinet.exe" 0
  Call WriteStartWithWindows
  Call OfferToRemoveStartupShortcut

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Marlinet.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  ; uninstall.exe waits for the uninstaller and returns its exit code.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALL_EXE}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALL_EXE}" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  ; yyyymmdd, the day of this install, in local time as Settings shows it.
  System::Call '*(&i2 0, &i2 0, &i2 0, &i2 0, &i2 0, &i2 0, &i2 0, &i2 0) p .r0'
  System::Call 'kernel32::GetLocalTime(p r0)'
  System::Call '*$0(&i2 .r1, &i2 .r2, &i2 .r3, &i2 .r4)'
  System::Free $0
  IntFmt $1 "%04u" $1
  IntFmt $2 "%02u" $2
  IntFmt $4 "%02u" $4
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallDate" "$1$2$4"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function .onInstSuccess
  ; The finish page starts it when the setup has pages.
  ${If} ${Silent}
  ${AndIf} $WasRunning = 1
  ${AndIf} $NoStartNow = 0
    Call StartMarlinet
  ${EndIf}
FunctionEnd

; --- The uninstaller ----------------------------------------------------------

Function un.onInit
  StrCpy $KeepSettings ${BST_CHECKED}
  ; The box's tick, for a silent uninstall.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/RemoveSettings" $1
  ${IfNot} ${Errors}
    StrCpy $KeepSettings ${BST_UNCHECKED}
  ${EndIf}
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

!macro SwitchOnStartupShortcut Folder
  !insertmacro SwitchedOffIn "${STARTUP_FOLDER_KEY}" "$R1" $4
  ${If} $4 = 1
    WriteRegBin HKCU "${STARTUP_FOLDER_KEY}" "$R1" 020000000000000000000000
    DetailPrint "$R1 in your Startup folder is switched on again."
  ${EndIf}
!macroend

Section "Uninstall"
  !insertmacro EndRunningCopy
  ; A Marlinet.exe still held (by a copy out of reach, an antivirus) stops
  ; the uninstall before anything else goes, so it can be tried again.
  Delete "$INSTDIR\Marlinet.exe"
  ${If} ${FileExists} "$INSTDIR\Marlinet.exe"
    DetailPrint "Marlinet.exe could not be removed from $INSTDIR."
    SetErrorLevel ${EXIT_NOT_REMOVED}
    MessageBox MB_OK|MB_ICONSTOP "Marlinet.exe could not be removed from$\r$\n$INSTDIR$\r$\nAnother program may be holding it. Marlinet is still installed: try again later." /SD IDOK
    Abort "Marlinet.exe could not be removed; Marlinet is still installed."
  ${EndIf}
  ; The registry and the Start menu belong to the install the entry names:
  ; an install moved to another folder leaves them to that one. Both
  ; folders are compared in their long form (/D= may have given a short one).
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r3'
  ${If} $3 = 0
    StrCpy $1 $0
  ${EndIf}
  System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR", w .r2, i ${NSIS_MAX_STRLEN}) i .r3'
  ${If} $3 = 0
    StrCpy $2 $INSTDIR
  ${EndIf}
  StrCpy $OwnEntry 0
  ${If} $0 == ""
  ${OrIf} $1 == $2
    StrCpy $OwnEntry 1
  ${EndIf}
  !insertmacro ProgramFiles RemoveFile
  ; The Startup shortcuts a silent setup switched off, while still off: a
  ; choice made since in Task Manager stands.
  ${If} $OwnEntry = 1
    !insertmacro EachSwitchedOff $INSTDIR SwitchOnStartupShortcut
    ${If} ${FileExists} "$INSTDIR\Marlinet.ini"
      DeleteINISec "$INSTDIR\Marlinet.ini" "${SWITCHED_OFF}"
    ${EndIf}
  ${EndIf}
  ${If} $KeepSettings = ${BST_UNCHECKED}
    !insertmacro SettingsFiles RemoveFile
    ; What the program keeps aside, and what a save cut short leaves behind.
    Delete "$INSTDIR\prefs.kvr.bak"
    Delete "$INSTDIR\proc.kvr.bak"
    Delete "$INSTDIR\mrl????.tmp"
  ${EndIf}
  ${If} $OwnEntry = 1
    Delete "$SMPROGRAMS\Marlinet.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegValue HKCU "${APPROVED_KEY}" "${PRODUCT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ${Else}
    DetailPrint "Marlinet is installed in $0: its Start menu shortcut, start with Windows and uninstall entry stay."
  ${EndIf}
  ; Last, once the program is gone: uninstall.exe, which started this copy,
  ; takes that as the sign to remove itself and the folder. When this
  ; uninstaller runs by itself it goes too.
  Delete "$INSTDIR\${UNINSTALLER}"
  Delete "$INSTDIR\${UNINSTALL_EXE}"
  ; Only when empty: what the person keeps keeps the folder.
  SetOutPath $TEMP
  RMDir "$INSTDIR"
SectionEnd
