; The program's files, each by name: written with the earlier ones set
; aside, the person's settings brought over, and all put back when one
; cannot be written.
; (Included by marlinet.nsi.)

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

; The earlier files set aside, the new ones written, the settings brought;
; a file that cannot be written rolls the setup back.
Function WriteFiles
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
