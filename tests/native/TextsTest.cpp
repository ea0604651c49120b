#include "core/Texts.h"

#include <gtest/gtest.h>

#include <tuple>

namespace veld {
namespace {

// The texts the tests look for, each spelled once: here, one row per text, as the
// Windows-1252 bytes the user must read (octal escapes, which end after three digits), with
// {placeholders} for what the program puts in (a number made as 9999 is {number}). The other
// C++ tests ask the catalogue; the end-to-end tests read this table (tests/e2e/veld.py).
TEST(Texts, TheCatalogueSpellsWhatTheUserReads)
{
    // clang-format off
    const std::tuple<const char*, const char*, Message> cases[] = {
        {"Yes", "Ja", texts::kYes},
        {"No", "Nein", texts::kNo},
        {"AskDeleteFile", "Datei l\366schen: {name}", texts::AskDeleteFile(L"{name}")},
        {"NoWallpaperFolder", "F\374r diese Bildschirmgr\366\337e gibt es keinen Hintergrundbild-Ordner. Stelle die Aufl\366sung auf 800 x 600, 1024 x 768 oder mindestens 1280 x 1024 und starte Veldana neu.", texts::kNoWallpaperFolder},
        {"CannotOpenFile", "Datei {path} kann nicht ge\366ffnet werden. {reason}", texts::CannotOpenFile(L"{path}", Message("{reason}"))},
        {"CannotCreateFile", "Datei {path} kann nicht erstellt werden. {reason}", texts::CannotCreateFile(L"{path}", Message("{reason}"))},
        {"FileTooLarge", "Datei {path} ist zu gro\337 (mehr als 1 GB). W\344hle ein kleineres Bild.", texts::FileTooLarge(L"{path}")},
        {"CannotWriteSettings", "In {path} kann nicht geschrieben werden", texts::CannotWriteSettings(L"{path}")},
        {"LineBreakInName", "In {path} kann nicht geschrieben werden: Die Datei \"{file}\" hat einen Zeilenumbruch im Namen. Benenne sie um.", texts::LineBreakInName(L"{path}", L"{file}")},
        {"ProgramFolderCannotBeSpelled", "Der Name des Programmordners {folder} enth\344lt Zeichen au\337erhalb der Codepage dieses Systems, und der Ordner hat keinen kurzen Namen (8.3). Installiere Veldana in einen Ordner mit einem Namen aus einfachen Buchstaben.", texts::ProgramFolderCannotBeSpelled(L"{folder}")},
        {"ProgramFolderTooLong", "Der Pfad des Programmordners {folder} ist zu lang, auch in seiner kurzen Form (8.3). Installiere Veldana in einen Ordner mit k\374rzerem Pfad.", texts::ProgramFolderTooLong(L"{folder}")},
        {"InvalidPictureSize", "Ung\374ltige Grafikgr\366\337e", texts::kInvalidPictureSize},
        {"CannotOpenClip", "AVI kann nicht ge\366ffnet werden", texts::kCannotOpenClip},
        {"WallpaperBusy", "Das Hintergrundbild wird gerade von einem anderen Veldana-Programm gesetzt. Bitte versuche es gleich noch einmal", texts::kWallpaperBusy},
        {"JpegError", "JPEG-Fehler #{number}", texts::JpegError(9999)},
        {"PictureTooLarge", "Das Bild \"{name}\" ist zu gro\337 ({size}).", texts::PictureRefused(L"{name}", texts::TooLarge("{size}"))},
        {"TooManyScans", "Das Bild \"{name}\" ist in zu viele Abschnitte geteilt (mehr als {number} Scans).", texts::PictureRefused(L"{name}", texts::TooManyScans(9999))},
        {"PassedOverNoJpeg", "{name}: keine JPEG-Datei (JPEG-Fehler #53)", texts::PassedOver(L"{name}", texts::JpegReason(53))},
        {"PassedOverEmpty", "{name}: leer (JPEG-Fehler #42)", texts::PassedOver(L"{name}", texts::JpegReason(42))},
        {"PassedOverIncomplete", "{name}: unvollst\344ndig, die Daten enden vorzeitig", texts::PassedOver(L"{name}", texts::kIncomplete)},
    };
    // clang-format on
    for (const auto& [key, spelled, made] : cases) {
        std::string text = made.Plain();
        for (size_t at; (at = text.find("9999")) != std::string::npos;)
            text.replace(at, 4, "{number}");
        EXPECT_EQ(text, spelled) << key;
    }
}

}  // namespace
}  // namespace veld
