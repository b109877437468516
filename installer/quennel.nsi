; The installer of Desktop Quennel: the program beside its palette, the theme
; folder with the five theme files, their icons, cursors, sounds and the screen
; saver, and the art and palettes in the Windows folder's "ZORVA".
;
; makensis -DPROGRAM=... -DSAVER=... -DCONTENT=... -DOUTFILE=... quennel.nsi
;   PROGRAM  DesktopQuennel.exe        SAVER  ZORVA.SCR
;   CONTENT  the generated content folder (theme files, Zorva\, ZORVA\, WALLART\)
;   VERSION  the program's version, "1.1.0", and its parts VERSION_MAJOR,
;            VERSION_MINOR and VERSION_PATCH
;   MAX_FOLDER  the longest folder, in UTF-16 units, whose every file and
;            theme path stays within the system's 259
;
; The program, its themes and the art are the machine's, for every user; the
; settings a theme changes, and the backup of them that the program takes, are
; each user's own. The uninstaller's revert puts back the settings of the
; account that runs it.
;
; Rights: the installer writes for the whole machine and needs an
; administrator; the uninstaller's revert works on one user's settings and
; files and must run with that user's own rights, never elevated. NSIS gives the
; installer and the uninstaller one execution level, so both start with the
; rights of whoever runs them ("user"), and each asks the system for an
; administrator's rights itself, with the "runas" verb, where it needs them:
; the installer for all of its work, the uninstaller for its second stage, which
; removes the files after the first has put the user's settings back.

Unicode true
SetCompressor /SOLID lzma
Name "Desktop Quennel"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Desktop Quennel"
RequestExecutionLevel user
ShowInstDetails show
ShowUninstDetails show

; The installer's own version record, the same as the program's.
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Desktop Quennel"
VIAddVersionKey "CompanyName" "Desktop Quennel"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 Desktop Quennel"
VIAddVersionKey "FileDescription" "Desktop Quennel installer"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "OriginalFilename" "DesktopQuennel-Setup.exe"

!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\DesktopQuennel"
!define HKCU 0x80000001
; The well-known SIDs of Administrators, SYSTEM and Users: the same on every
; system, whatever the language of the groups' names.
!define SID_ADMINS "*S-1-5-32-544"
!define SID_SYSTEM "*S-1-5-18"
!define SID_USERS "*S-1-5-32-545"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Opens a registry key, making it when it is missing; an existing key and its
; values stay as they are.
!macro EnsureKey ROOT PATH
  System::Call 'advapi32::RegCreateKeyExW(p ${ROOT}, w "${PATH}", i 0, p 0, i 0, i 0x20006, p 0, *p .r0, p 0) i .r1'
  ${If} $1 == 0
    System::Call 'advapi32::RegCloseKey(p r0)'
  ${EndIf}
!macroend

; Starts $2 with the parameters $3 with an administrator's rights (the system
; asks the person for them unless the process has them already), waits for it
; and leaves its exit code in $0: "cancelled" when the person said no, "error"
; when it could not be started.
!macro RunAsAdministratorFunction PREFIX
Function ${PREFIX}RunAsAdministrator
  ; SHELLEXECUTEINFOW, 60 bytes: SEE_MASK_NOCLOSEPROCESS, for the handle to wait on.
  System::Call '*(i 60, i 0x40, p $HWNDPARENT, w "runas", w r2, w r3, p 0, i 1, p 0, p 0, p 0, p 0, i 0, p 0, p 0) p .r4'
  System::Call 'shell32::ShellExecuteExW(p r4) i .r5 ?e'
  Pop $6
  ${If} $5 == 0
    ${If} $6 == 1223  ; ERROR_CANCELLED
      StrCpy $0 "cancelled"
    ${Else}
      StrCpy $0 "error"
    ${EndIf}
  ${Else}
    System::Call '*$4(i, i, p, p, p, p, p, i, p, p, p, p, i, p, p .r7)'
    System::Call 'kernel32::WaitForSingleObject(p r7, i -1)'
    System::Call 'kernel32::GetExitCodeProcess(p r7, *i .r0)'
    System::Call 'kernel32::CloseHandle(p r7)'
  ${EndIf}
  System::Free $4
FunctionEnd
!macroend
!insertmacro RunAsAdministratorFunction ""
!insertmacro RunAsAdministratorFunction "un."

