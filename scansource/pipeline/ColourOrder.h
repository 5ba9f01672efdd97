#pragma once
// The order of a colour pixel's three bytes in the decoder's output rows.
namespace scancodec {

enum class ColourOrder {
    RedFirst,   // R, G, B: as the device codes them
    BlueFirst,  // B, G, R: as a DIB holds them, so rows can be decoded into one
};

}  // namespace scancodec
