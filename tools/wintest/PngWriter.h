#pragma once
// A minimal PNG writer for screenshots: 24-bit RGB rows, stored (not
// compressed) deflate blocks. Portable; no dependencies.
#include <cstdint>
#include <string>
#include <vector>

namespace wintest {

// rgb holds height rows of width * 3 bytes, top row first.
std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);
bool WritePngFile(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace wintest
