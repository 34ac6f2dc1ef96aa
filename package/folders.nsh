; Which folder Marlinet goes into, how two folders are told to be one,
; and the install this setup moves from.
; (Included by marlinet.nsi.)

; The folder to install into, $MoveFrom and $Upgrade.
Function ChooseFolder
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
