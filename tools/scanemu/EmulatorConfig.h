#pragma once
// What the emulated scanner has on its glass and which faults it shows.
// Written as "key = value" lines; see README.md.
#include <cstdint>
#include <string>

constexpr int kNever = -1;

struct EmulatorConfig {
    std::string pagePath;
    int deviceIndex = 0;             // answers on \\.\Usbscan<index>\0 and \1
    uint16_t vendorId = 0;           // 0: the family's ids
    uint16_t productId = 0;
    int feederDetail = 1;            // detail byte of F: 0 empty, 1 loaded, 2 absent, 3 unit open, 5 cover open
    int feederPages = kNever;        // a loaded feeder runs empty after this many pages
    bool scanCoverOpen = false;      // F answers detail 4
    double warmingSeconds = 0;       // L and F answer status 3 until then
    int notLockedDetail = kNever;    // L answers status 2 with this detail ...
    double notLockedSeconds = 0;     // ... for this long, or for ever when 0
    bool jamAtLock = false;          // L answers status 15
    int jamAtBlock = kNever;         // the data stream's block n becomes a jam status
    int garbageHeaderAtBlock = kNever;
    int overlongPayloadAtBlock = kNever;
    int64_t disconnectAtByte = kNever;  // bulk-in byte count where the device goes away
    int64_t timeoutAtByte = kNever;     // bulk-in byte count where the device stops answering
    // "... once": the fault happens the first time only. A disconnect once
    // lasts until the pipes are opened again (the device is plugged back in,
    // fresh); a time-out once until then too, and the device then sends
    // what it kept back.
    bool jamOnce = false;
    bool garbageHeaderOnce = false;
    bool overlongPayloadOnce = false;
    bool disconnectOnce = false;
    bool timeoutOnce = false;
    double stallSeconds = 0;          // bulk-in pauses this long ...
    int64_t stallAtByte = kNever;     // ... at this byte count, then goes on
    int emptyReads = 0;               // this many zero-length transfers ...
    int64_t emptyReadsAtByte = kNever;  // ... at this byte count
    int leftoverBytes = 0;            // stale bytes in the pipe at the first open
    int blockSize = 1024;
    int paddingBytes = 0;             // fill after the image's last row ...
    uint8_t paddingByte = 0;          // ... of this value
    int predictor = 0;               // of the image stream, 0..9 (9: raw samples)
    uint8_t lineOffsets[6] = {};     // red, green, blue; even and odd pixels
};

// Parses a configuration text; relative page paths are taken from baseDir.
bool parseEmulatorConfig(const std::string& text, const std::string& baseDir, EmulatorConfig& config,
                         std::string& error);

// ZVP4_EMULATOR's value: a page image (a healthy scanner with that page) or
// a configuration file.
bool loadEmulatorSetting(const std::string& path, EmulatorConfig& config, std::string& error);
