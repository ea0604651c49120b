// veld_convert: the program's JPEG to BMP conversion as a command, for timing it
// against djpeg and the image tools, and for measuring its memory.
//
//   veld_convert [--eight-bit] [--decode-only] [--stats] in.jpg [out.bmp]
//
// --decode-only stops after decoding, as the preview does; --stats prints the
// resident memory at start and at its peak, and the size of the decoded image.
#include "core/Bmp.h"
#include "core/Jpeg.h"

#include <sys/resource.h>

#include <cstdio>
#include <exception>
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
        options.displayName = paths[0];
        const veld::DibImage image = veld::DecodeJpeg(ReadWhole(paths[0]), options);
        if (!decodeOnly)
            veld::WriteBmpFile(paths[1], image);
        if (stats)
            std::printf("start_rss_kb=%ld peak_rss_kb=%ld image_bytes=%zu\n", startKb, PeakResidentKb(),
                        image.pixels.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "veld_convert: %s\n", e.what());
        return 1;
    }
    return 0;
}
