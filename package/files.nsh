; The program's files, each by name: written with the earlier ones set
; aside, and the person's settings brought over (rollback.nsh puts all
; back when one cannot be written).
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
; alone, so that the earlier ones can all be put back. A file is marked as
; written (in $PLUGINSDIR\written) before its write starts: a write cut
; short part-way is put back too. One that could not be opened for writing
; is as it was, and its mark goes again.
!macro MarkWritten Name
  FileOpen $R9 "$PLUGINSDIR\written\${Name}" w
  FileClose $R9
!macroend
!macro TryWrite Name Command
  ${If} $WriteFailed == ""
    !insertmacro MarkWritten "${Name}"
    ClearErrors
    ${Command}
    ${If} ${Errors}
      StrCpy $WriteFailed "${Name}"
      Delete "$PLUGINSDIR\written\${Name}"
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
  ${If} ${FileExists} "$PLUGINSDIR\written\${Name}"
    Push "${Name}"
    Call PutBack
  ${EndIf}
!macroend
!macro RemoveFile Name
  Delete "$INSTDIR\${Name}"
!macroend

; The person's own files, each by name: the setup brings them over from a
; copy that ran elsewhere or from the install it moves, and the uninstaller
; removes them when asked to.
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
; On a move, the moving install's own file comes along; one of the same
; name here that differs is kept aside beside it, as <name>.before-move.
; A copy that fails rolls the setup back.
!macro MoveSettingsFile Name
  ${If} $WriteFailed == ""
  ${AndIf} ${FileExists} "$MoveFrom\${Name}"
    Push "${Name}"
    Call MoveSettingsFile
  ${EndIf}
!macroend
!macro PutAsideBack Name
  ${If} ${FileExists} "$PLUGINSDIR\aside\${Name}"
    System::Call 'kernel32::MoveFileW(w "$INSTDIR\${Name}.before-move", w "$INSTDIR\${Name}") i .R9'
    ${If} $R9 = 0
      StrCpy $NotPutBack "$NotPutBack$\r$\n${Name}"
    ${EndIf}
  ${EndIf}
!macroend
!macro BringFile Name
  ${If} ${FileExists} "$OtherFolder\${Name}"
  ${AndIfNot} ${FileExists} "$INSTDIR\${Name}"
    !insertmacro MarkWritten "${Name}"
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
; a file that cannot be written rolls the setup back. Inserted in the
; section itself, whose size (the room a full disk lacks) counts the files
; only there.
!macro WriteFiles
  StrCpy $WriteFailed ""
  ; A copy of each file this setup replaces, to put back if any file
  ; cannot be written.
  CreateDirectory "$PLUGINSDIR\old"
  CreateDirectory "$PLUGINSDIR\written"
  CreateDirectory "$PLUGINSDIR\aside"
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
  ; A failed WriteUninstaller ends nothing by itself, and leaves no error
  ; to read: the disk's free space tells whether it is full. It may have
  ; stopped part-way, so it is put back all the same.
  ${If} $WriteFailed == ""
    !insertmacro MarkWritten ${UNINSTALLER}
    ClearErrors
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    ${If} ${Errors}
      StrCpy $WriteFailed ${UNINSTALLER}
    ${EndIf}
  ${EndIf}
  ${If} $WriteFailed == ""
    ${If} $MoveFrom != ""
      !insertmacro SettingsFiles MoveSettingsFile
    ${Else}
      Call BringSettings
    ${EndIf}
  ${EndIf}
  ${If} $WriteFailed == ""
    ; The quiet defaults only where the person has no settings of their own.
    ${IfNot} ${FileExists} "$INSTDIR\prefs.kvr"
      !insertmacro InstallFile "prefs.kvr"
    ${EndIf}
    ${IfNot} ${FileExists} "$INSTDIR\proc.kvr"
      !insertmacro InstallFile "proc.kvr"
    ${EndIf}
  ${EndIf}
  SetOverwrite on
  ${If} $WriteFailed != ""
    Call RollBack
  ${EndIf}
  StrCpy $Writing 0
