; Which folder Marlinet goes into, how two folders are told to be one,
; and the install this setup moves from.
; (Included by marlinet.nsi.)

; The folder to install into, $MoveFrom and $Upgrade.
Function ChooseFolder
  ; A folder that holds other files (C:\Tools, say, given by /D=) gets a
  ; folder of Marlinet's own: nothing of another program's is overwritten,
  ; nor removed by the uninstaller. Another program may keep a prefs.kvr,
  ; a READ-ME.txt or an uninstall.exe too, and the zip's Marlinet.exe may
  ; have been dropped beside them: a folder is Marlinet's only when the
  ; uninstall entry names it, or when every file in it has one of
  ; Marlinet's own names (the zip's folder; the settings an uninstall
  ; left). A drive's root never is.
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
  ${ElseIf} "$INSTDIR" != "$1"
    Push $1
    Push $INSTDIR
    Call SameFolder
    Pop $0
    ${If} $0 <> 1
      Call OnlyMarlinetsFiles
      Pop $0
      ${If} $0 = 0
        StrCpy $INSTDIR "$INSTDIR\Marlinet"
      ${EndIf}
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
; volume and file index; 0 when they are two. 2 when it cannot be told:
; either cannot be opened or read. For the setup and the uninstaller.
!macro SameFolderFunction Prefix
Function ${Prefix}SameFolder
  System::Store "s"
  Pop $R0
  Pop $R1
  StrCpy $R9 2
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
!macroend
!insertmacro SameFolderFunction ""
!insertmacro SameFolderFunction "un."

; 1 on the stack when every file in $INSTDIR (none, or no folder) has one
; of Marlinet's own names: its program, sounds, read-me and licence, its
; uninstaller, and the files it keeps beside Marlinet.exe; 0 when any other
; file or a folder is there. Other programs use three of those names too:
; a READ-ME.txt is Marlinet's when its first line names it, a LICENSE.txt
; when its third line is Marlinet's publisher's copyright, an uninstall.exe
; when its uninstall.bin is beside it.
!macro OrOwnName Name
    ${OrIf} $R1 == "${Name}"
!macroend
!macro OrOwnSettingsName Name
    ${OrIf} $R1 == "${Name}"
    ${OrIf} $R1 == "${Name}.before-move"
!macroend
Function OnlyMarlinetsFiles
  System::Store "s"
  StrCpy $R2 1
  FindFirst $R0 $R1 "$INSTDIR\*"
  ${DoWhile} $R1 != ""
    ${If} $R1 == "."
    ${OrIf} $R1 == ".."
    ${ElseIf} $R1 == "READ-ME.txt"
      FileOpen $R3 "$INSTDIR\$R1" r
      FileRead $R3 $R4
      FileClose $R3
      StrCpy $R4 $R4 9
      ${If} $R4 != "Marlinet "
        StrCpy $R2 0
      ${EndIf}
    ${ElseIf} $R1 == "LICENSE.txt"
      FileOpen $R3 "$INSTDIR\$R1" r
      FileRead $R3 $R4
      FileRead $R3 $R4
      FileRead $R3 $R4
      FileClose $R3
      ${TrimNewLines} $R4 $R4
      StrCpy $R4 $R4 "" -16
      ${If} $R4 != "${PUBLISHER}"
        StrCpy $R2 0
      ${EndIf}
    ${ElseIf} $R1 == ${UNINSTALL_EXE}
      ${IfNot} ${FileExists} "$INSTDIR\${UNINSTALLER}"
        StrCpy $R2 0
      ${EndIf}
    ${ElseIf} $R1 == "prefs.kvr.bak"
    ${OrIf} $R1 == "proc.kvr.bak"
    !insertmacro ProgramFiles OrOwnName
    !insertmacro OrOwnName ${UNINSTALLER}
    !insertmacro SettingsFiles OrOwnSettingsName
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

; Before anything is written, the install this setup moves from: none
; where it is this folder however spelled, and none, said in the details,
; where that cannot be told (nothing there is removed then). Its
; Marlinet.exe must be free to remove: one that is held (by a Marlinet
; started as an administrator, which this setup can neither see nor end,
; or by a scanner) stops the setup before anything is changed, as a copy
; that does not end does; the copies already ended start again.
Function CheckMoveFrom
  ${If} $MoveFrom == ""
    Return
  ${EndIf}
  Push $MoveFrom
  Push $INSTDIR
  Call SameFolder
  Pop $R0
  ${If} $R0 = 1
    StrCpy $MoveFrom ""
    Return
  ${ElseIf} $R0 = 2
    DetailPrint "It cannot be told whether $MoveFrom, where Marlinet was installed, is this folder: nothing there is removed."
    StrCpy $MoveFrom ""
    Return
  ${EndIf}
  ${Do}
    ; GENERIC_WRITE, any sharing, OPEN_EXISTING: refused with a sharing
    ; violation (32) while a process runs it or holds it unshared.
    System::Call 'kernel32::CreateFileW(w "$MoveFrom\Marlinet.exe", i 0x40000000, i 7, p 0, i 3, i 0, p 0) p .R0 ?e'
    Pop $R1
    ${If} $R0 P<> -1
      System::Call 'kernel32::CloseHandle(p R0)'
      ${Break}
    ${EndIf}
    ${If} $R1 <> 32
    ${AndIf} $R1 <> 33
      ${Break}
    ${EndIf}
    DetailPrint "Marlinet.exe in $MoveFrom is in use."
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Marlinet.exe in$\r$\n$MoveFrom$\r$\nis in use: a Marlinet started as an administrator may be running from there, or another program holds it. Marlinet moves from there only once it can be removed.$\r$\n$\r$\nEnd that Marlinet, then click Retry. Cancel leaves Marlinet as it is." /SD IDCANCEL IDRETRY`
      Call StartEndedCopies
      SetErrorLevel ${EXIT_NO_ANSWER}
      Abort "Marlinet.exe in $MoveFrom is in use; nothing was changed."
    ${EndIf}
  ${Loop}
FunctionEnd

; The install this setup moved here: its program, then its other program
; files, each by name, then its uninstaller, so that nothing of it can
; later remove what belongs to this install; the person's own files stay,
; and the folder with them. A Marlinet.exe that cannot be removed keeps
; everything there, its uninstaller too, to remove it later.
!macro RemoveMovedFile Name
  Delete "$MoveFrom\${Name}"
!macroend
Function RemoveMovedInstall
  ${If} $MoveFrom == ""
    Return
  ${EndIf}
  Delete "$MoveFrom\Marlinet.exe"
  ${If} ${FileExists} "$MoveFrom\Marlinet.exe"
    DetailPrint "Marlinet moved here from $MoveFrom, where Marlinet.exe could not be removed: its files there stay, and its uninstall.exe can remove them."
    Return
  ${EndIf}
  !insertmacro ProgramFiles RemoveMovedFile
  !insertmacro RemoveMovedFile ${UNINSTALL_EXE}
  !insertmacro RemoveMovedFile ${UNINSTALLER}
  RMDir $MoveFrom
  DetailPrint "Marlinet moved here from $MoveFrom: its program files there were removed, and your own files there stay."
FunctionEnd
