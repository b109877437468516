; The installer of Desktop Quennel: the program beside its palette, the theme
; folder with the five theme files, their icons, cursors, sounds and the screen
; saver, and the art and palettes in the Windows folder's "ZORVA".
;
; makensis -DPROGRAM=... -DSAVER=... -DCONTENT=... -DOUTFILE=... quennel.nsi
;   PROGRAM  DesktopQuennel.exe        SAVER  ZORVA.SCR
;   CONTENT  the generated content folder (theme files, Zorva\, ZORVA\, WALLART\)
;   VERSION  the program's version, "1.1.0", and its parts VERSION_MAJOR,
;            VERSION_MINOR and VERSION_PATCH

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
!define HKCR 0x80000000
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

!macro EnsureSoundKey EVENT
  !insertmacro EnsureKey ${HKCU} "AppEvents\Schemes\Apps\.Default\${EVENT}\.Current"
!macroend

Section "Desktop Quennel"
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
  WriteINIStr "$WINDIR\control.ini" "Zorva" "switcher" "$INSTDIR\Themes"

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
  !insertmacro EnsureKey ${HKCR} "CLSID\{20D04FE0-3AEA-1069-A2D8-08002B30309D}\DefaultIcon"
  !insertmacro EnsureKey ${HKCR} "CLSID\{208D2C60-3AEA-1069-A2D7-08002B30309D}\DefaultIcon"
  !insertmacro EnsureKey ${HKCR} "CLSID\{645FF040-5081-101B-9F08-00AA002F954E}\DefaultIcon"

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
  ; The backup from before the first install is the program's to put back: the
  ; uninstaller asks, or, when silent (/S), does it when given /REVERT.
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
  Delete "$SMPROGRAMS\Desktop Quennel\Desktop Quennel.lnk"
  RMDir "$SMPROGRAMS\Desktop Quennel"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  ; The program's own backup of the settings stays for a later install's Revert,
  ; and with it the folder.
  RMDir "$INSTDIR"
SectionEnd
