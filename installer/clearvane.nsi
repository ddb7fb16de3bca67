; Clearvane's own installer: the program, its help file, a Start menu
; shortcut and the uninstall entry, with an uninstaller that takes them all
; away again. Built by the "clearvane_installer" target of the win build:
;   makensis -DEXE=clearvane.exe -DCHM=uninstaller.chm -DOUTFILE=clearvane-setup.exe clearvane.nsi
Unicode true
Target amd64-unicode

!define PRODUCT "Clearvane"
!ifndef VERSION
  !error "VERSION is given by the build (resources/Version.h)"
!endif
!define PUBLISHER "Clearvane"
!define KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Clearvane"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File "/oname=clearvane.exe" "${EXE}"
  File "/oname=uninstaller.chm" "${CHM}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\clearvane.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk" "$INSTDIR\uninstaller.chm"
  WriteRegStr HKLM "${KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${KEY}" "DisplayIcon" "$INSTDIR\clearvane.exe,0"
  WriteRegStr HKLM "${KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${KEY}" "URLInfoAbout" "https://clearvane.example/"
  WriteRegStr HKLM "${KEY}" "HelpLink" "https://clearvane.example/help"
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\clearvane.exe"
  Delete "$INSTDIR\uninstaller.chm"
  Delete "$INSTDIR\qxuninstaller.ini"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Help.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${KEY}"
SectionEnd