; The installer runs again with an administrator's rights when it has not got
; them, on the same command line, and ends with that run's exit code.
Function .onInit
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    Return
  ${EndIf}
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/ELEVATED" $2
  ${IfNot} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "Desktop Quennel is installed for every user of this computer, which needs an administrator's rights." /SD IDOK
    SetErrorLevel 2
    Quit
  ${EndIf}
  StrCpy $2 "$EXEPATH"
  StrCpy $3 "/ELEVATED $1"  ; first: /D= must stay the last
  Call RunAsAdministrator
  ${If} $0 == "cancelled"
  ${OrIf} $0 == "error"
    MessageBox MB_OK|MB_ICONSTOP "Desktop Quennel was not installed: it is installed for every user of this computer, which needs an administrator's rights." /SD IDOK
    SetErrorLevel 2
  ${Else}
    SetErrorLevel $0
  ${EndIf}
  Quit
FunctionEnd

; Runs icacls on the program's folder and refuses the install when it fails.
!macro Icacls ARGS
  nsExec::ExecToLog '"$SYSDIR\icacls.exe" "$INSTDIR" ${ARGS}'
  Pop $0
  ${If} $0 != 0
    MessageBox MB_OK|MB_ICONSTOP "Desktop Quennel was not installed: the folder$\r$\n  $INSTDIR$\r$\ncannot be made one that only administrators can change (icacls: $0). Please choose another folder." /SD IDOK
    ${If} $R9 == "new"
      RMDir "$INSTDIR"
    ${EndIf}
    Abort
  ${EndIf}
!macroend

; The program's folder gets the permissions of Program Files, in whatever folder
; it is: every user's program, the uninstaller that runs as an administrator,
; and the themes and the screen saver that every user's session runs are
; there, so no one but an administrator may change them. Inheritance from the
; parent goes (a folder such as C:\Apps lets every signed-in user write);
; Administrators and SYSTEM have full control and Users read and execute, for
; the folder and all below it. A folder that a user made beforehand, and any
; file already in it, gets Administrators as its owner first: an owner can
; always change the permissions back. Then every file and folder below is reset
; to what it inherits, so none keeps permissions of its own; the files written
; afterwards inherit the same. /L works on a link itself, never its target.
; A whole drive is never the folder: NSIS refuses one (AllowRootDirInstall).
Function SecureProgramFolder
  ; A library beside the program or the uninstaller would be loaded by them
  ; before the system's own: a folder that holds one is refused.
  ${If} ${FileExists} "$INSTDIR\*.dll"
    MessageBox MB_OK|MB_ICONSTOP "Desktop Quennel was not installed: the folder$\r$\n  $INSTDIR$\r$\nholds libraries (.dll) that are not Desktop Quennel's. Please choose another folder." /SD IDOK
    Abort
  ${EndIf}
  StrCpy $R9 "new"
  ${If} ${FileExists} "$INSTDIR\*.*"
    StrCpy $R9 "there"
  ${EndIf}
  CreateDirectory "$INSTDIR"
  !insertmacro Icacls '/setowner ${SID_ADMINS} /T /L /Q'
  !insertmacro Icacls '/reset /T /L /Q'
  !insertmacro Icacls '/inheritance:r /grant:r ${SID_ADMINS}:(OI)(CI)F ${SID_SYSTEM}:(OI)(CI)F ${SID_USERS}:(OI)(CI)RX /L /Q'
FunctionEnd

; A folder whose files' paths would pass the system's limit is refused before
; anything is installed: the program would have to refuse its themes.
!macro CheckFolderLength
  StrLen $0 "$INSTDIR"
  ${If} $0 > ${MAX_FOLDER}
    MessageBox MB_OK|MB_ICONSTOP "The folder$\r$\n  $INSTDIR$\r$\nhas too long a path for Desktop Quennel's files. Please choose a folder of at most ${MAX_FOLDER} characters." /SD IDOK
    Abort
  ${EndIf}
!macroend

Function .onVerifyInstDir
  StrLen $0 "$INSTDIR"
  ${If} $0 > ${MAX_FOLDER}
    Abort
  ${EndIf}
FunctionEnd

