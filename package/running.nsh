; Copies of Marlinet that run: asked to end as Quit ends them, started
; again by the desktop's shell, and the account the setup runs as.
; (Included by marlinet.nsi.)

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
