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

!define PRODUCT "Veldana"
!define PUBLISHER "Veldana"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Veldana"
!define UNINSTALLER "Uninstall.exe"
; Programs started at the user's sign-in; no administrator rights needed.
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

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

LangString VeldWelcome ${LANG_GERMAN} "Veldana macht eines der Tollrand-Hintergrundbilder zu Ihrem Desktop-Hintergrund.$\r$\n$\r$\nVeldana wird nur für Sie installiert, in einen Ordner, in den Sie schreiben dürfen. Administratorrechte sind nicht nötig.$\r$\n$\r$\n$_CLICK"
LangString VeldWelcome ${LANG_ENGLISH} "Veldana makes one of the Tollrand wallpapers your desktop wallpaper.$\r$\n$\r$\nVeldana is installed for you alone, into a folder you can write to. No administrator rights are needed.$\r$\n$\r$\n$_CLICK"
LangString VeldRunning ${LANG_GERMAN} "Veldana läuft noch.$\r$\n$\r$\nBitte beenden Sie Veldana und klicken Sie dann auf „Wiederholen“."
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
  ExecWait '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
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

; 1 on the stack when the command line on the stack starts a program inside $INSTDIR,
; quoted or not, else 0. (== compares without regard to case, as paths are.)
Function un.IsInInstallFolder
  Exch $0
  Push $1
  Push $2
  StrCpy $1 $0 1
  ${If} $1 == '"'
    StrCpy $0 $0 "" 1
  ${EndIf}
  StrLen $1 "$INSTDIR\"
  StrCpy $2 $0 $1
  ${If} $2 == "$INSTDIR\"
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Pop $2
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
  ; The shortcut and the entry in the list of programs belong to the installation the
  ; entry names; another copy installed elsewhere keeps them.
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
  ${OrIf} $0 == ""
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKCU "${UNINST_KEY}"
  ${EndIf}

  ; The sign-in entry goes only when it starts this installation's program.
  ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
  Push $0
  Call un.IsInInstallFolder
  Pop $0
  ${If} $0 == 1
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
  ${EndIf}

  !insertmacro VELD_REMOVE_FILES
  ; The program's own state: its settings, the converted wallpaper and the sign-in log.
  !insertmacro VELD_EACH_STATE_FILE VELD_DELETE

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