; control.ini keeps the theme folder's path. The profile functions keep a
; letter outside the system's ANSI code page only in a UTF-16 file: when the
; path would not read back whole from an ANSI file, and control.ini is one, a
; UTF-16 copy is made beside it, its lines as they were and the path written
; into it, and only once the copy is whole does it take the original's place.
; When anything fails the original stays as it was and the install is refused.
Function WriteThemeFolder
  StrCpy $R0 "$INSTDIR\Themes"
  ; Would an ANSI file keep the path? A scratch file says, without touching control.ini.
  InitPluginsDir
  WriteINIStr "$PLUGINSDIR\ansi.ini" "Zorva" "switcher" "$R0"
  ReadINIStr $0 "$PLUGINSDIR\ansi.ini" "Zorva" "switcher"
  ; Is control.ini UTF-16 already (its byte order mark)?
  StrCpy $1 ""
  ClearErrors
  FileOpen $2 "$WINDIR\control.ini" r
  ${IfNot} ${Errors}
    FileReadWord $2 $1
    FileClose $2
  ${EndIf}
  ${If} $0 == "$R0"
  ${OrIf} $1 == 65279
    ClearErrors
    WriteINIStr "$WINDIR\control.ini" "Zorva" "switcher" "$R0"
    ReadINIStr $0 "$WINDIR\control.ini" "Zorva" "switcher"
    ${If} ${Errors}
    ${OrIf} $0 != "$R0"
      Goto failed
    ${EndIf}
    Return
  ${EndIf}

  ; The UTF-16 copy: every write checked, and its size against what was written.
  StrCpy $R1 "$WINDIR\control.ini.new"
  Delete "$R1"
  ClearErrors
  FileOpen $2 "$R1" w
  IfErrors failed
  FileWriteWord $2 0xFEFF
  IfErrors closeCopy
  StrCpy $R2 2  ; bytes written
  ${If} $1 != ""  ; control.ini is there: its lines, as they were
    ClearErrors
    FileOpen $3 "$WINDIR\control.ini" r
    IfErrors closeCopy
    ${Do}
      ClearErrors
      FileRead $3 $4
      ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
      FileWriteUTF16LE $2 $4
      ${If} ${Errors}
        FileClose $3
        Goto closeCopy
      ${EndIf}
      StrLen $5 $4
      IntOp $R2 $R2 + $5
      IntOp $R2 $R2 + $5
    ${Loop}
    FileClose $3
  ${EndIf}
  ClearErrors
  FileSeek $2 0 END $5
  FileClose $2
  ${If} ${Errors}
  ${OrIf} $5 != $R2
    Goto dropCopy
  ${EndIf}
  ClearErrors
  WriteINIStr "$R1" "Zorva" "switcher" "$R0"
  ReadINIStr $0 "$R1" "Zorva" "switcher"
  ${If} ${Errors}
  ${OrIf} $0 != "$R0"
    Goto dropCopy
  ${EndIf}
  ; MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH: one step, on the disk when it returns.
  System::Call 'kernel32::MoveFileExW(w R1, w "$WINDIR\control.ini", i 9) i .r0'
  ${If} $0 != 0
    Return
  ${EndIf}
  Goto dropCopy

closeCopy:
  FileClose $2
dropCopy:
  Delete "$R1"
failed:
  MessageBox MB_OK|MB_ICONSTOP "Desktop Quennel was not installed: the theme folder cannot be written to the Windows folder's control.ini, which stays as it was." /SD IDOK
  ${If} $R9 == "new"
    RMDir "$INSTDIR"
  ${EndIf}
  Abort
FunctionEnd

!macro EnsureSoundKey EVENT
  !insertmacro EnsureKey ${HKCU} "AppEvents\Schemes\Apps\.Default\${EVENT}\.Current"
!macroend

