// Stands in for the browser in tests: appends its command line to the file named by
// VELD_RECORD.
#include <windows.h>

#include <cstdio>

int main()
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("VELD_RECORD", path, MAX_PATH))
        return 1;
    FILE* out = std::fopen(path, "ab");
    if (!out)
        return 1;
    std::fprintf(out, "%s\n", GetCommandLineA());
    std::fclose(out);
    return 0;
}
