; Veldana setup: a per-user installation that needs no administrator rights.
;
; Build (scripts/make-dist.sh does this after laying out dist/Veldana):
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 [-DDIST=/abs/dist/Veldana] [-DOUTFILE=/abs/setup.exe] Veldana.nsi
;
; Veldana writes veld.ini, tmp_wallpaper.bmp, veldstart.log and the wallpapers a user
; adds beside itself, so it goes to a folder the user owns
; (%LOCALAPPDATA%\Programs\Veldana), not to Program Files. The installer copies exactly
; the files of the program folder, named one by one in an include made at build time by
; list-files.sh, and has VeldanaStart.exe run at the user's sign-in; the uninstaller
; deletes exactly those names again, plus the program's own veld.ini, tmp_wallpaper.bmp
; and veldstart.log, and removes folders only when they are empty. Wallpapers the user
; added stay unless the user says otherwise in the uninstaller's question, which silent
; uninstalls never ask.

; Veldana.exe is a 64-bit program, so the installer is one too (it then also runs
; under a Wine without 32-bit support).
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestSupportedOS all

!ifndef VERSION
  !error "Give the version: makensis -DVERSION=x.y.z (scripts/make-dist.sh reads it from CMakeLists.txt)"
!endif
; makensis works in this script's folder, so relative paths start here.
!ifndef DIST
  !define DIST "../dist/Veldana"
!endif
!ifndef OUTFILE
  !define OUTFILE "../dist/Veldana-${VERSION}-setup.exe"
!endif
; -DSIGN="command" signs the uninstaller and the setup program once each is written
; (the command gets the file's path); scripts/make-dist.sh passes it only when it was
; given a certificate.
!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif

!define PRODUCT "Veldana"
!define PUBLISHER "Veldana"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Veldana"
!define UNINSTALLER "Uninstall.exe"
; Programs started at the user's sign-in; no administrator rights needed.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Where Windows notes that the user switched a sign-in entry off (Settings > Apps >
; Startup, Task Manager): a binary value of the same name. Only Windows writes it.
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
; What the uninstaller is told when a new version is put in its place.
!define UPGRADE_SWITCH "/UPGRADE"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; A new version goes where the last one went.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails hide
ShowUninstDetails hide

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "© ${PUBLISHER}"

; Every file and folder of the program folder, listed afresh at each build.
!tempfile VELD_FILES
!system 'bash ./list-files.sh "${DIST}" "${VELD_FILES}"' = 0
!include /CHARSET=UTF8 "${VELD_FILES}"
!delfile "${VELD_FILES}"
!undef VELD_FILES

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "../assets/icon.ico"
!define MUI_UNICON "../assets/icon.ico"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "$(VeldWelcome)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Veldana.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The program speaks German: German first, so it is also the choice for any system
; language that is neither.
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "English"

LangString VeldWelcome ${LANG_GERMAN} "Veldana macht eines der Tollrand-Hintergrundbilder zu deinem Desktop-Hintergrund.$\r$\n$\r$\nVeldana wird nur für dich installiert, in einen Ordner, in den du schreiben darfst. Administratorrechte sind nicht nötig.$\r$\n$\r$\nKlicke auf „Weiter“, um fortzufahren."
LangString VeldWelcome ${LANG_ENGLISH} "Veldana makes one of the Tollrand wallpapers your desktop wallpaper.$\r$\n$\r$\nVeldana is installed for you alone, into a folder you can write to. No administrator rights are needed.$\r$\n$\r$\n$_CLICK"
LangString VeldRunning ${LANG_GERMAN} "Veldana läuft noch.$\r$\n$\r$\nBeende Veldana und klicke dann auf „Wiederholen“."
LangString VeldRunning ${LANG_ENGLISH} "Veldana is still running.$\r$\n$\r$\nPlease close Veldana, then click Retry."
; Broken by hand into short lines. Wine makes a message box a few pixels narrower than
; its longest line and cuts that line's end off; two spaces at its end are what is cut.
LangString VeldKeepOwn ${LANG_GERMAN} "In den Hintergrundbild-Ordnern liegen noch Dateien,  $\r$\ndie nicht mit Veldana installiert wurden,$\r$\nzum Beispiel selbst hinzugefügte Bilder.$\r$\n$\r$\nSollen diese Dateien ebenfalls gelöscht werden?"
LangString VeldKeepOwn ${LANG_ENGLISH} "The wallpaper folders still hold files$\r$\nthat were not installed with Veldana,  $\r$\nsuch as wallpapers you added.$\r$\n$\r$\nDelete these files too?"

; The program's own state, which it writes beside itself.
!macro VELD_EACH_STATE_FILE MACRO
  !insertmacro ${MACRO} "veld.ini"
  !insertmacro ${MACRO} "tmp_wallpaper.bmp"
  !insertmacro ${MACRO} "veldstart.log"
