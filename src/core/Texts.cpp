#include "core/Texts.h"

namespace veld::texts {

namespace {

Message Name(std::wstring_view name)
{
    return Message(std::wstring(name));
}

Message Join(std::initializer_list<Message> parts)
{
    Message text;
    for (const Message& part : parts)
        text += part;
    return text;
}

Message Quoted(std::wstring_view name)
{
    return Join({"\"", Name(name), "\""});
}

}  // namespace

Message AskDeleteFile(std::wstring_view name)
{
    return Join({"Datei l\xF6"
                 "schen: ",
                 Name(name)});
}

std::string ErrorNumber(uint32_t code)
{
    return "Fehler " + std::to_string(code);
}

Message CannotOpenFile(std::wstring_view path, const Message& reason)
{
    return Join({"Datei ", Name(path),
                 " kann nicht ge\xF6"
                 "ffnet werden. ",
                 reason});
}

Message CannotCreateFile(std::wstring_view path, const Message& reason)
{
    return Join({"Datei ", Name(path), " kann nicht erstellt werden. ", reason});
}

Message FileTooLarge(std::wstring_view path)
{
    return Join({"Datei ", Name(path),
                 " ist zu gro\xDF (mehr als 1 GB). W\xE4"
                 "hle ein kleineres Bild."});
}

Message CannotWriteSettings(std::wstring_view path)
{
    return Join({"In ", Name(path), " kann nicht geschrieben werden"});
}

Message LineBreakInName(std::wstring_view path, std::wstring_view file)
{
    return Join({CannotWriteSettings(path), ": Die Datei ", Quoted(file),
                 " hat einen Zeilenumbruch im Namen. Benenne sie um."});
}

Message ProgramFolderCannotBeSpelled(std::wstring_view folder)
{
    return Join({"Der Name des Programmordners ", Name(folder),
                 " enth\xE4"
                 "lt Zeichen au\xDF"
                 "erhalb der Codepage dieses Systems, und der Ordner hat keinen kurzen Namen (8.3). Installiere "
                 "Veldana in einen Ordner mit einem Namen aus einfachen Buchstaben."});
}

Message ProgramFolderTooLong(std::wstring_view folder)
{
    return Join({"Der Pfad des Programmordners ", Name(folder),
                 " ist zu lang, auch in seiner kurzen Form (8.3). Installiere Veldana in einen Ordner mit k\xFC"
                 "rzerem Pfad."});
}

Message NameOutsideCodePage(std::wstring_view path)
{
    return Join({"Der Name der Datei ", Name(path),
                 " enth\xE4lt Zeichen au\xDF"
                 "erhalb der Codepage dieses Systems, und die Datei hat keinen kurzen Namen (8.3). Gib der Datei "
                 "einen Namen aus einfachen Buchstaben, dann findet Veldana sie."});
}

Message CannotCreateWindow(const Message& reason)
{
    return Join({"Das Fenster von Veldana kann nicht erstellt werden. ", reason});
}

Message CannotLockWallpaper(const Message& reason)
{
    return Join({"Das Hintergrundbild kann nicht gesetzt werden. ", reason});
}

Message CannotOpenRegistryKey(std::string_view key, const Message& reason)
{
    return Join({"Registrierungsschl\xFC"
                 "ssel ",
                 std::string(key),
                 " kann nicht ge\xF6"
                 "ffnet werden. ",
                 reason});
}

Message CannotSetRegistryValue(std::string_view name, const Message& reason)
{
    return Join({"Fehler beim Setzen der Daten f\xFC"
                 "r '",
                 std::string(name), "'. ", reason});
}

std::string JpegError(int number)
{
    return "JPEG-Fehler #" + std::to_string(number);
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

Message PictureRefused(std::wstring_view name, std::string_view reason)
{
    return Join({"Das Bild ", Quoted(name), " ist ", std::string(reason), "."});
}

std::string TooLarge(std::string_view size)
{
    return "zu gro\xDF (" + std::string(size) + ")";
}

std::string TooManyScans(int limit)
{
    return "in zu viele Abschnitte geteilt (mehr als " + std::to_string(limit) + " Scans)";
}

Message PassedOver(std::wstring_view name, std::string_view reason)
{
    return Join({Name(name), ": ", std::string(reason)});
}

}  // namespace veld::texts
