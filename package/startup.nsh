; Start with Windows: the Run value, Task Manager's switch for it, and
; Startup folder shortcuts that would start a second copy.
; (Included by marlinet.nsi.)

; The start with Windows this setup keeps or makes.
Function ReadStartWithWindows
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
FunctionEnd

Function WriteStartWithWindows
  ${If} $StartWithWindows = 1
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\Marlinet.exe"'
    ; Ticked again after Task Manager switched it off: on in both places.
    ${If} $StartupDisabled = 1
      WriteRegBin HKCU "${APPROVED_KEY}" "${PRODUCT}" 020000000000000000000000
    ${EndIf}
  ${ElseIf} $StartupDisabled = 1
    ; Switched off in Task Manager, and left so: Task Manager's value stays
    ; as it is, and it still lists Marlinet as "Disabled" (its switch goes
    ; by the value's name). The Run value names this folder's program, so
    ; that switching it on again starts this install (after a move, the
    ; earlier folder's program is gone).
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

; Runs the macro Action with $R1 set to each Startup shortcut that a setup
; switched off, as listed under the uninstall entry.
!macro EachSwitchedOff Action
  StrCpy $R7 0
  ${Do}
    EnumRegValue $R1 HKCU "${SWITCHED_OFF_KEY}" $R7
    ${If} $R1 == ""
      ${Break}
    ${EndIf}
    !insertmacro ${Action} ""
    IntOp $R7 $R7 + 1
  ${Loop}
!macroend
; The same, for the list an earlier setup kept in the Marlinet.ini of Folder.
!macro EachSwitchedOffInIni Folder Action
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
    WriteRegStr HKCU "${SWITCHED_OFF_KEY}" "$1" "$R1"
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

; The shortcuts an earlier setup switched off and listed in Marlinet.ini,
; here or in the folder this install moves from, go into the list under
; the uninstall entry, which neither a name nor a deleted Marlinet.ini can
; lose.
!macro KeepSwitchedOff Folder
  ReadINIStr $R2 "${Folder}\Marlinet.ini" "${SWITCHED_OFF}" $R1
  WriteRegStr HKCU "${SWITCHED_OFF_KEY}" $R1 $R2
  StrCpy $R3 1
!macroend
!macro KeepSwitchedOffOf Folder
  ${If} ${FileExists} "${Folder}\Marlinet.ini"
    StrCpy $R3 0
    !insertmacro EachSwitchedOffInIni "${Folder}" KeepSwitchedOff
    ${If} $R3 = 1
      DeleteINISec "${Folder}\Marlinet.ini" "${SWITCHED_OFF}"
    ${EndIf}
  ${EndIf}
!macroend
Function KeepSwitchedOffInEntry
  !insertmacro KeepSwitchedOffOf $INSTDIR
  ${If} $MoveFrom != ""
    !insertmacro KeepSwitchedOffOf $MoveFrom
  ${EndIf}
FunctionEnd
