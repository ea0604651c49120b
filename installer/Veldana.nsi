; Veldana setup: a per-user installation that needs no administrator rights.
;
; Build (scripts/make-dist.sh does this after laying out dist/Veldana):
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 [-DDIST=/abs/dist/Veldana] [-DOUTFILE=/abs/setup.exe] Veldana.nsi
;
; Veldana writes veld.ini, tmp_wallpaper.bmp, veldstart.log and the wallpapers a user
; adds beside itself, so it goes to a folder the user owns
; (%LOCALAPPDATA%\Programs\Veldana), not to Program Files. The installer copies exactly
; the files of the program folder, named one by one in an include made at build time by
; list-files.sh, and, unless the user says otherwise on its page or with /NOSIGNIN, has
; VeldanaStart.exe run at the user's sign-in; the uninstaller deletes exactly those names
; again, plus the program's own veld.ini, tmp_wallpaper.bmp and veldstart.log, and
; removes folders only when they are empty. Wallpapers the user added stay unless the
; user says otherwise in the uninstaller's question, which silent uninstalls never ask.
; Nothing is written before the folder is known to take Veldana's files (CheckFolder),
; and nothing is registered before every file is there whole (CheckCopied): a setup
; that installed nothing ends with 2.

; Veldana.exe is a 64-bit program, so the installer is one too (it then also runs
; under a Wine without 32-bit support).
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestSupportedOS all
; Drawn sharp at any scale, not stretched by the system.
ManifestDPIAware true

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
; What leaves the sign-in entry out of a silent installation.
!define NO_SIGN_IN_SWITCH "/NOSIGNIN"
; Veldana reaches its files through the ANSI calls, which stop below MAX_PATH (260), and
; the longest name it puts in its folder is tmp_wallpaper.bmp.new (21): the folder's
; ANSI spelling, with its closing backslash, must stay shorter than this.
!define /math VELD_FOLDER_LIMIT 260 - 21

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
!include nsDialogs.nsh
!include WordFunc.nsh

