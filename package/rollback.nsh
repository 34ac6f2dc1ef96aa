; When a file cannot be written: what this setup wrote is put back, the
; copies it ended start again, and the exit code tells a file in use from
; a full disk.
; (Included by marlinet.nsi.)

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
  ; The disk's free space is asked before anything goes back.
  Call ExitForWriteError
  Call PutBackFiles
  Call GiveUpOnFiles
  Abort $R1
FunctionEnd

; The exit code, then why, for GiveUpOnFiles onto the stack, by the error
; kept for the file that could not be written: ERROR_DISK_FULL (112) or
; ERROR_HANDLE_DISK_FULL (39) is a full disk, any other a file held. With
; no error known, the disk is full only when it has less room left than
; the program's files take.
Function ExitForWriteError
  StrCpy $R0 0
  ${If} $WriteError = 112
  ${OrIf} $WriteError = 39
    StrCpy $R0 1
  ${ElseIf} $WriteError = 0
    Call DiskIsFull
    Pop $R0
  ${EndIf}
  ${If} $R0 = 1
    Push ${EXIT_DISK_FULL}
    Push "(the disk may be full)"
  ${Else}
    Push ${EXIT_FILES}
    Push "(another program may hold it)"
  ${EndIf}
FunctionEnd

; 1 on the stack when the disk of $INSTDIR has less room than the program's
; files; 0 when it has more, or cannot be asked (a share that went away).
Function DiskIsFull
  System::Store "s"
  StrCpy $R0 0
  System::Call 'kernel32::GetDiskFreeSpaceExW(w "$INSTDIR\", *l .R1, p 0, p 0) i .R2'
  ${If} $R2 <> 0
    System::Int64Op $SpaceNeeded * 1024
    Pop $R3
    System::Int64Op $R1 < $R3
    Pop $R0
  ${EndIf}
  Push $R0
  System::Store "l"
FunctionEnd

; A write that failed part-way ends the section by NSIS's own error: no
; file was held; the disk may have run out of space, or the folder gone
; (a share dropped, a stick pulled). The files go back all the same, and
; the exit code says which it was. Whatever ended the setup, a folder it
; made goes again if nothing is in it.
Function .onInstFailed
  ${If} $Writing = 1
    ${If} $WriteFailed == ""
      StrCpy $WriteFailed "A file"
    ${EndIf}
    Call DiskIsFull
    Pop $R0
    Call PutBackFiles
    ${If} $R0 = 1
      Push ${EXIT_DISK_FULL}
      Push "(the disk may be full)"
    ${Else}
      Push ${EXIT_FILES}
      Push "(the write was cut short)"
    ${EndIf}
    Call GiveUpOnFiles
    DetailPrint $R1
  ${EndIf}
  ${If} $CreatedFolder = 1
    SetOutPath $TEMP
    RMDir $INSTDIR
  ${EndIf}
FunctionEnd

Function PutBackFiles
  DetailPrint "$WriteFailed could not be written in $INSTDIR: the earlier files are put back."
  StrCpy $NotPutBack ""
  !insertmacro ProgramFiles PutBackFile
  !insertmacro PutBackFile ${UNINSTALL_EXE}
  !insertmacro PutBackFile ${UNINSTALLER}
  ; The settings brought here, and the defaults written, go; those set
  ; aside come back.
  !insertmacro SettingsFiles PutBackFile
  !insertmacro SettingsFiles PutAsideBack
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
