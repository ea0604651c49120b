// Writes the fuzzer's starting corpus: one small file for each way a JPEG can be laid
// out that decoding treats differently. Usage: make_seeds <folder>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace {

struct Seed {
    const char* name;
    int width, height;
    J_COLOR_SPACE input;
    J_COLOR_SPACE stored; // JCS_UNKNOWN keeps libjpeg's choice for the input
    int lumaSampling;     // 1: 4:4:4, 2: 4:2:0
    bool progressive;
    bool arithmetic;
    unsigned restartRows;
};

const Seed kSeeds[] = {
    {"baseline420", 48, 32, JCS_RGB, JCS_UNKNOWN, 2, false, false, 0},
    {"baseline444-odd", 17, 9, JCS_RGB, JCS_UNKNOWN, 1, false, false, 0},
    {"grey", 40, 24, JCS_GRAYSCALE, JCS_UNKNOWN, 1, false, false, 0},
    {"progressive", 48, 32, JCS_RGB, JCS_UNKNOWN, 2, true, false, 0},
    {"progressive-grey", 33, 20, JCS_GRAYSCALE, JCS_UNKNOWN, 1, true, false, 0},
    {"restarts", 64, 48, JCS_RGB, JCS_UNKNOWN, 2, false, false, 1},
    {"arithmetic", 32, 32, JCS_RGB, JCS_UNKNOWN, 2, false, true, 0},
    {"arithmetic-progressive", 32, 32, JCS_RGB, JCS_UNKNOWN, 2, true, true, 0},
    {"stored-rgb", 24, 16, JCS_RGB, JCS_RGB, 1, false, false, 0},
    {"cmyk", 16, 16, JCS_CMYK, JCS_UNKNOWN, 1, false, false, 0},
    {"ycck", 16, 16, JCS_CMYK, JCS_YCCK, 2, false, false, 0},
};

uint8_t Sample(int x, int y, int c)
{
    return static_cast<uint8_t>(x * 5 + y * 3 + c * 60 + ((x ^ y) & 7) * 9);
}

bool Write(const Seed& seed, const std::string& folder)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(seed.width);
    cinfo.image_height = static_cast<JDIMENSION>(seed.height);
    cinfo.input_components = seed.input == JCS_GRAYSCALE ? 1 : seed.input == JCS_CMYK ? 4 : 3;
    cinfo.in_color_space = seed.input;
    jpeg_set_defaults(&cinfo);
    if (seed.stored != JCS_UNKNOWN)
        jpeg_set_colorspace(&cinfo, seed.stored);
    jpeg_set_quality(&cinfo, 75, TRUE);
    cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = seed.lumaSampling;
    cinfo.arith_code = seed.arithmetic ? TRUE : FALSE;
    cinfo.restart_in_rows = static_cast<int>(seed.restartRows);
    if (seed.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(seed.width) * cinfo.input_components);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < seed.width; ++x)
            for (int c = 0; c < cinfo.input_components; ++c)
                row[static_cast<size_t>(x) * cinfo.input_components + c] =
                    Sample(x, static_cast<int>(cinfo.next_scanline), c);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);

    const std::string path = folder + "/" + seed.name + ".jpg";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file != nullptr && std::fwrite(buffer, 1, size, file) == size;
    if (file != nullptr && std::fclose(file) != 0)
        return false;
    std::free(buffer);
    return written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_seeds <folder>\n");
        return 2;
    }
    for (const Seed& seed : kSeeds) {
        if (!Write(seed, argv[1])) {
            std::fprintf(stderr, "make_seeds: cannot write %s into %s\n", seed.name, argv[1]);
            return 1;
        }
    }
    return 0;
}
