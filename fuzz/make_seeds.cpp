// Writes the fuzzer's starting corpus: one small file for each way a JPEG can be laid
// out that decoding treats differently. Usage: make_seeds <folder>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "JpegFixture.h"

namespace {

struct Seed {
    const char* name;
    int width, height;
    J_COLOR_SPACE input;
    J_COLOR_SPACE stored;  // JCS_UNKNOWN keeps libjpeg's choice for the input
    int lumaSampling;      // 1: 4:4:4, 2: 4:2:0
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

bool Write(const Seed& seed, const std::string& folder)
{
    fixture::JpegRecipe recipe;
    recipe.width = seed.width;
    recipe.height = seed.height;
    recipe.input = seed.input;
    recipe.stored = seed.stored;
    recipe.quality = 75;
    recipe.lumaSampling = seed.lumaSampling;
    recipe.progressive = seed.progressive;
    recipe.arithmetic = seed.arithmetic;
    recipe.restartRows = seed.restartRows;
    recipe.sample = [](int x, int y, int c) {
        return static_cast<uint8_t>(x * 5 + y * 3 + c * 60 + ((x ^ y) & 7) * 9);
    };
    const std::vector<uint8_t> jpeg = fixture::EncodeJpeg(recipe);

    const std::string path = folder + "/" + seed.name + ".jpg";
    std::FILE* file = std::fopen(path.c_str(), "wb");
    const bool written = file != nullptr && std::fwrite(jpeg.data(), 1, jpeg.size(), file) == jpeg.size();
    if (file != nullptr && std::fclose(file) != 0)
        return false;
    return written;
}

}  // namespace

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
