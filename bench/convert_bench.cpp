// veld_convert: the program's JPEG to BMP conversion as a command, for timing it
// against djpeg and the image tools, and for measuring its memory.
//
//   veld_convert [--eight-bit] [--decode-only] [--stats] in.jpg [out.bmp]
//
// Without --decode-only it does what the program does for the wallpaper: the picture is
// decoded strip by strip into its BMP file. --decode-only decodes it whole for the
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
#include <span>
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
// its safe replacement: appended front to back, then the rows in place.
class FileOutput : public veld::BmpOutput {
public:
    explicit FileOutput(const std::string& path)
        : path_(path), fd_(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644))
    {
        if (fd_ < 0)
            throw veld::Error("cannot create " + path);
    }
    ~FileOutput() { close(fd_); }
    FileOutput(const FileOutput&) = delete;
    FileOutput& operator=(const FileOutput&) = delete;

    void Append(std::span<const uint8_t> bytes) override
    {
        Write(size_, bytes);
        size_ += bytes.size();
    }
    void Overwrite(uint64_t offset, std::span<const uint8_t> bytes) override { Write(offset, bytes); }

private:
    void Write(uint64_t offset, std::span<const uint8_t> bytes)
    {
        for (size_t done = 0; done < bytes.size();) {
            const ssize_t written =
                pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
            if (written <= 0)
                throw veld::Error("cannot write " + path_);
            done += static_cast<size_t>(written);
        }
    }

    std::string path_;
    int fd_;
    uint64_t size_ = 0;
};

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
        const std::vector<uint8_t> jpeg = ReadWhole(paths[0]);
        size_t imageBytes = 0;
        if (decodeOnly) {
            imageBytes = veld::DecodeJpeg(jpeg, options).pixels.size();
        } else {
            FileOutput out(paths[1]);
            veld::DecodeJpegToBmp(jpeg, options, out);
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
