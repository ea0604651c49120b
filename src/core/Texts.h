// Every text the program shows the user, in one place. German, in Windows-1252 bytes
// whatever the source file's encoding; a hex escape ends where the literal is split
// ("\xF6" "ffnet"). The formatters put names (wide, as the system spells them) and the
// system's reasons where the sentence wants them; the error box adds the closing period.
#pragma once

#include "core/Error.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veld::texts {

// The application title: before start-up (the task bar's first word) and after it.
inline constexpr char kTitle[] = "Veldana";
inline constexpr char kRunningTitle[] = "VELDANA";

// The text link to the game's page.
inline constexpr char kGameLink[] = "Klicke hier, um mehr \xFC"
                                    "ber Tollrand zu erfahren";

// What screen readers call the parts of the window whose words are painted on the
// artwork, and what their default action does.
inline constexpr char kWallpaperListName[] = "Hintergrundbilder";
inline constexpr char kActiveName[] = "Veldana aktivieren";
inline constexpr char kRandomName[] = "Hintergrundbild zuf\xE4llig bei jedem Windows-Start ausw\xE4hlen";
inline constexpr char kNoWallpaperName[] = "No wallpaper";
inline constexpr char kSetAsDefaultName[] = "Set as default";
inline constexpr char kDeleteSelectedName[] = "Delete selected";
inline constexpr char kAddYourOwnName[] = "Add your own...";
inline constexpr char kPublisherName[] = "Nordwerk Interactive";
inline constexpr char kConsoleName[] = "Sternling Pocket";
inline constexpr char kCloseName[] = "Schlie\xDF"
                                     "en";
inline constexpr char kPressAction[] = "Dr\xFC"
                                       "cken";
inline constexpr char kOpenAction[] = "\xD6"
                                      "ffnen";

// Asking before a file is deleted, with the two buttons' captions.
Message AskDeleteFile(std::wstring_view name);
inline constexpr char kYes[] = "Ja";
inline constexpr char kNo[] = "Nein";

inline constexpr char kNoWallpaperFolder[] = "F\xFC"
                                             "r diese Bildschirmgr\xF6\xDF"
                                             "e gibt es keinen Hintergrundbild-Ordner. Stelle die Aufl\xF6"
                                             "sung auf 800 x 600, 1024 x 768 oder mindestens 1280 x 1024 "
                                             "und starte Veldana neu.";

// A second start from the same folder, when the Veldana running there shows nothing.
inline constexpr char kAlreadyRunning[] = "Veldana l\xE4uft schon aus diesem Ordner, doch sein Fenster l\xE4sst sich "
                                          "nicht finden. Warte einen Moment und starte Veldana noch einmal; hilft das "
                                          "nicht, beende Veldana im Task-Manager";

// Something thrown that is no error of ours: what Veldana was doing, and what helps.
inline constexpr char kUnknownErrorInWindow[] = "Unbekannter Fehler, w\xE4"
                                                "hrend Veldana auf das Fenster reagierte. Veldana l\xE4"
                                                "uft weiter. Kommt der Fehler wieder, starte Veldana neu.";
inline constexpr char kUnknownErrorAtSignIn[] = "Unbekannter Fehler beim Wechseln des Hintergrundbilds bei der "
                                                "Anmeldung. Das bisherige Hintergrundbild bleibt.";
// What stands for the system's reason when it has no text for an error code.
std::string ErrorNumber(uint32_t code);

// "Datei <path> kann nicht geöffnet werden. <reason>"
Message CannotOpenFile(std::wstring_view path, const Message& reason);
// The reason when a file opens but holds no bitmap.
inline constexpr char kNotABitmap[] = "Sie ist keine lesbare Bitmap.";
Message CannotCreateFile(std::wstring_view path, const Message& reason);
Message FileTooLarge(std::wstring_view path);
Message CannotWriteSettings(std::wstring_view path);
// A wallpaper whose path would break its line in veld.ini, and with it the file.
Message LineBreakInName(std::wstring_view path, std::wstring_view file);
// A program folder the ANSI code page cannot spell (shown in its nearest spelling) and
// that has no short (8.3) name.
Message ProgramFolderCannotBeSpelled(std::wstring_view folder);
// A program folder so long that its files are out of reach of the ANSI calls, also in
// its short (8.3) form.
Message ProgramFolderTooLong(std::wstring_view folder);
// A listed file whose name the code page cannot spell and that has no short (8.3) name,
// named in its nearest spelling.
Message NameOutsideCodePage(std::wstring_view path);

// A window or control the system would not make; Veldana cannot run without it.
Message CannotCreateWindow(const Message& reason);

Message CannotOpenRegistryKey(std::string_view key, const Message& reason);
Message CannotSetRegistryValue(std::string_view name, const Message& reason);

inline constexpr char kInvalidPictureSize[] = "Ung\xFC"
                                              "ltige Grafikgr\xF6\xDF"
                                              "e";
inline constexpr char kCannotOpenClip[] = "AVI kann nicht ge\xF6"
                                          "ffnet werden";

// At sign-in and in the window, when the other program setting the wallpaper from the
// same folder does not finish in time.
inline constexpr char kWallpaperBusy[] = "Das Hintergrundbild wird gerade von einem anderen Veldana-Programm "
                                         "gesetzt. Bitte versuche es gleich noch einmal";
Message CannotLockWallpaper(const Message& reason);

// libjpeg's refusal by its message number: "JPEG-Fehler #53".
std::string JpegError(int number);
// The same in a few words, to follow the file's name in the sign-in log:
// "keine JPEG-Datei (JPEG-Fehler #53)".
std::string JpegReason(int number);

// A picture refused before or after decoding, with the reason in a few words, which the
// sign-in log puts after the file's name: "Das Bild "a.jpg" ist zu gro\xDF (9000 x 9000 Pixel)."
Message PictureRefused(std::wstring_view name, std::string_view reason);
// size says how large it is ("9000 x 9000 Pixel").
std::string TooLarge(std::string_view size);
std::string TooManyScans(int limit);
// A picture whose data ends early, where only a whole one will do.
inline constexpr char kIncomplete[] = "unvollst\xE4"
                                      "ndig, die Daten enden vorzeitig";

// A file the sign-in program passed over: "kaputt.jpg: keine JPEG-Datei (JPEG-Fehler #53)".
Message PassedOver(std::wstring_view name, std::string_view reason);

}  // namespace veld::texts
