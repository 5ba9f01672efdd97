#pragma once
// Binary PGM (P5) and PPM (P6) images with 8-bit samples: what the stream
// tool reads and writes.
#include <cstdint>
#include <string>
#include <vector>

namespace scanstream {

struct NetpbmImage {
    int width = 0;
    int height = 0;
    int channels = 0;  // 1 (PGM) or 3 (PPM)
    std::vector<uint8_t> pixels;
};

// The header line for a PGM or PPM of this size.
std::string netpbmHeader(int width, int height, int channels);

// Parses a whole file; on failure returns false and says why in *error.
bool parseNetpbm(const std::vector<uint8_t>& file, NetpbmImage* image, std::string* error);

}  // namespace scanstream
