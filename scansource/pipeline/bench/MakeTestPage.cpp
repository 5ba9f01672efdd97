// make_test_page WIDTH HEIGHT CHANNELS OUT: writes the benchmark's page as a
// binary PGM (1 channel) or PPM (3 channels).
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "TestImages.h"

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: make_test_page WIDTH HEIGHT CHANNELS OUT\n");
        return 2;
    }
    int width = std::atoi(argv[1]), height = std::atoi(argv[2]), channels = std::atoi(argv[3]);
    if (width < 1 || height < 1 || (channels != 1 && channels != 3)) {
        std::fprintf(stderr, "make_test_page: bad size\n");
        return 2;
    }
    std::vector<uint8_t> page = scancodec::makeTestPage(width, height, channels);
    FILE* out = std::fopen(argv[4], "wb");
    if (!out) {
        std::perror(argv[4]);
        return 1;
    }
    std::fprintf(out, "P%d\n%d %d\n255\n", channels == 3 ? 6 : 5, width, height);
    bool written = std::fwrite(page.data(), 1, page.size(), out) == page.size();
    if (std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "make_test_page: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
