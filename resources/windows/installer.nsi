; The Windows installer of the QORN-V viewer, built by scripts/build-windows with
;   makensis -DVERSION=… -DSTAGE=… -DFILES=… -DUNFILES=… -DOUTFILE=… installer.nsi
; STAGE is the installed release folder; FILES and UNFILES list its files for
; installing and, one by one, for removing, so that uninstalling removes exactly
; what was installed and nothing a user put beside it.
;
; It installs for the current user (no administrator rights) or for all users,
; chosen on a page or with /CURRENTUSER or /ALLUSERS; /S installs silently and
; /D=FOLDER (the last option) installs into FOLDER in either mode.

; A 64-bit installer, for the 64-bit programs it installs: it writes the
; registry's and Program Files' 64-bit views without redirection.
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!define APPNAME "QORN-V Sequenzbetrachter"
!define COMPANY "QORN-V"
!define PROGID "QORNV.Sequenz"
!define UNINSTALLKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QORN-V Sequenzbetrachter"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "QORN-V Sequenzbetrachter"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINSTALLKEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallMode"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALLKEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_FUNCTION KeepGivenFolder
!include MultiUser.nsh
!include MUI2.nsh

Name "${APPNAME} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${APPNAME} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1031 "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=1031 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=1031 "FileDescription" "Installation: ${APPNAME}"
VIAddVersionKey /LANG=1031 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1031 "LegalCopyright" "Alle Rechte vorbehalten"

!define MUI_ICON "${STAGE}\qornv-viewer.ico"
!define MUI_UNICON "${STAGE}\qornv-viewer.ico"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_FUNCTION StartViewer
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "German"

; The folder /D= gave, empty without one.
Var GivenFolder

; Each install mode, at the start and again when it is chosen on its page, sets
; its own default folder over the one given; the given one wins.
Function KeepGivenFolder
    StrCmp $GivenFolder "" +2
        StrCpy $INSTDIR $GivenFolder
FunctionEnd

Function .onInit
    ; There is no InstallDir, so only /D= has set $INSTDIR by now.
    StrCpy $GivenFolder $INSTDIR
    !insertmacro MULTIUSER_INIT
FunctionEnd

; The viewer starts where a user keeps files, as the Start-menu entry starts
; it, not in the folder the installer wrote last.
Function StartViewer
    SetShellVarContext current
    StrCpy $OUTDIR "$DOCUMENTS"
    Exec '"$INSTDIR\qornv-viewer.exe"'
FunctionEnd

Function un.onInit
    !insertmacro MULTIUSER_UNINIT
FunctionEnd

; Explorer reads associations and icons once; this tells it they changed.
!macro RefreshShell
    System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
!macroend

Section "Install"
    SetShellVarContext current
    StrCmp $MultiUser.InstallMode "AllUsers" 0 +2
        SetShellVarContext all
    !include "${FILES}"
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; The entry's working folder (the current output folder) is where the open
    ; dialog starts and relative names are read: the user's documents. For
    ; all users it is each one's own profile, which Windows expands as it
    ; starts the entry; their documents may be moved (OneDrive), and a working
    ; folder that does not exist would keep the viewer from starting.
    StrCpy $OUTDIR "$DOCUMENTS"
    StrCmp $MultiUser.InstallMode "AllUsers" 0 +2
        StrCpy $OUTDIR "%USERPROFILE%"
    CreateShortcut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\qornv-viewer.exe" "" \
        "$INSTDIR\qornv-viewer.exe" 0

    ; SHCTX is HKCU or HKLM, as the install mode says.
    WriteRegStr SHCTX "Software\Classes\.kzt" "" "${PROGID}"
    WriteRegStr SHCTX "Software\Classes\.kzt" "Content Type" "application/x-qornv-sequence"
    WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "Vael-Kardimex-Sequenz"
    WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\qornv-viewer.exe",0'
    WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" \
        '"$INSTDIR\qornv-viewer.exe" "%1"'

    WriteRegStr SHCTX "${UNINSTALLKEY}" "DisplayName" "${APPNAME}"
    WriteRegStr SHCTX "${UNINSTALLKEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALLKEY}" "Publisher" "${COMPANY}"
    WriteRegStr SHCTX "${UNINSTALLKEY}" "DisplayIcon" '"$INSTDIR\qornv-viewer.exe",0'
    WriteRegStr SHCTX "${UNINSTALLKEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALLKEY}" "InstallMode" "$MultiUser.InstallMode"
    WriteRegStr SHCTX "${UNINSTALLKEY}" "UninstallString" \
        '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode'
    WriteRegStr SHCTX "${UNINSTALLKEY}" "QuietUninstallString" \
        '"$INSTDIR\Uninstall.exe" /$MultiUser.InstallMode /S'
    WriteRegDWORD SHCTX "${UNINSTALLKEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALLKEY}" "NoRepair" 1
    WriteRegDWORD SHCTX "${UNINSTALLKEY}" "EstimatedSize" ${SIZEKB}
    !insertmacro RefreshShell
SectionEnd

Section "Uninstall"
    SetShellVarContext current
    StrCmp $MultiUser.InstallMode "AllUsers" 0 +2
        SetShellVarContext all
    Delete "$SMPROGRAMS\${APPNAME}.lnk"
    ; The association is removed only while it is still this program's.
    ReadRegStr $0 SHCTX "Software\Classes\.kzt" ""
    StrCmp $0 "${PROGID}" 0 +2
        DeleteRegKey SHCTX "Software\Classes\.kzt"
    DeleteRegKey SHCTX "Software\Classes\${PROGID}"
    DeleteRegKey SHCTX "${UNINSTALLKEY}"
    !include "${UNFILES}"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    !insertmacro RefreshShell
SectionEnd