!macroend

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

; One settings file of the install this setup moves (its name on the
; stack) comes here. A file of that name here that differs goes aside as
; <name>.before-move (an earlier one of that name gives way) and is named in
; the details. One that cannot be set aside or copied sets WriteFailed and
; WriteError.
Function MoveSettingsFile
  System::Store "s"
  Pop $R0
  StrCpy $R1 1
  ${If} ${FileExists} "$INSTDIR\$R0"
    Push "$MoveFrom\$R0"
    Push "$INSTDIR\$R0"
    Call SameFiles
    Pop $R1
    ${If} $R1 = 0
      Delete "$INSTDIR\$R0.before-move"
      System::Call 'kernel32::MoveFileW(w "$INSTDIR\$R0", w "$INSTDIR\$R0.before-move") i .R2 ?e'
      Pop $R3
      ${If} $R2 = 0
        StrCpy $WriteFailed $R0
        StrCpy $WriteError $R3
      ${Else}
        FileOpen $R4 "$PLUGINSDIR\aside\$R0" w
        FileClose $R4
        DetailPrint "$R0 here differed from the one in $MoveFrom: it is kept beside it as $R0.before-move."
      ${EndIf}
    ${EndIf}
  ${Else}
    StrCpy $R1 0
  ${EndIf}
  ${If} $R1 = 0
  ${AndIf} $WriteFailed == ""
    !insertmacro MarkWritten $R0
    System::Call 'kernel32::CopyFileW(w "$MoveFrom\$R0", w "$INSTDIR\$R0", i 1) i .R2 ?e'
    Pop $R3
    ${If} $R2 = 0
      StrCpy $WriteFailed $R0
      StrCpy $WriteError $R3
    ${Else}
      DetailPrint "$R0 came along from $MoveFrom."
    ${EndIf}
  ${EndIf}
  System::Store "l"
FunctionEnd

; 1 on the stack when the two files on it hold the same bytes; 0 when they
; differ, or either cannot be read whole.
Function SameFiles
  System::Store "s"
  Pop $R0
  Pop $R1
  StrCpy $R9 0
  ; GENERIC_READ, any sharing, OPEN_EXISTING
  System::Call 'kernel32::CreateFileW(w R0, i 0x80000000, i 7, p 0, i 3, i 0, p 0) p .R2'
  System::Call 'kernel32::CreateFileW(w R1, i 0x80000000, i 7, p 0, i 3, i 0, p 0) p .R3'
  ${If} $R2 P<> -1
  ${AndIf} $R3 P<> -1
    System::Call 'kernel32::GetFileSize(p R2, p 0) i .R4'
    System::Call 'kernel32::GetFileSize(p R3, p 0) i .R5'
    ${If} $R4 = 0
    ${AndIf} $R5 = 0
      StrCpy $R9 1
    ${ElseIf} $R4 = $R5
    ${AndIf} $R4 > 0
    ${AndIf} $R4 < 16777216
      System::Alloc $R4
      Pop $R6
      System::Alloc $R4
      Pop $R7
      System::Call 'kernel32::ReadFile(p R2, p R6, i R4, *i .R8, p 0) i .r0'
      System::Call 'kernel32::ReadFile(p R3, p R7, i R4, *i .r2, p 0) i .r1'
      ${If} $0 <> 0
      ${AndIf} $1 <> 0
      ${AndIf} $R8 = $R4
      ${AndIf} $2 = $R4
        System::Call 'msvcrt::memcmp(p R6, p R7, i R4) i .r0 ?c'
        ${If} $0 = 0
          StrCpy $R9 1
        ${EndIf}
      ${EndIf}
      System::Free $R6
      System::Free $R7
    ${EndIf}
  ${EndIf}
  ${If} $R2 P<> -1
    System::Call 'kernel32::CloseHandle(p R2)'
  ${EndIf}
  ${If} $R3 P<> -1
    System::Call 'kernel32::CloseHandle(p R3)'
  ${EndIf}
  Push $R9
  System::Store "l"
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