Section "Desktop Quennel"
  !insertmacro CheckFolderLength
  Call SecureProgramFolder
  ; The program finds its theme folder here.
  Call WriteThemeFolder

  SetOutPath "$INSTDIR"
  File "/oname=DesktopQuennel.exe" "${PROGRAM}"
  SetOutPath "$INSTDIR\WALLART"
  File "${CONTENT}/WALLART/PALALL9.TR"

  SetOutPath "$INSTDIR\Themes"
  File "${CONTENT}/Zorva The Vandrel BLACK.theme"
  File "${CONTENT}/Zorva The Vandrel RED.theme"
  File "${CONTENT}/Zorva The Vandrel WHITE.theme"
  File "${CONTENT}/Zorva The Vandrel BLUE.theme"
  File "${CONTENT}/Zorva The Vandrel GREEN.theme"
  SetOutPath "$INSTDIR\Themes\Zorva"
  File /r "${CONTENT}/Zorva/*.*"
  File "/oname=ZORVA.SCR" "${SAVER}"

  ; A folder the installer makes in the Windows folder inherits its
  ; permissions: only administrators may change it.
  SetOutPath "$WINDIR\ZORVA"
  File "${CONTENT}/ZORVA/*.ART"
  File "${CONTENT}/ZORVA/*.tr"

  ; The settings keys a theme writes to: the program opens keys and never
  ; makes them, and a new system may lack some (cursors, sound events).
  !insertmacro EnsureKey ${HKCU} "Control Panel\Cursors"
  !insertmacro EnsureKey ${HKCU} "Control Panel\Appearance"
  !insertmacro EnsureKey ${HKCU} "AppEvents\Schemes"
  !insertmacro EnsureKey ${HKCU} "AppEvents\Schemes\Apps\Explorer\EmptyRecycleBin\.Current"
  !insertmacro EnsureSoundKey ".Default"
  !insertmacro EnsureSoundKey "AppGPFault"
  !insertmacro EnsureSoundKey "MenuCommand"
  !insertmacro EnsureSoundKey "MenuPopup"
  !insertmacro EnsureSoundKey "Minimize"
  !insertmacro EnsureSoundKey "Maximize"
  !insertmacro EnsureSoundKey "Open"
  !insertmacro EnsureSoundKey "Close"
  !insertmacro EnsureSoundKey "RestoreDown"
  !insertmacro EnsureSoundKey "RestoreUp"
  !insertmacro EnsureSoundKey "RingIn"
  !insertmacro EnsureSoundKey "RingOut"
  !insertmacro EnsureSoundKey "SystemAsterisk"
  !insertmacro EnsureSoundKey "SystemDefault"
  !insertmacro EnsureSoundKey "SystemExclamation"
  !insertmacro EnsureSoundKey "SystemExit"
  !insertmacro EnsureSoundKey "SystemHand"
  !insertmacro EnsureSoundKey "SystemQuestion"
  !insertmacro EnsureSoundKey "SystemStart"
  !insertmacro EnsureSoundKey "MailBeep"

  ; The Start menu entry is every user's.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Desktop Quennel"
  CreateShortcut "$SMPROGRAMS\Desktop Quennel\Desktop Quennel.lnk" "$INSTDIR\DesktopQuennel.exe"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Desktop Quennel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\DesktopQuennel.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Desktop Quennel"
  ; The size that the list of installed programs shows, in KB: the program's
  ; folder (with the uninstaller just written) and the art in the Windows folder.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  ${GetSize} "$WINDIR\ZORVA" "/S=0K" $3 $1 $2
  IntOp $0 $0 + $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The uninstaller in two stages. The first runs with the rights of the user