!macroend
; A copy put aside by a setup that was stopped half-way is taken back, not deleted.
!macro VELD_PUT_ASIDE NAME
  ${If} ${FileExists} "$INSTDIR\${NAME}"
    Delete "$INSTDIR\${NAME}.keep"
    Rename "$INSTDIR\${NAME}" "$INSTDIR\${NAME}.keep"
  ${EndIf}
!macroend
!macro VELD_DELETE NAME
  Delete "$INSTDIR\${NAME}"
!macroend
!macro VELD_TAKE_BACK NAME
  Rename "$INSTDIR\${NAME}.keep" "$INSTDIR\${NAME}"
!macroend

Var VeldOwnFiles
Var VeldUpgrade
Var VeldSignIn

; A running program's file cannot be opened for writing on Windows; asks until it is
; closed. Leaves 1 on the stack when it is (or was never there), 0 when the user gave up.
!macro VELD_WAIT_UNTIL_CLOSED UN
Function ${UN}WaitUntilClosed
  Push $0
  Push $1
  StrCpy $1 1
  ${If} ${FileExists} "$INSTDIR\Veldana.exe"
    ${Do}
      ClearErrors
      FileOpen $0 "$INSTDIR\Veldana.exe" a
      ${IfNot} ${Errors}
        FileClose $0
        ${Break}
      ${EndIf}
      ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(VeldRunning)" /SD IDCANCEL IDRETRY`
        StrCpy $1 0
        ${Break}
      ${EndIf}
    ${Loop}
  ${EndIf}
  Exch $1
  Exch
  Pop $0
FunctionEnd
!macroend
!insertmacro VELD_WAIT_UNTIL_CLOSED ""
!insertmacro VELD_WAIT_UNTIL_CLOSED "un."

Function .onInit
  SetShellVarContext current
FunctionEnd

; An installation in the same folder is taken away by its own uninstaller, which knows
; what that version shipped, so no file the new version no longer ships stays behind to be
; taken for the user's. What is the user's stays: the uninstaller keeps the wallpapers
; the user added when it runs silently, and the program's state is put aside while it
; runs and the sign-in entry noted (it removes both).
Function RemovePreviousVersion
  StrCpy $VeldUpgrade 0
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ${If} $0 != $INSTDIR
  ${OrIfNot} ${FileExists} "$INSTDIR\${UNINSTALLER}"
    Return
  ${EndIf}
  StrCpy $VeldUpgrade 1
  ReadRegStr $VeldSignIn HKCU "${RUN_KEY}" "${PRODUCT}"
  !insertmacro VELD_EACH_STATE_FILE VELD_PUT_ASIDE
  ; _? runs it in place, so ExecWait waits for it.
  ExecWait '"$INSTDIR\${UNINSTALLER}" /S ${UPGRADE_SWITCH} _?=$INSTDIR'
  !insertmacro VELD_EACH_STATE_FILE VELD_TAKE_BACK
FunctionEnd

Section "Veldana" SecProgram
  SectionIn RO
  Call WaitUntilClosed
  Pop $0
  ${If} $0 == 0
    Abort "$(VeldRunning)"
  ${EndIf}

  Call RemovePreviousVersion
  !insertmacro VELD_INSTALL_FILES
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ; The shortcut starts in the program folder (the current output path).
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Veldana.exe" "" "$INSTDIR\Veldana.exe" 0

  ; An upgrade leaves the sign-in entry as the user left it, also when it was removed.
  ${If} $VeldUpgrade != 1
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\VeldanaStart.exe"'
  ${ElseIf} $VeldSignIn != ""
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" $VeldSignIn
  ${EndIf}

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Veldana.exe"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize ${SecProgram} $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; Counts the files (not folders) left in the wallpaper folder on the stack.
Function un.CountOwnFiles
  Exch $0
  Push $1
  Push $2
  FindFirst $1 $2 "$0\*.*"
  ${DoWhile} $2 != ""
    ${If} $2 != "."
    ${AndIf} $2 != ".."
    ${AndIfNot} ${FileExists} "$0\$2\*.*"
      IntOp $VeldOwnFiles $VeldOwnFiles + 1
    ${EndIf}
    FindNext $1 $2
  ${Loop}
  FindClose $1
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

; Deletes the files (not folders) left in the wallpaper folder on the stack.
Function un.DeleteOwnFiles
  Exch $0
  Delete "$0\*.*"
  Pop $0
FunctionEnd

Var VeldInstallFolder

