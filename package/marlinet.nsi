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
; name, and the shortcuts this setup switched off, kept under the uninstall
; entry (a value each: the shortcut's file name, the file it starts) so
; that the uninstaller can switch them on again. Earlier setups kept them
; in a section of Marlinet.ini.
!define STARTUP_FOLDER_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\StartupFolder"
!define SWITCHED_OFF_KEY "${UNINSTALL_KEY}\SwitchedOffStartupShortcuts"
!define SWITCHED_OFF "Setup.SwitchedOffStartupShortcuts"
; What Settings and package managers run; it runs the uninstaller proper,
; uninstall.bin, and returns its exit code.
!define UNINSTALL_EXE "uninstall.exe"
!define UNINSTALLER "uninstall.bin"
; Exit codes past NSIS's own 0 (done), 1 (cancelled) and 2 (aborted), one
; for each outcome a caller may want to tell apart.
!define EXIT_REFUSED 3     ; a running Marlinet refused to end (a box or its launch list is open)
!define EXIT_NO_ANSWER 4   ; a running Marlinet did not end when asked, or could not be asked
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
Var SpaceNeeded      ; the KB the program's files take (a full disk has less room)
Var CreatedFolder    ; 1 when this setup made $INSTDIR (it goes again, if empty, when the setup fails)
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

; The steps' parts, each a concern of its own.
!include "${__FILEDIR__}/running.nsh"     ; copies of Marlinet running: ended, and started again
!include "${__FILEDIR__}/files.nsh"       ; the program's files: set aside, written, settings brought
!include "${__FILEDIR__}/rollback.nsh"    ; what was written put back when a file cannot be
!include "${__FILEDIR__}/startup.nsh"     ; start with Windows, and Startup shortcuts to other copies
!include "${__FILEDIR__}/folders.nsh"     ; which folder is Marlinet's, and the install it moves from
!include "${__FILEDIR__}/uninstaller.nsh" ; the uninstall entry and the uninstaller

Function .onInit
  SectionGetSize 0 $SpaceNeeded
  Call ChooseFolder
  Call ReadStartWithWindows
  Call ReadSwitches
  !insertmacro CheckAccount "would be installed"
FunctionEnd

; The switches for what the pages ask, for a silent setup.
Function ReadSwitches
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

Section "Marlinet"
  StrCpy $CreatedFolder 0
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $CreatedFolder 1
  ${EndIf}
  SetOutPath "$INSTDIR"
  ; A new folder has its long form only now that it is there: the
  ; uninstall entry and the Run value name it so.
  Push $INSTDIR
  Call LongFolder
  Pop $INSTDIR
  InitPluginsDir
  Call RemoveEarlierUninstallers
  Call EndRunningCopies
  Call CheckMoveFrom
  !insertmacro WriteFiles
  Call RemoveMovedInstall
  Call KeepSwitchedOffInEntry
  CreateShortCut "$SMPROGRAMS\Marlinet.lnk" "$INSTDIR\Marlinet.exe" "" "$INSTDIR\Marlinet.exe" 0
  Call WriteStartWithWindows
  Call OfferToRemoveStartupShortcut
  Call WriteUninstallEntry
SectionEnd

Function .onInstSuccess
  ; The finish page starts it when the setup has pages.
  ${If} ${Silent}
  ${AndIf} $WasRunning = 1
  ${AndIf} $NoStartNow = 0
    Call StartMarlinet
  ${EndIf}
FunctionEnd
