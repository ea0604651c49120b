// JPEG files made on the spot with libjpeg's compressor, for tests, fuzzing seeds and
// benchmarks: every fixture is generated, none is committed.
#pragma once

#include <cstdint>
#include <cstdio>  // jpeglib.h uses FILE without including anything
#include <cstdlib>
#include <functional>
#include <vector>

#include <jpeglib.h>

namespace fixture {

struct JpegRecipe {
    int width = 96;
    int height = 64;
    J_COLOR_SPACE input = JCS_RGB;       // JCS_RGB, JCS_GRAYSCALE or JCS_CMYK
    J_COLOR_SPACE stored = JCS_UNKNOWN;  // JCS_YCCK and the like; unknown keeps libjpeg's choice
    int quality = 85;
    int lumaSampling = 0;  // 1: 4:4:4, 2: 4:2:0, 0: libjpeg's choice
    bool progressive = false;
    bool arithmetic = false;
    unsigned restartRows = 0;
    std::vector<jpeg_scan_info> scans;  // a scan script of its own
    // Sample c of pixel (x, y); empty: something like a photo.
    std::function<uint8_t(int x, int y, int c)> sample;
};

// Gradients, a wave and grain, so every decoding step matters.
inline uint8_t PhotoSample(int x, int y, int c, int width, int height)
{
    uint32_t h = static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^
                 static_cast<uint32_t>(c + 1) * 83492791u;
    h = (h ^ (h >> 13)) * 0x5bd1e995u;
    const int wave = ((x / 7 + y / 5 + c * 3) % 16) * 4;
    const int gradient = (x * 160 / width + y * 96 / height + c * 40) % 200;
    return static_cast<uint8_t>(gradient + wave / 2 + static_cast<int>(h >> 28));
}

inline std::vector<uint8_t> EncodeJpeg(const JpegRecipe& recipe)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(recipe.width);
    cinfo.image_height = static_cast<JDIMENSION>(recipe.height);
    cinfo.input_components = recipe.input == JCS_GRAYSCALE ? 1 : recipe.input == JCS_CMYK ? 4 : 3;
    cinfo.in_color_space = recipe.input;
    jpeg_set_defaults(&cinfo);
    if (recipe.stored != JCS_UNKNOWN)
        jpeg_set_colorspace(&cinfo, recipe.stored);
    jpeg_set_quality(&cinfo, recipe.quality, TRUE);
    if (recipe.lumaSampling)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = recipe.lumaSampling;
    cinfo.arith_code = recipe.arithmetic ? TRUE : FALSE;
    cinfo.restart_in_rows = static_cast<int>(recipe.restartRows);
    if (recipe.progressive)
        jpeg_simple_progression(&cinfo);
    if (!recipe.scans.empty()) {
        cinfo.scan_info = recipe.scans.data();
        cinfo.num_scans = static_cast<int>(recipe.scans.size());
    }
    jpeg_start_compress(&cinfo, TRUE);
    const int components = cinfo.input_components;
    std::vector<uint8_t> row(static_cast<size_t>(recipe.width) * static_cast<size_t>(components));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < recipe.width; ++x)
            for (int c = 0; c < components; ++c)
                row[static_cast<size_t>(x) * components + c] =
                    recipe.sample ? recipe.sample(x, y, c) : PhotoSample(x, y, c, recipe.width, recipe.height);
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> file(buffer, buffer + size);
    std::free(buffer);
    return file;
}

}  // namespace fixture
