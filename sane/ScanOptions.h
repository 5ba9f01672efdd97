#pragma once
// The backend's options, with SANE's well-known names, units and
// constraints: their values and which are active in which mode, and the
// scan request and image parameters they make.
#include "ScanJob.h"

#include <sane/sane.h>

#include <array>

enum OptionIndex : int {
    OPT_NUM_OPTIONS,
    OPT_MODE_GROUP,
    OPT_MODE,
    OPT_RESOLUTION,
    OPT_SOURCE,
    OPT_PREVIEW,
    OPT_GEOMETRY_GROUP,
    OPT_TL_X,
    OPT_TL_Y,
    OPT_BR_X,
    OPT_BR_Y,
    OPT_ENHANCEMENT_GROUP,
    OPT_BRIGHTNESS,
    OPT_CONTRAST,
    OPT_THRESHOLD,
    OPTION_COUNT
};

// A preview scans at the source's preview resolution, whatever is chosen.
constexpr int kPreviewResolution = 50;

class ScanOptions {
public:
    ScanOptions();

    // Null for an index that names no option.
    const SANE_Option_Descriptor* descriptor(int index) const;
    // value holds the option's size in bytes.
    SANE_Status get(int index, void* value) const;
    // A number outside its constraint is fitted to it, written back into
    // value and reported with SANE_INFO_INEXACT; a string that is not in
    // its list is refused. A change of mode changes which options are
    // active (SANE_INFO_RELOAD_OPTIONS).
    SANE_Status set(int index, void* value, SANE_Int* info);

    ScanRequest request() const;
    // The image of the request as delivered (fitted to the requested
    // resolution); false when the device cannot scan it (an empty frame).
    bool imageGeometry(ScanImageGeometry* geometry) const;

private:
    void setActive(int index, bool active);
    void updateActivity();

    std::array<SANE_Option_Descriptor, OPTION_COUNT> descriptors_{};
    std::array<SANE_Word, OPTION_COUNT> values_{};  // string options: the index in their list
};

// The frame of the image, as sane_get_parameters reports it.
SANE_Parameters parametersFor(const ScanImageGeometry& geometry);

// Millimetres (SANE_Fixed) to the scan frame's 1/4800 inch, to the nearest unit.
int32_t frameUnits(SANE_Fixed millimetres);
