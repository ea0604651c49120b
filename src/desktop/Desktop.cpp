#include "desktop/Desktop.h"

#include "core/Error.h"
#include "core/Jpeg.h"
#include "core/Paths.h"
#include "ui/Application.h"
#include "ui/Files.h"
#include "ui/Handles.h"

#include <windows.h>

namespace desktop {

namespace {

// SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE
constexpr UINT kSetFlags = 3;
// SPIF_SENDWININICHANGE alone
constexpr UINT kClearFlags = 2;

void ConvertJpegToBitmap(const std::string& jpegPath, const std::string& bitmapPath)
{
    const std::vector<uint8_t> file = ui::ReadWholeFile(jpegPath);
    veld::DecodeOptions options;
    options.eightBitScreen = ui::ScreenBitsPerPixel() <= 8;
    options.displayName = veld::FileNamePart(jpegPath, ui::IsLeadByte);
    const veld::DibImage image = veld::DecodeJpeg(file, options);
    const std::vector<uint8_t> headers = veld::BmpHeaders(image);
    ui::ReplaceFile(bitmapPath, {headers, image.pixels});
}

}  // namespace

std::string ConvertedWallpaperPath()
{
    return ui::ProgramDir() + "tmp_wallpaper.bmp";
}

void SetDesktopWallpaper(const std::string& path)
{
    if (!ui::FileExists(path))
        return;
    const std::string extension = veld::LowerExtension(path, ui::IsLeadByte);
    // The system's answer is not looked at: there is nothing the user could do about it.
    if (extension == ".bmp") {
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(path.c_str()), kSetFlags);
    } else if (extension == ".jpg") {
        const std::string converted = ConvertedWallpaperPath();
        ConvertJpegToBitmap(path, converted);
        SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, const_cast<char*>(converted.c_str()), kSetFlags);
    }
}

void ClearDesktopWallpaper()
{
    HKEY key = nullptr;
    LSTATUS status = RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                     &key, nullptr);
    if (status != ERROR_SUCCESS)
        throw veld::Error("Registrierungsschl\xFCssel Control Panel\\Desktop kann nicht ge\xF6"
                          "ffnet werden. " +
                          ui::SystemMessage(static_cast<DWORD>(status)));
    ui::RegKey owner(key);
    status = RegSetValueExA(key, "Wallpaper", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    if (status != ERROR_SUCCESS)
        throw veld::Error("Fehler beim Setzen der Daten f\xFCr 'Wallpaper'. " +
                          ui::SystemMessage(static_cast<DWORD>(status)));
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, nullptr, kClearFlags);
}

}  // namespace desktop
