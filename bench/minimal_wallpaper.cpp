// The reference for VeldanaStart's run less its conversion: a GUI program that sets an
// already converted bitmap as the wallpaper with the call and flags VeldanaStart uses
// (the system's answer is not looked at there either), and ends.
// Usage: minimal_wallpaper BITMAP.bmp
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (__argc < 2)
        return 2;
    char* path = __argv[1];
    // SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE
    SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, path, 3);
    return 0;
}
