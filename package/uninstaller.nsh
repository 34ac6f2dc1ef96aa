; The uninstall entry Settings, Apps lists, and the uninstaller.
; (Included by marlinet.nsi.)

; The uninstall entry, naming this install.
Function WriteUninstallEntry
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

!macro RemoveSetAside Name
  Delete "$INSTDIR\${Name}.before-move"
!macroend
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
  ; an install moved to another folder leaves them to that one. The folders
  ; are one when they are one file (however each is reached: a short name,
  ; a substituted or mapped drive, a junction); where that cannot be told
  ; (the entry's folder is gone), by their long names.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  StrCpy $OwnEntry 0
  ${If} $0 == ""
    StrCpy $OwnEntry 1
  ${Else}
    Push $0
    Push $INSTDIR
    Call un.SameFolder
    Pop $OwnEntry
  ${EndIf}
  ${If} $OwnEntry = 2
    StrCpy $OwnEntry 0
    System::Call 'kernel32::GetLongPathNameW(w r0, w .r1, i ${NSIS_MAX_STRLEN}) i .r3'
    ${If} $3 = 0
      StrCpy $1 $0
    ${EndIf}
    System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR", w .r2, i ${NSIS_MAX_STRLEN}) i .r3'
    ${If} $3 = 0
      StrCpy $2 $INSTDIR
    ${EndIf}
    ${If} $1 == $2
      StrCpy $OwnEntry 1
    ${EndIf}
  ${EndIf}
  !insertmacro ProgramFiles RemoveFile
  ; The Startup shortcuts a silent setup switched off, while still off: a
  ; choice made since in Task Manager stands.
  ${If} $OwnEntry = 1
    !insertmacro EachSwitchedOff SwitchOnStartupShortcut
  ${EndIf}
  ${If} $KeepSettings = ${BST_UNCHECKED}
    !insertmacro SettingsFiles RemoveFile
    ; What the program keeps aside, and what a save cut short leaves behind.
    Delete "$INSTDIR\prefs.kvr.bak"
    Delete "$INSTDIR\proc.kvr.bak"
    ; What a move kept aside.
    !insertmacro SettingsFiles RemoveSetAside
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
