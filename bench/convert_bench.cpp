// veld_convert: the program's JPEG to BMP conversion as a command, for timing it
// against djpeg and the image tools, and for measuring its memory.
//
//   veld_convert [--eight-bit] [--decode-only] [--stats] in.jpg [out.bmp]
//
// Without --decode-only it does what the program does for the wallpaper: the picture is
// decoded whole and written into its BMP file. --decode-only decodes it whole for the
// screen, as the preview does. --stats prints the resident memory at start and at its
// peak, and the size of the decoded picture (for the BMP, the file's).
#include "core/Bmp.h"
#include "core/Jpeg.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

long PeakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Whole file in one read, as the program does.
std::vector<uint8_t> ReadWhole(const std::string& path)
{
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "rb"));
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0)
        throw veld::Error("cannot open " + path);
    const long size = std::ftell(file.get());
    std::rewind(file.get());
    std::vector<uint8_t> bytes(static_cast<size_t>(size > 0 ? size : 0));
    if (std::fread(bytes.data(), 1, bytes.size(), file.get()) != bytes.size())
        throw veld::Error("cannot read " + path);
    return bytes;
}

// The file written as the program writes tmp_wallpaper.bmp, less the flush and move of
// its safe replacement: the headers, then the pixels.
void WriteBmp(const std::string& path, const veld::DibImage& image)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw veld::Error("cannot create " + path);
    const std::vector<uint8_t> headers = veld::BmpHeaders(image);
    bool written = true;
    for (const std::vector<uint8_t>* part : {&headers, &image.pixels})
        for (size_t done = 0; written && done < part->size();) {
            const ssize_t step = write(fd, part->data() + done, part->size() - done);
            written = step > 0;
            done += written ? static_cast<size_t>(step) : 0;
        }
    close(fd);
    if (!written)
        throw veld::Error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv)
{
    const long startKb = PeakResidentKb();
    veld::DecodeOptions options;
    bool decodeOnly = false;
    bool stats = false;
    std::vector<std::string> paths;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--eight-bit")
            options.eightBitScreen = true;
        else if (arg == "--decode-only")
            decodeOnly = true;
        else if (arg == "--stats")
            stats = true;
        else
            paths.push_back(arg);
    }
    if (paths.size() != (decodeOnly ? 1u : 2u)) {
        std::fprintf(stderr, "usage: veld_convert [--eight-bit] [--decode-only] [--stats] in.jpg [out.bmp]\n");
        return 2;
    }
    try {
        options.displayName = std::wstring(paths[0].begin(), paths[0].end());
        const std::vector<uint8_t> jpeg = ReadWhole(paths[0]);
        size_t imageBytes = 0;
        if (decodeOnly) {
            imageBytes = veld::DecodeJpeg(jpeg, options).pixels.size();
        } else {
            WriteBmp(paths[1], veld::DecodeJpeg(jpeg, options));
            imageBytes = static_cast<size_t>(std::filesystem::file_size(paths[1]));
        }
        if (stats)
            std::printf("start_rss_kb=%ld peak_rss_kb=%ld image_bytes=%zu\n", startKb, PeakResidentKb(), imageBytes);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veld_convert: %s\n", e.what());
        return 1;
    }
    return 0;
}