; The folder on the stack by its volume's serial number and file index, which are the
; same whichever spelling reaches it (the 8.3 short form, another drive letter, a link).
; A folder that cannot be opened is known by its spelling.
Function un.FolderIdentity
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  ; A folder opens only with FILE_FLAG_BACKUP_SEMANTICS; no access is needed for its facts.
  System::Call 'kernel32::CreateFileW(w r0, i 0, i 7, p 0, i 3, i 0x02000000, p 0) p .r1'
  ${If} $1 != -1
    ; BY_HANDLE_FILE_INFORMATION, 13 DWORDs: serial at 7, index high and low at 11 and 12.
    System::Call '*(&i52) p .r2'
    System::Call 'kernel32::GetFileInformationByHandle(p r1, p r2) i .r3'
    ${If} $3 != 0
      System::Call '*$2(i, i, i, i, i, i, i, i .r3, i, i, i, i .r4, i .r5)'
      StrCpy $0 "$3:$4:$5"
    ${EndIf}
    System::Free $2
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $5
  Pop $4
  Pop $3
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; 1 on the stack when the path or command line on the stack names something inside
; $INSTDIR, in whichever spelling, quoted or not, else 0.
Function un.IsInInstallFolder
  Exch $0
  Push $1
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
  ${EndIf}
  ${Do}
    ; Leaves the folder the last part is in; 0 when there is nothing left to take off.
    System::Call 'shlwapi::PathRemoveFileSpecW(w r0 r0) i .r1'
    ${If} $1 == 0
      StrCpy $0 0
      ${Break}
    ${EndIf}
    Push $0
    Call un.FolderIdentity
    Pop $1
    ${If} $1 == $VeldInstallFolder
      StrCpy $0 1
      ${Break}
    ${EndIf}
  ${Loop}
  Pop $1
  Exch $0
FunctionEnd

Function un.onInit
  SetShellVarContext current
  Call un.WaitUntilClosed
  Pop $0
  ${If} $0 == 0
    Abort
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Push $INSTDIR
  Call un.FolderIdentity
  Pop $VeldInstallFolder
  ; Setup, replacing this version by a new one, keeps the user's wallpaper and whether
  ; the sign-in entry was switched off in Windows.
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "${UPGRADE_SWITCH}" $1
  ${If} ${Errors}
    StrCpy $VeldUpgrade 0
  ${Else}
    StrCpy $VeldUpgrade 1
  ${EndIf}

  ; The shortcut and the entry in the list of programs belong to the installation the
  ; entry names; another copy installed elsewhere keeps them.
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  Push $0
  Call un.FolderIdentity
  Pop $1
  ${If} $1 == $VeldInstallFolder
  ${OrIf} $0 == ""
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKCU "${UNINST_KEY}"
  ${EndIf}

  ; The sign-in entry goes only when it starts this installation's program; Windows'
  ; note that it was switched off goes with it, or alone when the entry is gone.
  ClearErrors
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  ${If} ${Errors}
    StrCpy $0 1
  ${Else}
    Push $0
    Call un.IsInInstallFolder
    Pop $0
    ${If} $0 == 1
      DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    ${EndIf}
  ${EndIf}
  ${If} $0 == 1
  ${AndIf} $VeldUpgrade == 0
    DeleteRegValue HKCU "${APPROVED_KEY}" "${PRODUCT}"
  ${EndIf}

  ; A desktop wallpaper in this folder would name a deleted file: it is cleared as
  ; Veldana's "No wallpaper" clears it, the value emptied first, then the wallpaper call
  ; with an empty file name (a null one brings back Windows' own picture), told to all.
  ReadRegStr $0 HKCU "Control Panel\Desktop" "Wallpaper"
  ${If} $0 != ""
  ${AndIf} $VeldUpgrade == 0
    Push $0
    Call un.IsInInstallFolder
    Pop $0
    ${If} $0 == 1
      WriteRegStr HKCU "Control Panel\Desktop" "Wallpaper" ""
      System::Call 'user32::SystemParametersInfoW(i 20, i 0, w "", i 2) i'
    ${EndIf}
  ${EndIf}

  !insertmacro VELD_REMOVE_FILES
  ; The program's own state: its settings, the converted wallpaper and the sign-in log,
  ; and what a conversion or a log write cut short left beside them.
  !insertmacro VELD_EACH_STATE_FILE VELD_DELETE
  Delete "$INSTDIR\tmp_wallpaper.bmp.new"
  Delete "$INSTDIR\veldstart.log.new"

  StrCpy $VeldOwnFiles 0
  !insertmacro VELD_EACH_WALLPAPER_FOLDER un.CountOwnFiles
  ${If} $VeldOwnFiles > 0
    ${If} ${Cmd} `MessageBox MB_YESNO|MB_DEFBUTTON2|MB_ICONQUESTION "$(VeldKeepOwn)" /SD IDNO IDYES`
      !insertmacro VELD_EACH_WALLPAPER_FOLDER un.DeleteOwnFiles
    ${EndIf}
  ${EndIf}

  !insertmacro VELD_REMOVE_FOLDERS
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
SectionEnd
