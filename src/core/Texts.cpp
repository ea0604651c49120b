#include "core/Texts.h"

#include "core/Error.h"

#include <cstdio>

namespace veld::texts {

namespace {

std::string Join(std::initializer_list<std::string_view> parts)
{
    std::string text;
    for (std::string_view part : parts)
        text += part;
    return text;
}

std::string Quoted(std::string_view name)
{
    return Join({"\"", name, "\""});
}

}  // namespace

std::string AskDeleteFile(std::string_view name)
{
    return Join({"Datei l\xF6"
                 "schen: ",
                 SystemText(name)});
}

std::string ErrorNumber(uint32_t code)
{
    return "Fehler " + std::to_string(code);
}

std::string CannotOpenFile(std::string_view path, std::string_view reason)
{
    return Join({"Datei ", SystemText(path),
                 " kann nicht ge\xF6"
                 "ffnet werden. ",
                 reason});
}

std::string CannotCreateFile(std::string_view path, std::string_view reason)
{
    return Join({"Datei ", SystemText(path), " kann nicht erstellt werden. ", reason});
}

std::string FileTooLarge(std::string_view path)
{
    return Join({"Datei ", SystemText(path),
                 " ist zu gro\xDF (mehr als 1 GB). W\xE4"
                 "hle ein kleineres Bild."});
}

std::string CannotWriteSettings(std::string_view path)
{
    return Join({"In ", SystemText(path), " kann nicht geschrieben werden"});
}

std::string LineBreakInName(std::string_view path, std::string_view file)
{
    return Join({CannotWriteSettings(path), ": Die Datei ", Quoted(SystemText(file)),
                 " hat einen Zeilenumbruch im Namen. Benenne sie um."});
}

std::string ProgramFolderCannotBeSpelled(std::string_view folder)
{
    return Join({"Der Name des Programmordners ", SystemText(folder),
                 " enth\xE4"
                 "lt Zeichen au\xDF"
                 "erhalb der Codepage dieses Systems, und der Ordner hat keinen kurzen Namen (8.3). Installiere "
                 "Veldana in einen Ordner mit einem Namen aus einfachen Buchstaben."});
}

std::string ProgramFolderTooLong(std::string_view folder)
{
    return Join({"Der Pfad des Programmordners ", SystemText(folder),
                 " ist zu lang, auch in seiner kurzen Form (8.3). Installiere Veldana in einen Ordner mit k\xFC"
                 "rzerem Pfad."});
}

std::string LeadsToAnotherFile(std::string_view path)
{
    return Join({"Der Pfad ", SystemText(path),
                 " f\xFC"
                 "hrt zu einer anderen Datei als der aufgelisteten. Gib der Datei einen Namen aus einfachen "
                 "Buchstaben, dann findet Veldana sie."});
}

std::string CannotCreateWindow(std::string_view reason)
{
    return Join({"Das Fenster von Veldana kann nicht erstellt werden. ", reason});
}

std::string CannotLockWallpaper(std::string_view reason)
{
    return Join({"Das Hintergrundbild kann nicht gesetzt werden. ", reason});
}

std::string NoRandomNumber(uint32_t status)
{
    char code[16];
    std::snprintf(code, std::size(code), "0x%08lX", static_cast<unsigned long>(status));
    return Join({"Der Zufallszahlengenerator des Systems ist nicht verf\xFC"
                 "gbar (Status ",
                 code, ")"});
}

std::string CannotOpenRegistryKey(std::string_view key, std::string_view reason)
{
    return Join({"Registrierungsschl\xFC"
                 "ssel ",
                 key,
                 " kann nicht ge\xF6"
                 "ffnet werden. ",
                 reason});
}

std::string CannotSetRegistryValue(std::string_view name, std::string_view reason)
{
    return Join({"Fehler beim Setzen der Daten f\xFC"
                 "r '",
                 name, "'. ", reason});
}

std::string JpegError(int number)
{
    return "JPEG-Fehler #" + std::to_string(number);
}

std::string PictureTooLarge(std::string_view name, std::string_view size)
{
    return Join({"Das Bild ", Quoted(SystemText(name)), " ist zu gro\xDF (", size, ")."});
}

std::string TooManyScans(std::string_view name, int limit)
{
    return Join({"Das Bild ", Quoted(SystemText(name)), " hat zu viele Abschnitte (mehr als ", std::to_string(limit),
                 " Scans)."});
}

std::string IncompletePicture(std::string_view name)
{
    return Join({"Das Bild ", Quoted(SystemText(name)), " ist ", kIncompleteReason, "."});
}

std::string JpegReason(int number)
{
    // libjpeg's numbers for a file that is not a JPEG at all, and for an empty one.
    constexpr int kNoJpeg = 53;
    constexpr int kEmpty = 42;
    const std::string code = " (" + JpegError(number) + ")";
    if (number == kNoJpeg)
        return "keine JPEG-Datei" + code;
    if (number == kEmpty)
        return "leer" + code;
    return "besch\xE4"
           "digt oder in einer Form gespeichert, die Veldana nicht lesen kann" +
           code;
}

std::string TooLargeReason(std::string_view size)
{
    return Join({"zu gro\xDF (", size, ")"});
}

std::string TooManyScansReason(int limit)
{
    return "zu viele Abschnitte (mehr als " + std::to_string(limit) + " Scans)";
}

std::string PassedOver(std::string_view name, std::string_view reason)
{
    return Join({SystemText(name), ": ", reason});
}

}  // namespace veld::texts