; who started it: it asks whether to put back that user's settings from before
; the first install (silently, /S, it does so when given /REVERT), runs the
; program's "/r" for that user, reads its exit code and says when the settings
; did not come back. Then it starts the uninstaller in the program's folder
; again, with an administrator's rights and /REVERTED=, for the second stage:
; the removal of the files. That second stage copies itself, as every NSIS
; uninstaller does, into a folder that only administrators may change (NSIS
; 3.09 on, and Debian's 3.08-3+deb12u1), and removes the program's folder from
; there.
;
; The first stage's exit code, for a caller that runs it in place ("_?="):
; 0 when the settings came back or none were asked for; 100 and the program's
; code when they did not (102: this user has no backup); 2 when the second
; stage could not be started.
Function un.onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REVERTED=" $R1
  ${IfNot} ${Errors}
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "Desktop Quennel was not removed: that needs an administrator's rights." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Return
  ${EndIf}

  StrCpy $R2 ""
  ClearErrors
  ${GetOptions} $R0 "/REVERT" $R1
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION "Put back the desktop settings from before Desktop Quennel was first installed?" /SD IDNO IDNO removal
  ${EndIf}
  ClearErrors
  ExecWait '"$INSTDIR\DesktopQuennel.exe" /r' $R2
  ${If} ${Errors}
    StrCpy $R2 "not started"
  ${EndIf}
  Call un.TellRevert

removal:
  StrCpy $2 "$INSTDIR\Uninstall.exe"
  StrCpy $3 "/REVERTED=$R2"
  ${If} ${Silent}
    StrCpy $3 "/S $3"
  ${EndIf}
  Call un.RunAsAdministrator
  ${If} $0 == "cancelled"
  ${OrIf} $0 == "error"
    MessageBox MB_OK|MB_ICONSTOP "Desktop Quennel was not removed: that needs an administrator's rights." /SD IDOK
    SetErrorLevel 2
  ${ElseIf} $R2 == ""
  ${OrIf} $R2 == 1
    SetErrorLevel 0
  ${ElseIf} $R2 == "not started"
    SetErrorLevel 199
  ${Else}
    IntOp $0 $R2 + 100
    SetErrorLevel $0
  ${EndIf}
  Quit
FunctionEnd

; Says what the revert did when it did not put the settings back ($R2, the
; program's exit code). A silent uninstall shows nothing; its exit code says it.
Function un.TellRevert
  StrCpy $0 ""
  ${Select} $R2
    ${Case} 1
      Return
    ${Case} 2
      StrCpy $0 "There was nothing to put back for you: Desktop Quennel has no backup of your own settings. Your settings stay as they are."
    ${Case} 3
      StrCpy $0 "Your settings were not put back: a folder for Desktop Quennel's files cannot be used. Nothing was changed."
    ${Case} 6
      StrCpy $0 "Your settings were put back, but for some values, which stay as they are now. Desktop Quennel's log names them:$\r$\n  $LOCALAPPDATA\Desktop Quennel\assertFile.txt"
    ${Case} 7
      StrCpy $0 "Your settings were not put back: another copy of Desktop Quennel is running. Nothing was changed."
    ${Case} 8
      StrCpy $0 "Your settings were not put back: their backup is damaged. Nothing was changed."
    ${Case} 255
      StrCpy $0 "Your settings were not put back: Desktop Quennel stopped at a failed check. Its log says where:$\r$\n  $LOCALAPPDATA\Desktop Quennel\assertFile.txt"
    ${CaseElse}
      StrCpy $0 "Your settings were not put back: Desktop Quennel could not put them back ($R2)."
  ${EndSelect}
  MessageBox MB_OK|MB_ICONEXCLAMATION "$0" /SD IDOK
FunctionEnd

Section "Uninstall"
  ; The first stage has put the user's settings back, or was not asked to
  ; (un.onInit): this stage only removes what was installed. Each user's
  ; backup of the settings, in that user's own folder, stays for a later
  ; install's Revert. Every user's day-and-night task goes with the program
  ; it runs: this stage is an administrator's, who may end them all.
  nsExec::ExecToLog '"$INSTDIR\DesktopQuennel.exe" /schedule off all'
  Pop $0
  Delete "$INSTDIR\DesktopQuennel.exe"
  Delete "$INSTDIR\WALLART\PALALL9.TR"
  RMDir "$INSTDIR\WALLART"
  Delete "$INSTDIR\Themes\Zorva The Vandrel BLACK.theme"
  Delete "$INSTDIR\Themes\Zorva The Vandrel RED.theme"
  Delete "$INSTDIR\Themes\Zorva The Vandrel WHITE.theme"
  Delete "$INSTDIR\Themes\Zorva The Vandrel BLUE.theme"
  Delete "$INSTDIR\Themes\Zorva The Vandrel GREEN.theme"
  RMDir /r "$INSTDIR\Themes\Zorva"
  RMDir "$INSTDIR\Themes"
  Delete "$WINDIR\ZORVA\BLACK.ART"
  Delete "$WINDIR\ZORVA\RED.ART"
  Delete "$WINDIR\ZORVA\WHITE.ART"
  Delete "$WINDIR\ZORVA\BLUE.ART"
  Delete "$WINDIR\ZORVA\GREEN.ART"
  Delete "$WINDIR\ZORVA\BLACK.tr"
  Delete "$WINDIR\ZORVA\RED.tr"
  Delete "$WINDIR\ZORVA\WHITE.tr"
  Delete "$WINDIR\ZORVA\BLUE.tr"
  Delete "$WINDIR\ZORVA\GREEN.tr"
  RMDir "$WINDIR\ZORVA"
  DeleteINIStr "$WINDIR\control.ini" "Zorva" "switcher"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Desktop Quennel\Desktop Quennel.lnk"
  RMDir "$SMPROGRAMS\Desktop Quennel"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; The uninstaller that started this stage may still be ending: a few tries,
  ; for at most ten seconds.
  StrCpy $0 0
  ${Do}
    Delete "$INSTDIR\Uninstall.exe"
    ${IfNot} ${FileExists} "$INSTDIR\Uninstall.exe"
    ${OrIf} $0 >= 100
      ${ExitDo}
    ${EndIf}
    Sleep 100
    IntOp $0 $0 + 1
  ${Loop}
  RMDir "$INSTDIR"
SectionEnd
