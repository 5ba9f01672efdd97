#pragma once
// The scanner's image stream with predictor 9: every sample travels as its
// own 8 bits, so no prediction or entropy coding is needed to produce it.
#include <cstdint>
#include <cstddef>
#include <vector>

constexpr int kStreamHeaderSize = 1024;
constexpr uint8_t kRawPredictor = 9;

// The 1024-byte stream header: no line offsets, predictor 9.
std::vector<uint8_t> rawStreamHeader();

// Bytes one coded row of sampleCount samples occupies: a 16-bit row field,
// the samples, then the trailer up to the next 128-bit boundary with at
// least one 16-bit word after the 16-bit alignment.
uint32_t rawCodedRowSize(uint32_t sampleCount);

// Appends one coded row. The device sends the inverse of each grey level.
void appendRawCodedRow(const uint8_t* levels, uint32_t sampleCount, std::vector<uint8_t>& out);
