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

Unicode true
SetCompressor /SOLID lzma
Name "Desktop Quennel"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Desktop Quennel"
RequestExecutionLevel admin
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
; path does not read back whole, the file is made UTF-16, its lines as they
; were, and the path written again.
Function WriteThemeFolder
  WriteINIStr "$WINDIR\control.ini" "Zorva" "switcher" "$INSTDIR\Themes"
  ReadINIStr $0 "$WINDIR\control.ini" "Zorva" "switcher"
  ${If} $0 == "$INSTDIR\Themes"
    Return
  ${EndIf}
  FileOpen $1 "$WINDIR\control.ini" r
  FileOpen $2 "$WINDIR\control.ini.new" w
  FileWriteWord $2 0xFEFF
  ${Do}
    ClearErrors
    FileRead $1 $3
    ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
    FileWriteUTF16LE $2 $3
  ${Loop}
  FileClose $1
  FileClose $2
  Delete "$WINDIR\control.ini"
  Rename "$WINDIR\control.ini.new" "$WINDIR\control.ini"
  WriteINIStr "$WINDIR\control.ini" "Zorva" "switcher" "$INSTDIR\Themes"
FunctionEnd

!macro EnsureSoundKey EVENT
  !insertmacro EnsureKey ${HKCU} "AppEvents\Schemes\Apps\.Default\${EVENT}\.Current"
!macroend

Section "Desktop Quennel"
  !insertmacro CheckFolderLength
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

  SetOutPath "$WINDIR\ZORVA"
  File "${CONTENT}/ZORVA/*.ART"
  File "${CONTENT}/ZORVA/*.tr"

  ; The program finds its theme folder here.
  Call WriteThemeFolder

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

Section "Uninstall"
  ; The backup from before the first install is the user's to put back: the
  ; uninstaller asks, or, when silent (/S), does it when given /REVERT. The
  ; program reverts the account that runs it, from that user's own backup, and
  ; changes nothing for a user who has none.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/REVERT" $R1
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION "Put back the desktop settings from before Desktop Quennel was first installed?" /SD IDNO IDNO keep
  ${EndIf}
    ExecWait '"$INSTDIR\DesktopQuennel.exe" /r'
  keep:

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
  Delete "$INSTDIR\Uninstall.exe"
  ; Each user's backup of the settings, in that user's own folder, stays for a
  ; later install's Revert.
  RMDir "$INSTDIR"
SectionEnd