!define MUI_ICON "../assets/icon.ico"
!define MUI_UNICON "../assets/icon.ico"
!define MUI_ABORTWARNING
; Veldana's own picture beside the welcome and finish pages; they show the one drawn for
; their scale (VELD_SCALED_PICTURE), unscaled. The setup's own files keep no time of
; their own (a clone's checkout time would make each build differ) until the program's
; files, which have the commit's.
SetDateSave off
!define MUI_WELCOMEFINISHPAGE_BITMAP "../assets/setup/welcome-164x314.bmp"
!define MUI_WELCOMEFINISHPAGE_BITMAP_STRETCH NoStretchNoCropNoAlign

; The welcome page's text, which says when it updates an installed Veldana.
Var VeldWelcome
!define MUI_PAGE_CUSTOMFUNCTION_PRE WelcomePagePre
!define MUI_PAGE_CUSTOMFUNCTION_SHOW WelcomePageShow
!define MUI_WELCOMEPAGE_TEXT "$VeldWelcome"
!insertmacro MUI_PAGE_WELCOME
Page custom SignInPage SignInPageLeave
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Veldana.exe"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The program speaks German: German first, so it is also the choice for any system
; language that is neither.
!insertmacro MUI_LANGUAGE "German"
!insertmacro MUI_LANGUAGE "English"

LangString VeldWelcome ${LANG_GERMAN} "Veldana macht eines der Tollrand-Hintergrundbilder zu deinem Desktop-Hintergrund.$\r$\n$\r$\nVeldana wird nur für dich installiert, in einen Ordner, in den du schreiben darfst. Administratorrechte sind nicht nötig.$\r$\n$\r$\nKlicke auf „Weiter“, um fortzufahren."
LangString VeldWelcome ${LANG_ENGLISH} "Veldana makes one of the Tollrand wallpapers your desktop wallpaper.$\r$\n$\r$\nVeldana is installed for you alone, into a folder you can write to. No administrator rights are needed.$\r$\n$\r$\n$_CLICK"
; On the welcome page when this or an older version is installed (Veldana and its folder).
LangString VeldWelcomeUpdate ${LANG_GERMAN} "Veldana $0 ist in $1 installiert. Dieses Setup aktualisiert es auf Version ${VERSION}.$\r$\n$\r$\nDeine Dateien bleiben: die Einstellungen, das gesetzte Hintergrundbild, das Protokoll und die Hintergrundbilder, die du hinzugefügt hast.$\r$\n$\r$\nKlicke auf „Weiter“, um fortzufahren."
LangString VeldWelcomeUpdate ${LANG_ENGLISH} "Veldana $0 is installed in $1. This setup updates it to version ${VERSION}.$\r$\n$\r$\nYour files stay: the settings, the wallpaper that is set, the log and the wallpapers you added.$\r$\n$\r$\n$_CLICK"
LangString VeldWelcomeAgain ${LANG_GERMAN} "Veldana ${VERSION} ist schon in $1 installiert. Dieses Setup installiert es dort noch einmal.$\r$\n$\r$\nDeine Dateien bleiben: die Einstellungen, das gesetzte Hintergrundbild, das Protokoll und die Hintergrundbilder, die du hinzugefügt hast.$\r$\n$\r$\nKlicke auf „Weiter“, um fortzufahren."
LangString VeldWelcomeAgain ${LANG_ENGLISH} "Veldana ${VERSION} is already installed in $1. This setup installs it there again.$\r$\n$\r$\nYour files stay: the settings, the wallpaper that is set, the log and the wallpapers you added.$\r$\n$\r$\n$_CLICK"
LangString VeldRunning ${LANG_GERMAN} "Veldana läuft noch.$\r$\n$\r$\nBeende Veldana und klicke dann auf „Wiederholen“."
LangString VeldRunning ${LANG_ENGLISH} "Veldana is still running.$\r$\n$\r$\nPlease close Veldana, then click Retry."
; The program's own words when it refuses its folder at its first start.
LangString VeldCannotBeSpelled ${LANG_GERMAN} "Der Name des Programmordners $INSTDIR enthält Zeichen außerhalb der Codepage dieses Systems, und der Ordner hat keinen kurzen Namen (8.3). Installiere Veldana in einen Ordner mit einem Namen aus einfachen Buchstaben."
LangString VeldCannotBeSpelled ${LANG_ENGLISH} "The name of the program folder $INSTDIR has characters outside this system's code page, and the folder has no short (8.3) name. Install Veldana into a folder whose name has plain letters only."
LangString VeldTooLong ${LANG_GERMAN} "Der Pfad des Programmordners $INSTDIR ist zu lang, auch in seiner kurzen Form (8.3). Installiere Veldana in einen Ordner mit kürzerem Pfad."
LangString VeldTooLong ${LANG_ENGLISH} "The path of the program folder $INSTDIR is too long, also in its short (8.3) form. Install Veldana into a folder with a shorter path."
LangString VeldNotAFolder ${LANG_GERMAN} "$INSTDIR ist kein Ordner: Eine Datei trägt diesen Namen, oder es ist kein vollständiger Pfad mit Laufwerk. Wähle einen anderen Ordner."
LangString VeldNotAFolder ${LANG_ENGLISH} "$INSTDIR is not a folder: a file has this name, or it is not a full path with a drive. Choose another folder."
LangString VeldCannotMake ${LANG_GERMAN} "Der Ordner $INSTDIR lässt sich nicht anlegen: $VeldReason$\r$\n$\r$\nWähle einen Ordner, in den du schreiben darfst."
LangString VeldCannotMake ${LANG_ENGLISH} "The folder $INSTDIR cannot be created: $VeldReason$\r$\n$\r$\nChoose a folder you can write to."
LangString VeldCannotWrite ${LANG_GERMAN} "In den Ordner $INSTDIR lässt sich nicht schreiben: $VeldReason$\r$\n$\r$\nWähle einen Ordner, in den du schreiben darfst."
LangString VeldCannotWrite ${LANG_ENGLISH} "The folder $INSTDIR cannot be written to: $VeldReason$\r$\n$\r$\nChoose a folder you can write to."
LangString VeldNotCopied ${LANG_GERMAN} "Veldana ließ sich nicht vollständig nach$\r$\n$INSTDIR kopieren. Ist das Laufwerk voll?$\r$\n$\r$\nVeldana wurde nicht installiert; was schon kopiert war,  $\r$\nist wieder entfernt. Deine eigenen Dateien sind noch da."
LangString VeldNotCopied ${LANG_ENGLISH} "Veldana could not be copied whole into$\r$\n$INSTDIR. Is the disk full?$\r$\n$\r$\nVeldana was not installed; what had been copied  $\r$\nis removed again. Your own files are still there."
LangString VeldSignInTitle ${LANG_GERMAN} "Bei der Anmeldung"
LangString VeldSignInTitle ${LANG_ENGLISH} "At sign-in"
LangString VeldSignInSubtitle ${LANG_GERMAN} "Soll Veldana bei jeder Anmeldung ein Hintergrundbild wählen?"
LangString VeldSignInSubtitle ${LANG_ENGLISH} "Should Veldana choose a wallpaper at every sign-in?"
LangString VeldSignInText ${LANG_GERMAN} "Veldana kann bei jeder Anmeldung an Windows das Programm VeldanaStart.exe starten. Es hat kein Fenster: Sind im Veldana-Fenster „Veldana aktivieren“ und „Hintergrundbild zufällig bei jedem Windows-Start auswählen“ angehakt, setzt es ein zufällig gewähltes Hintergrundbild als Desktop-Hintergrund, sonst ändert es nichts.$\r$\n$\r$\nIn Windows lässt es sich später unter Einstellungen > Apps > Autostart aus- und einschalten."
LangString VeldSignInText ${LANG_ENGLISH} "Veldana can start VeldanaStart.exe each time you sign in to Windows. It has no window: when “Veldana aktivieren” and “Hintergrundbild zufällig bei jedem Windows-Start auswählen” are ticked in Veldana's window, it makes a wallpaper chosen at random your desktop wallpaper; otherwise it changes nothing.$\r$\n$\r$\nWindows lets you switch it off and on later under Settings > Apps > Startup."
LangString VeldSignInBox ${LANG_GERMAN} "VeldanaStart.exe bei jeder &Anmeldung starten"
LangString VeldSignInBox ${LANG_ENGLISH} "Start VeldanaStart.exe at each &sign-in"
; Broken by hand into short lines. Wine makes a message box a few pixels narrower than
; its longest line and cuts that line's end off; two spaces at its end are what is cut.
LangString VeldKeepOwn ${LANG_GERMAN} "In den Hintergrundbild-Ordnern liegen noch Dateien,  $\r$\ndie nicht mit Veldana installiert wurden,$\r$\nzum Beispiel selbst hinzugefügte Bilder.$\r$\n$\r$\nSollen diese Dateien ebenfalls gelöscht werden?"
LangString VeldKeepOwn ${LANG_ENGLISH} "The wallpaper folders still hold files$\r$\nthat were not installed with Veldana,  $\r$\nsuch as wallpapers you added.$\r$\n$\r$\nDelete these files too?"
LangString VeldSettingWallpaper ${LANG_GERMAN} "Das Hintergrundbild wird gerade$\r$\nvon VeldanaStart.exe gesetzt.$\r$\n$\r$\nBitte versuche es gleich noch einmal  $\r$\nund klicke auf „Wiederholen“."
LangString VeldSettingWallpaper ${LANG_ENGLISH} "VeldanaStart.exe is setting$\r$\nthe wallpaper right now.$\r$\n$\r$\nPlease try again in a moment:  $\r$\nclick Retry."
LangString VeldOldStays ${LANG_GERMAN} "Die bisherige Version von Veldana$\r$\nließ sich nicht entfernen, weil sie lief  $\r$\noder gerade ein Hintergrundbild setzte.$\r$\nEs wurde nichts geändert.$\r$\n$\r$\nBitte versuche es gleich noch einmal."
LangString VeldOldStays ${LANG_ENGLISH} "The installed version of Veldana$\r$\ncould not be removed: it was running$\r$\nor setting a wallpaper. Nothing was changed.  $\r$\n$\r$\nPlease try again in a moment."

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
; 1 when the sign-in entry is to be there, as the user chose.
Var VeldSignIn
Var VeldSignInBox
; What the folder page tells the user when Veldana cannot go into the folder, and the
; system's reason when it has one.
Var VeldRefusal
Var VeldReason
; "copying" while the files are copied, 1 once they are all there whole, 0 when not.
Var VeldCopied

; A running program's file cannot be opened for writing on Windows, whichever spelling
; reaches it, so this sees each program of this folder and no other copy's. Veldana is
; asked to close; VeldanaStart.exe runs only to set a wallpaper at sign-in and has no
; window, so it is waited for as long as Veldana itself waits for it (10 s) before the
; user is asked to try again. Leaves 1 on the stack when both are closed (or never
; there), 0 when the user gave up.
!macro VELD_WAIT_UNTIL_CLOSED UN
; 1 on the stack when the program of $INSTDIR named on the stack runs, else 0.
Function ${UN}IsRunning
  Exch $0
  ${If} ${FileExists} "$INSTDIR\$0"
    ClearErrors
    FileOpen $0 "$INSTDIR\$0" a
    ${If} ${Errors}
      StrCpy $0 1
    ${Else}
      FileClose $0
      StrCpy $0 0
    ${EndIf}
  ${Else}
    StrCpy $0 0
  ${EndIf}
  Exch $0
FunctionEnd

Function ${UN}WaitUntilClosed
  Push $0
  Push $1
  Push $2
  StrCpy $1 1
  ${Do}
    Push "Veldana.exe"
    Call ${UN}IsRunning
    Pop $0
    ${If} $0 == 1
      ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(VeldRunning)" /SD IDCANCEL IDRETRY`
        StrCpy $1 0
        ${Break}
      ${EndIf}
      ${Continue}
    ${EndIf}
    StrCpy $2 0
    ${Do}
      Push "VeldanaStart.exe"
      Call ${UN}IsRunning
      Pop $0
      ${If} $0 == 0
      ${OrIf} $2 >= 40
        ${Break}
      ${EndIf}
      Sleep 250
      IntOp $2 $2 + 1
    ${Loop}
    ${If} $0 == 0
      ${Break}
    ${EndIf}
    ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(VeldSettingWallpaper)" /SD IDCANCEL IDRETRY`
      StrCpy $1 0
      ${Break}
    ${EndIf}
  ${Loop}
  Pop $2
  Exch $1
  Exch
  Pop $0
FunctionEnd
!macroend
!insertmacro VELD_WAIT_UNTIL_CLOSED ""
!insertmacro VELD_WAIT_UNTIL_CLOSED "un."

; The length of the ANSI spelling of the path on the stack, or "" when the system's code
; page cannot spell it: its nearest spelling ("?" or a letter without its accent) would
; be another path. (System hands an ANSI result back through the same code page.)
Function AnsiLength
  Exch $0
  Push $1
  Push $2
  System::Call 'kernel32::WideCharToMultiByte(i 0, i 0, w r0, i -1, m .r1, i ${NSIS_MAX_STRLEN}, p 0, p 0) i .r2'
  ${If} $2 == 0
  ${OrIf} $1 S!= $0
    StrCpy $0 ""
  ${Else}
    IntOp $0 $2 - 1
  ${EndIf}
  Pop $2
  Pop $1
  Exch $0
FunctionEnd

; The system's words for the error number on the stack, without a closing line break.
Function SystemReason
  Exch $0
  Push $1
  System::Call 'kernel32::FormatMessageW(i 0x1200, p 0, i r0, i 0, w .r1, i ${NSIS_MAX_STRLEN}, p 0) i .r0'
  ${If} $0 == 0
    StrCpy $1 ""
  ${EndIf}
  ${Do}
    StrCpy $0 $1 1 -1
    ${If} $0 != "$\r"
    ${AndIf} $0 != "$\n"
    ${AndIf} $0 != " "
      ${Break}
    ${EndIf}
    StrCpy $1 $1 -1
  ${Loop}
  StrCpy $0 $1
  Pop $1
  Exch $0
FunctionEnd

; Sets VeldRefusal to what to tell the user when Veldana cannot go into $INSTDIR, else to
; "". The folder must be one, or be made one, and take a new file; and Veldana must
; reach its files there at its first start: through its spelling in the system's code
; page, or else its short (8.3) form. Nothing is written before this holds, and what was
; made to ask is removed again.
Function CheckFolder
  Push $0
  Push $1
  Push $2
  Push $3
  StrCpy $VeldRefusal ""
  ; The topmost folder made to ask, when one was.
  StrCpy $3 ""
  StrCpy $0 $INSTDIR 2 1
  StrCpy $1 $INSTDIR 2
  ${If} $0 != ":\"
  ${AndIf} $1 != "\\"
    StrCpy $VeldRefusal "$(VeldNotAFolder)"
  ${ElseIf} ${FileExists} "$INSTDIR\*.*"
  ${ElseIf} ${FileExists} "$INSTDIR"
    StrCpy $VeldRefusal "$(VeldNotAFolder)"
  ${Else}
    ; Windows makes no folder of 248 characters or more (Wine makes a cut-off one), and
    ; none of its short forms exists before it is made.
    StrLen $0 $INSTDIR
    ${If} $0 >= 248
      StrCpy $VeldRefusal "$(VeldTooLong)"
    ${Else}
      StrCpy $1 $INSTDIR
      ${Do}
        StrCpy $3 $1
        ${GetParent} $1 $1
        ${If} $1 == ""
        ${OrIf} ${FileExists} "$1\*.*"
          ${Break}
        ${EndIf}
      ${Loop}
      System::Call 'shell32::SHCreateDirectoryExW(p 0, w "$INSTDIR", p 0) i .r0'
      ${If} $0 != 0
        Push $0
        Call SystemReason
        Pop $VeldReason
        StrCpy $VeldRefusal "$(VeldCannotMake)"
      ${EndIf}
    ${EndIf}
  ${EndIf}

  ${If} $VeldRefusal == ""
    ; A file of a name no other has, written and removed again.
    System::Call 'kernel32::GetTempFileNameW(w "$INSTDIR", w "set", i 0, w .r1) i .r0 ?e'
    Pop $2
    ${If} $0 == 0
      Push $2
      Call SystemReason
      Pop $VeldReason
      StrCpy $VeldRefusal "$(VeldCannotWrite)"
    ${Else}
      ClearErrors
      FileOpen $0 $1 w
      FileWrite $0 "Veldana"
      FileClose $0
      ${If} ${Errors}
        StrCpy $VeldReason ""
        StrCpy $VeldRefusal "$(VeldCannotWrite)"
      ${EndIf}
      Delete $1
    ${EndIf}
  ${EndIf}

  ${If} $VeldRefusal == ""
    Push "$INSTDIR\"
    Call AnsiLength
    Pop $0
    ${If} $0 == ""
    ${OrIf} $0 >= ${VELD_FOLDER_LIMIT}
      StrCpy $2 ""
      ; Wine gives every folder a short name; the tests build a setup with
      ; -DTEST_NO_SHORT_NAMES to stand for a volume where short names are off.
      !ifndef TEST_NO_SHORT_NAMES
        System::Call 'kernel32::GetShortPathNameW(w "$INSTDIR", w .r1, i ${NSIS_MAX_STRLEN}) i .r2'
        ${If} $2 > 0
        ${AndIf} $2 < ${NSIS_MAX_STRLEN}
          Push "$1\"
          Call AnsiLength
          Pop $2
        ${Else}
          StrCpy $2 ""
        ${EndIf}
      !endif
      ${If} $2 == ""
      ${OrIf} $2 >= ${VELD_FOLDER_LIMIT}
        ${If} $0 == ""
        ${AndIf} $2 == ""
          StrCpy $VeldRefusal "$(VeldCannotBeSpelled)"
        ${Else}
          StrCpy $VeldRefusal "$(VeldTooLong)"
        ${EndIf}
      ${EndIf}
    ${EndIf}
  ${EndIf}

  ${If} $3 != ""
    StrCpy $1 $INSTDIR
    ${Do}
      RMDir $1
      ${If} $1 == $3
        ${Break}
      ${EndIf}
      ${GetParent} $1 $1
    ${Loop}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd

Function .onInit
  SetShellVarContext current
  ; The sign-in entry starts as the user left it when Veldana was installed before (and
  ; a silent setup keeps it so); a first installation adds it.
  StrCpy $VeldSignIn 1
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ${If} $0 != ""
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "${PRODUCT}"
    ${If} ${Errors}
      StrCpy $VeldSignIn 0
    ${EndIf}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "${NO_SIGN_IN_SWITCH}" $1
  ${IfNot} ${Errors}
    StrCpy $VeldSignIn 0
  ${EndIf}
  ; A /D= folder the setup cannot use (a file of that name, say) is passed over by NSIS,
  ; which then takes the default folder; the folder asked for is the one checked (NSIS
  ; keeps /D= out of $CMDLINE, the system's command line still has it).
  System::Call 'kernel32::GetCommandLineW() w .r0'
  ClearErrors
  ${GetOptionsS} $0 "/D=" $1
  ${IfNot} ${Errors}
    ${Do}
      StrCpy $2 $1 "" -1
      ${IfThen} $2 != "\" ${|} ${Break} ${|}
      StrCpy $1 $1 -1
    ${Loop}
    ${If} $1 != $INSTDIR
    ${AndIf} $1 != ""
      StrCpy $INSTDIR $1
    ${EndIf}
  ${EndIf}
  ; The folder page asks when it is left; a silent setup has its folder (/D=) by now.
  ${If} ${Silent}
    Call CheckFolder
    ${If} $VeldRefusal != ""
      SetErrorLevel 2
      Abort
    ${EndIf}
  ${EndIf}
FunctionEnd

; Tells on the welcome page that an installed Veldana of this or an older version is
; updated and the user's files kept.
Function WelcomePagePre
  StrCpy $VeldWelcome "$(VeldWelcome)"
  ReadRegStr $1 HKCU "${UNINST_KEY}" "InstallLocation"
  ReadRegStr $0 HKCU "${UNINST_KEY}" "DisplayVersion"
  ${If} $1 != ""
  ${AndIf} $0 != ""
    ${VersionCompare} $0 "${VERSION}" $2
    ${If} $2 == 0
      StrCpy $VeldWelcome "$(VeldWelcomeAgain)"
    ${ElseIf} $2 == 2
      StrCpy $VeldWelcome "$(VeldWelcomeUpdate)"
    ${EndIf}
  ${EndIf}
FunctionEnd

; The picture beside the welcome and finish pages, drawn for the width its place (109
; dialog units) has at the display's scale (assets/generate.py, SETUP_PICTURE_WIDTHS):
; the narrowest at least as wide is shown unscaled, so it stays sharp, and the page cuts
; off what is below it. Puts the picture into the page's picture control.
!macro VELD_SCALED_PICTURE PAGE IMAGE BITMAP
  System::Call '*(i 0, i 0, i 109, i 193) p .r1'
  System::Call 'user32::MapDialogRect(p ${PAGE}, p r1)'
  System::Call '*$1(i, i, i .r0, i)'
  System::Free $1
  StrCpy $1 "$PLUGINSDIR\veld-picture.bmp"
  ${If} $0 <= 164
    File "/oname=$1" "../assets/setup/welcome-164x314.bmp"
  ${ElseIf} $0 <= 218
    File "/oname=$1" "../assets/setup/welcome-218x417.bmp"
  ${ElseIf} $0 <= 245
    File "/oname=$1" "../assets/setup/welcome-245x469.bmp"
  ${ElseIf} $0 <= 300
    File "/oname=$1" "../assets/setup/welcome-300x574.bmp"
  ${Else}
    File "/oname=$1" "../assets/setup/welcome-327x626.bmp"
  ${EndIf}
  ${NSD_SetImage} ${IMAGE} $1 $0
  ${NSD_FreeImage} ${BITMAP}
  StrCpy ${BITMAP} $0
!macroend

Function WelcomePageShow
  !insertmacro VELD_SCALED_PICTURE $mui.WelcomePage $mui.WelcomePage.Image $mui.WelcomePage.Image.Bitmap
FunctionEnd

Function FinishPageShow
  !insertmacro VELD_SCALED_PICTURE $mui.FinishPage $mui.FinishPage.Image $mui.FinishPage.Image.Bitmap
FunctionEnd

Function SignInPage
  !insertmacro MUI_HEADER_TEXT "$(VeldSignInTitle)" "$(VeldSignInSubtitle)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 72u "$(VeldSignInText)"
  Pop $0
  ${NSD_CreateCheckBox} 0 80u 100% 12u "$(VeldSignInBox)"
  Pop $VeldSignInBox
  ${If} $VeldSignIn == 1
    ${NSD_Check} $VeldSignInBox
  ${EndIf}
  ${NSD_SetFocus} $VeldSignInBox
  nsDialogs::Show
FunctionEnd

Function SignInPageLeave
  ${NSD_GetState} $VeldSignInBox $VeldSignIn
FunctionEnd

Function DirectoryPageLeave
  Call CheckFolder
  ${If} $VeldRefusal != ""
    MessageBox MB_OK|MB_ICONSTOP "$VeldRefusal"
    Abort
  ${EndIf}
FunctionEnd

; An installation in the same folder is taken away by its own uninstaller, which knows
; what that version shipped, so no file the new version no longer ships stays behind to be
; taken for the user's. What is the user's stays: the uninstaller keeps the wallpapers
; the user added when it runs silently, and the program's state is put aside while it
; runs (it removes it); the sign-in entry was read before the pages.
Function RemovePreviousVersion
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ${If} $0 != $INSTDIR
  ${OrIfNot} ${FileExists} "$INSTDIR\${UNINSTALLER}"
    Return
  ${EndIf}
  !insertmacro VELD_EACH_STATE_FILE VELD_PUT_ASIDE
  ; _? runs it in place, so ExecWait waits for it. It ends with 2 when it removed
  ; nothing (a program of the folder ran); then nothing is installed over it either.
  ExecWait '"$INSTDIR\${UNINSTALLER}" /S ${UPGRADE_SWITCH} _?=$INSTDIR' $0
  !insertmacro VELD_EACH_STATE_FILE VELD_TAKE_BACK
  ${If} $0 == 2
    MessageBox MB_OK|MB_ICONSTOP "$(VeldOldStays)" /SD IDOK
    SetErrorLevel 2
    Abort "$(VeldOldStays)"
  ${EndIf}
FunctionEnd

!macro VELD_CHECK_COPIED NAME SIZE
  ClearErrors
  FileOpen $0 "$INSTDIR\${NAME}" r
  ${If} ${Errors}
    StrCpy $VeldCopied 0
  ${Else}
    FileSeek $0 0 END $1
    FileClose $0
    ${If} $1 != ${SIZE}
      StrCpy $VeldCopied 0
    ${EndIf}
  ${EndIf}
!macroend

; Takes back a copy that is not whole (a disk that filled up, a file another program
; holds), so nothing is left that looks installed: the copied files go again, the user is
; told, and the setup ends with 2. The user's own files stay.
Function TakeBackCopy
  !insertmacro VELD_REMOVE_FILES
  Delete "$INSTDIR\${UNINSTALLER}"
  !insertmacro VELD_REMOVE_FOLDERS
  ; The copy made the folder the current one, which cannot be removed.
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"
  StrCpy $VeldCopied 0
  MessageBox MB_OK|MB_ICONSTOP "$(VeldNotCopied)" /SD IDOK
  SetErrorLevel 2
FunctionEnd

; Nothing is registered before every file is there whole.
Function CheckCopied
  StrCpy $VeldCopied 1
  !insertmacro VELD_EACH_FILE VELD_CHECK_COPIED
  ${IfNot} ${FileExists} "$INSTDIR\${UNINSTALLER}"
    StrCpy $VeldCopied 0
  ${EndIf}
  ${If} $VeldCopied == 0
    Call TakeBackCopy
    Abort "$(VeldNotCopied)"
  ${EndIf}
FunctionEnd

; A file that cannot be written stops the copy (a silent setup, or the user's "Abort").
Function .onInstFailed
  ${If} $VeldCopied == copying
    Call TakeBackCopy
  ${EndIf}
FunctionEnd

SetDateSave on
Section "Veldana" SecProgram
  SectionIn RO
  Call WaitUntilClosed
  Pop $0
  ${If} $0 == 0
    Abort
  ${EndIf}

  Call RemovePreviousVersion
  ; A failure while copying takes the copy back.
  StrCpy $VeldCopied copying
  !insertmacro VELD_INSTALL_FILES
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  Call CheckCopied
  ; The shortcut starts in the program folder (the current output path).
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Veldana.exe" "" "$INSTDIR\Veldana.exe" 0

  ; Windows' note that the user switched the entry off stays with the entry.
  ${If} $VeldSignIn == 1
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\VeldanaStart.exe"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegValue HKCU "${APPROVED_KEY}" "${PRODUCT}"
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

; Deletes what an Add cut short left in the wallpaper folder on the stack: the temporary
; file of the copy, named by GetTempFileName "vel", one to four hex digits and ".tmp".
Function un.DeleteCutShortAdds
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  FindFirst $1 $2 "$0\vel*.tmp"
  ${DoWhile} $2 != ""
    ; The characters between "vel" and ".tmp", read as a hex number and written back as
    ; as many hex digits, give the name again only when they were all hex digits (==
    ; ignores case). The pattern also meets long names whose short name fits it.
    StrLen $3 $2
    IntOp $3 $3 - 7
    StrCpy $5 ""
    ${If} $3 >= 1
    ${AndIf} $3 <= 4
      StrCpy $4 $2 $3 3
      IntOp $5 0x$4 + 0
      IntFmt $5 "vel%0$3X.tmp" $5
    ${EndIf}
    ${If} $5 == $2
    ${AndIfNot} ${FileExists} "$0\$2\*.*"
      Delete "$0\$2"
    ${EndIf}
    FindNext $1 $2
  ${Loop}
  FindClose $1
  Pop $5
  Pop $4
  Pop $3
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

; The folder on the stack by what it is, the same whichever spelling reaches it (the 8.3
; short form, another drive letter, a link), by the rule Veldana names its folder by. On
; a local volume: the serial number and 128-bit identifier of FileIdInfo where the system
; has it (Windows 8 and later; the 64-bit index is not unique on ReFS) and it is not
; zero, else the serial number and 64-bit index where that is not zero. Otherwise, and
; on a remote volume, whose server may give a zero or changing index: the final path,
; without \\?\ and in upper case. A folder that cannot be opened is known by its spelling.
Function un.FolderIdentity
  Exch $0
  Push $1
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  Push $7
  ; A folder opens only with FILE_FLAG_BACKUP_SEMANTICS; no access is needed for its facts.
  System::Call 'kernel32::CreateFileW(w r0, i 0, i 7, p 0, i 3, i 0x02000000, p 0) p .r1'
  ${If} $1 != -1
    StrCpy $7 ""
    System::Call 'kernel32::GetFinalPathNameByHandleW(p r1, w .r6, i ${NSIS_MAX_STRLEN}, i 0) i .r3'
    ${If} $3 = 0
    ${OrIf} $3 >= ${NSIS_MAX_STRLEN}
      StrCpy $6 ""
    ${EndIf}
    StrCpy $4 $6 8
    ${If} $4 != "\\?\UNC\"
      ; Room for BY_HANDLE_FILE_INFORMATION (13 DWORDs) or FILE_ID_INFO (24 bytes).
      System::Call '*(&i52) p .r2'
      ; FileIdInfo (18); Windows 7 does not know it.
      System::Call 'kernel32::GetFileInformationByHandleEx(p r1, i 18, p r2, i 24) i .r3'
      ${If} $3 != 0
        System::Call '*$2(l .r3, l .r4, l .r5)'
        ${If} $4 != 0
        ${OrIf} $5 != 0
          StrCpy $7 "f$3:$4:$5"
        ${EndIf}
      ${EndIf}
      ${If} $7 == ""
        System::Call 'kernel32::GetFileInformationByHandle(p r1, p r2) i .r3'
        ${If} $3 != 0
          ; Serial at 7, index high and low at 11 and 12.
          System::Call '*$2(i, i, i, i, i, i, i, i .r3, i, i, i, i .r4, i .r5)'
          ${If} "$4$5" != "00"
            StrCpy $7 "i$3:$4:$5"
          ${EndIf}
        ${EndIf}
      ${EndIf}
      System::Free $2
    ${EndIf}
    ${If} $7 == ""
    ${AndIf} $6 != ""
      ; \\?\UNC\server\share\dir and \\?\C:\dir, as they are spelled without \\?\.
      StrCpy $4 $6 8
      StrCpy $5 $6 4
      ${If} $4 == "\\?\UNC\"
        StrCpy $6 $6 "" 8
        StrCpy $6 "\\$6"
      ${ElseIf} $5 == "\\?\"
        StrCpy $6 $6 "" 4
      ${EndIf}
      ${Do}
        StrCpy $4 $6 "" -1
        ${IfThen} $4 != "\" ${|} ${Break} ${|}
        StrCpy $6 $6 -1
      ${Loop}
      ${If} $6 != ""
        System::Call 'user32::CharUpperW(w r6 r6)'
        StrCpy $7 "p$6"
      ${EndIf}
    ${EndIf}
    ${If} $7 != ""
      StrCpy $0 $7
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  Pop $7
  Pop $6
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

  !insertmacro VELD_EACH_WALLPAPER_FOLDER un.DeleteCutShortAdds
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
