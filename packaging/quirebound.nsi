; The Windows installer: the editor, the command-line import, the help page
; and the sample publication, for the current user alone (no administrator;
; with one, the .opf association is also made machine-wide).
; Built by the Windows tree with makensis, which defines VERSION, PROGRAM,
; IMPORT, SOURCE and OUTFILE.

Unicode true
; The programs are 64-bit; so is the installer, which then runs wherever they do.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"

!define PRODUCT "Quirebound Publisher"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuireboundPublisher"
!define CLASSES "Software\Classes"
!define PROGID "Quirebound.Package"

; The .opf association under one registry root.
!macro Associate ROOT
  WriteRegStr ${ROOT} "${CLASSES}\.opf" "" "${PROGID}"
  WriteRegStr ${ROOT} "${CLASSES}\${PROGID}" "" "Open eBook package"
  WriteRegStr ${ROOT} "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\quirebound.exe,0"
  WriteRegStr ${ROOT} "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\quirebound.exe" "%1"'
!macroend

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
ShowInstDetails show
ShowUninstDetails show

!define MUI_ICON "${SOURCE}/resources/images/quirebound.ico"
!define MUI_UNICON "${SOURCE}/resources/images/quirebound.ico"
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!define MUI_FINISHPAGE_RUN_FUNCTION StartEditor
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} setup"
VIAddVersionKey "LegalCopyright" "The Quirebound project"

Section "Install"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "/oname=quirebound.exe" "${PROGRAM}"
  File "/oname=quirebound-import.exe" "${IMPORT}"
  ; The editor opens help\index.htm from its working folder.
  SetOutPath "$INSTDIR\help"
  File /r "${SOURCE}/help/*"
  SetOutPath "$INSTDIR\samples"
  File /r "${SOURCE}/samples/lantern"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; A shortcut's working folder is the output path when it is made.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\quirebound.exe" "" "$INSTDIR\quirebound.exe" 0

  ; A package opened from the desktop starts the editor with it. Not every
  ; system merges the user's classes into the machine's (Wine does not), so
  ; with administrator rights (always under Wine) the machine gets them too.
  !insertmacro Associate HKCU
  UserInfo::GetAccountType
  Pop $0
  StrCmp $0 "Admin" 0 user_only
    !insertmacro Associate HKLM
  user_only:
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Quirebound project"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\quirebound.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function StartEditor
  ; Started from its own folder, as the Start-menu entry does, so that Help finds its page.
  SetOutPath "$INSTDIR"
  Exec '"$INSTDIR\quirebound.exe"'
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  ; The association goes only while it is still ours.
  ReadRegStr $0 HKCU "${CLASSES}\.opf" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegKey HKCU "${CLASSES}\.opf"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  ; The machine's only while it opens this install's editor: another user's
  ; install may have made it.
  ReadRegStr $1 HKLM "${CLASSES}\${PROGID}\shell\open\command" ""
  StrCmp $1 '"$INSTDIR\quirebound.exe" "%1"' 0 machine_done
    ReadRegStr $0 HKLM "${CLASSES}\.opf" ""
    StrCmp $0 "${PROGID}" 0 +2
      DeleteRegKey HKLM "${CLASSES}\.opf"
    DeleteRegKey HKLM "${CLASSES}\${PROGID}"
  machine_done:
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  ; The editor's settings (its tool paths and last folder).
  DeleteRegKey HKCU "Software\Quirebound\Publisher"
  DeleteRegKey /ifempty HKCU "Software\Quirebound"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"

  Delete "$INSTDIR\quirebound.exe"
  Delete "$INSTDIR\quirebound-import.exe"
  Delete "$INSTDIR\uninstall.exe"
  RMDir /r "$INSTDIR\help"
  RMDir /r "$INSTDIR\samples"
  ; Not /r: a folder the user chose may hold files of others.
  RMDir "$INSTDIR"
SectionEnd
