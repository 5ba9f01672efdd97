#include "ScanOptions.h"

#include "StreamingRows.h"

#include <sane/saneopts.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

enum Mode : SANE_Word { MODE_COLOR, MODE_GRAY, MODE_LINEART };
enum Source : SANE_Word { SOURCE_FLATBED, SOURCE_ADF };

const SANE_String_Const kModes[] = {SANE_VALUE_SCAN_MODE_COLOR, SANE_VALUE_SCAN_MODE_GRAY,
                                    SANE_VALUE_SCAN_MODE_LINEART, nullptr};
const SANE_String_Const kSources[] = {"Flatbed", "ADF", nullptr};
// The source's own resolutions (150, 300, 600), the device's lower steps,
// the source's preview resolution (50, scanned at 75) and 400 (scanned at
// 600); the last two are fitted on the way.
const SANE_Word kResolutions[] = {8, 50, 75, 100, 150, 200, 300, 400, 600};
// The bed: 8.5 by 14 inches.
const SANE_Range kWidthRange = {0, SANE_FIX(215.9), 0};
const SANE_Range kHeightRange = {0, SANE_FIX(355.6), 0};
// The settings window's steps in percent, as the engine takes them.
const SANE_Range kBrightnessRange = {-60, 60, 1};
const SANE_Range kContrastRange = {-35, 35, 1};
const SANE_Range kThresholdRange = {0, 255, 1};

constexpr SANE_Int kSettable = SANE_CAP_SOFT_SELECT | SANE_CAP_SOFT_DETECT;
constexpr int kUnitsPerInch = 4800;

SANE_Option_Descriptor group(const char* title, const char* description)
{
    SANE_Option_Descriptor d{};
    d.name = "";
    d.title = title;
    d.desc = description;
    d.type = SANE_TYPE_GROUP;
    d.constraint_type = SANE_CONSTRAINT_NONE;
    return d;
}

SANE_Option_Descriptor stringList(const char* name, const char* title, const char* description,
                                  const SANE_String_Const* list)
{
    SANE_Option_Descriptor d{};
    d.name = name;
    d.title = title;
    d.desc = description;
    d.type = SANE_TYPE_STRING;
    d.unit = SANE_UNIT_NONE;
    size_t longest = 0;
    for (const SANE_String_Const* s = list; *s; ++s)
        longest = std::max(longest, std::strlen(*s));
    d.size = static_cast<SANE_Int>(longest + 1);
    d.cap = kSettable;
    d.constraint_type = SANE_CONSTRAINT_STRING_LIST;
    d.constraint.string_list = list;
    return d;
}

SANE_Option_Descriptor ranged(const char* name, const char* title, const char* description, SANE_Value_Type type,
                              SANE_Unit unit, const SANE_Range* range)
{
    SANE_Option_Descriptor d{};
    d.name = name;
    d.title = title;
    d.desc = description;
    d.type = type;
    d.unit = unit;
    d.size = sizeof(SANE_Word);
    d.cap = kSettable;
    d.constraint_type = SANE_CONSTRAINT_RANGE;
    d.constraint.range = range;
    return d;
}

SANE_Word fitRange(const SANE_Range& range, SANE_Word value)
{
    value = std::clamp(value, range.min, range.max);
    if (range.quant > 0) {
        SANE_Word steps = (value - range.min + range.quant / 2) / range.quant;
        value = std::min(range.min + steps * range.quant, range.max);
    }
    return value;
}

SANE_Word nearestInList(const SANE_Word* list, SANE_Word value)
{
    SANE_Word best = list[1];
    for (SANE_Word i = 1; i <= list[0]; ++i) {
        if (std::abs(static_cast<long>(list[i]) - value) < std::abs(static_cast<long>(best) - value))
            best = list[i];
    }
    return best;
}

}  // namespace

int32_t frameUnits(SANE_Fixed millimetres)
{
    return static_cast<int32_t>(std::lround(SANE_UNFIX(millimetres) * kUnitsPerInch / 25.4));
}

ScanOptions::ScanOptions()
{
    SANE_Option_Descriptor& count = descriptors_[OPT_NUM_OPTIONS];
    count.name = SANE_NAME_NUM_OPTIONS;
    count.title = SANE_TITLE_NUM_OPTIONS;
    count.desc = SANE_DESC_NUM_OPTIONS;
    count.type = SANE_TYPE_INT;
    count.size = sizeof(SANE_Word);
    count.cap = SANE_CAP_SOFT_DETECT;
    values_[OPT_NUM_OPTIONS] = OPTION_COUNT;

    descriptors_[OPT_MODE_GROUP] = group(SANE_TITLE_STANDARD, SANE_DESC_STANDARD);
    descriptors_[OPT_MODE] = stringList(SANE_NAME_SCAN_MODE, SANE_TITLE_SCAN_MODE, SANE_DESC_SCAN_MODE, kModes);
    SANE_Option_Descriptor& resolution = descriptors_[OPT_RESOLUTION];
    resolution = ranged(SANE_NAME_SCAN_RESOLUTION, SANE_TITLE_SCAN_RESOLUTION, SANE_DESC_SCAN_RESOLUTION,
                        SANE_TYPE_INT, SANE_UNIT_DPI, nullptr);
    resolution.constraint_type = SANE_CONSTRAINT_WORD_LIST;
    resolution.constraint.word_list = kResolutions;
    descriptors_[OPT_SOURCE] =
        stringList(SANE_NAME_SCAN_SOURCE, SANE_TITLE_SCAN_SOURCE, SANE_DESC_SCAN_SOURCE, kSources);
    SANE_Option_Descriptor& preview = descriptors_[OPT_PREVIEW];
    preview = ranged(SANE_NAME_PREVIEW, SANE_TITLE_PREVIEW, SANE_DESC_PREVIEW, SANE_TYPE_BOOL, SANE_UNIT_NONE,
                     nullptr);
    preview.constraint_type = SANE_CONSTRAINT_NONE;

    descriptors_[OPT_GEOMETRY_GROUP] = group(SANE_TITLE_GEOMETRY, SANE_DESC_GEOMETRY);
    descriptors_[OPT_TL_X] = ranged(SANE_NAME_SCAN_TL_X, SANE_TITLE_SCAN_TL_X, SANE_DESC_SCAN_TL_X, SANE_TYPE_FIXED,
                                    SANE_UNIT_MM, &kWidthRange);
    descriptors_[OPT_TL_Y] = ranged(SANE_NAME_SCAN_TL_Y, SANE_TITLE_SCAN_TL_Y, SANE_DESC_SCAN_TL_Y, SANE_TYPE_FIXED,
                                    SANE_UNIT_MM, &kHeightRange);
    descriptors_[OPT_BR_X] = ranged(SANE_NAME_SCAN_BR_X, SANE_TITLE_SCAN_BR_X, SANE_DESC_SCAN_BR_X, SANE_TYPE_FIXED,
                                    SANE_UNIT_MM, &kWidthRange);
    descriptors_[OPT_BR_Y] = ranged(SANE_NAME_SCAN_BR_Y, SANE_TITLE_SCAN_BR_Y, SANE_DESC_SCAN_BR_Y, SANE_TYPE_FIXED,
                                    SANE_UNIT_MM, &kHeightRange);

    descriptors_[OPT_ENHANCEMENT_GROUP] = group(SANE_TITLE_ENHANCEMENT, SANE_DESC_ENHANCEMENT);
    descriptors_[OPT_BRIGHTNESS] = ranged(SANE_NAME_BRIGHTNESS, SANE_TITLE_BRIGHTNESS, SANE_DESC_BRIGHTNESS,
                                          SANE_TYPE_INT, SANE_UNIT_PERCENT, &kBrightnessRange);
    descriptors_[OPT_CONTRAST] = ranged(SANE_NAME_CONTRAST, SANE_TITLE_CONTRAST, SANE_DESC_CONTRAST, SANE_TYPE_INT,
                                        SANE_UNIT_PERCENT, &kContrastRange);
    descriptors_[OPT_THRESHOLD] = ranged(SANE_NAME_THRESHOLD, SANE_TITLE_THRESHOLD, SANE_DESC_THRESHOLD,
                                         SANE_TYPE_INT, SANE_UNIT_NONE, &kThresholdRange);

    // The engine's own defaults: colour at 300 dpi over a letter page.
    const ScanParameters defaults;
    values_[OPT_MODE] = MODE_COLOR;
    values_[OPT_RESOLUTION] = defaults.resolution;
    values_[OPT_SOURCE] = SOURCE_FLATBED;
    values_[OPT_PREVIEW] = SANE_FALSE;
    values_[OPT_TL_X] = 0;
    values_[OPT_TL_Y] = 0;
    values_[OPT_BR_X] = SANE_FIX(215.9);
    values_[OPT_BR_Y] = SANE_FIX(279.4);
    values_[OPT_BRIGHTNESS] = defaults.brightness;
    values_[OPT_CONTRAST] = defaults.contrast;
    values_[OPT_THRESHOLD] = defaults.threshold;
    updateActivity();
}

const SANE_Option_Descriptor* ScanOptions::descriptor(int index) const
{
    return index >= 0 && index < OPTION_COUNT ? &descriptors_[static_cast<size_t>(index)] : nullptr;
}

void ScanOptions::setActive(int index, bool active)
{
    SANE_Int& cap = descriptors_[static_cast<size_t>(index)].cap;
    cap = active ? cap & ~SANE_CAP_INACTIVE : cap | SANE_CAP_INACTIVE;
}

// Line art has a threshold and no brightness or contrast (the device gets
// neither for black and white); grey and colour the other way round.
void ScanOptions::updateActivity()
{
    bool lineArt = values_[OPT_MODE] == MODE_LINEART;
    setActive(OPT_BRIGHTNESS, !lineArt);
    setActive(OPT_CONTRAST, !lineArt);
    setActive(OPT_THRESHOLD, lineArt);
}

SANE_Status ScanOptions::get(int index, void* value) const
{
    const SANE_Option_Descriptor* d = descriptor(index);
    if (!d || !value || d->type == SANE_TYPE_GROUP || !SANE_OPTION_IS_ACTIVE(d->cap))
        return SANE_STATUS_INVAL;
    SANE_Word word = values_[static_cast<size_t>(index)];
    if (d->type == SANE_TYPE_STRING)
        std::strcpy(static_cast<char*>(value), d->constraint.string_list[word]);
    else
        *static_cast<SANE_Word*>(value) = word;
    return SANE_STATUS_GOOD;
}

SANE_Status ScanOptions::set(int index, void* value, SANE_Int* info)
{
    const SANE_Option_Descriptor* d = descriptor(index);
    if (!d || !value || !SANE_OPTION_IS_SETTABLE(d->cap) || !SANE_OPTION_IS_ACTIVE(d->cap))
        return SANE_STATUS_INVAL;
    SANE_Int changes = 0;
    SANE_Word word = 0;
    if (d->type == SANE_TYPE_STRING) {
        const char* text = static_cast<const char*>(value);
        const SANE_String_Const* list = d->constraint.string_list;
        SANE_Word found = -1;
        for (SANE_Word i = 0; list[i]; ++i) {
            if (std::strcmp(list[i], text) == 0)
                found = i;
        }
        if (found < 0)
            return SANE_STATUS_INVAL;
        word = found;
    } else {
        SANE_Word requested = *static_cast<SANE_Word*>(value);
        if (d->type == SANE_TYPE_BOOL && requested != SANE_FALSE && requested != SANE_TRUE)
            return SANE_STATUS_INVAL;
        word = requested;
        if (d->constraint_type == SANE_CONSTRAINT_RANGE)
            word = fitRange(*d->constraint.range, requested);
        else if (d->constraint_type == SANE_CONSTRAINT_WORD_LIST)
            word = nearestInList(d->constraint.word_list, requested);
        if (word != requested) {
            *static_cast<SANE_Word*>(value) = word;
            changes |= SANE_INFO_INEXACT;
        }
    }
    values_[static_cast<size_t>(index)] = word;
    switch (index) {
    case OPT_MODE:
        updateActivity();
        changes |= SANE_INFO_RELOAD_OPTIONS | SANE_INFO_RELOAD_PARAMS;
        break;
    case OPT_RESOLUTION:
    case OPT_PREVIEW:
    case OPT_TL_X:
    case OPT_TL_Y:
    case OPT_BR_X:
    case OPT_BR_Y:
        changes |= SANE_INFO_RELOAD_PARAMS;
        break;
    default:
        break;
    }
    if (info)
        *info = changes;
    return SANE_STATUS_GOOD;
}

ScanRequest ScanOptions::request() const
{
    ScanRequest request;
    ScanParameters& p = request.parameters;
    static const int32_t kPixelTypes[] = {PIXEL_TYPE_COLOUR, PIXEL_TYPE_GREY, PIXEL_TYPE_BLACK_WHITE};
    p.pixelType = kPixelTypes[values_[OPT_MODE]];
    p.resolution = values_[OPT_PREVIEW] ? kPreviewResolution : values_[OPT_RESOLUTION];
    // Front ends may set a corner past its opposite while they move the frame.
    p.left = frameUnits(std::min(values_[OPT_TL_X], values_[OPT_BR_X]));
    p.right = frameUnits(std::max(values_[OPT_TL_X], values_[OPT_BR_X]));
    p.top = frameUnits(std::min(values_[OPT_TL_Y], values_[OPT_BR_Y]));
    p.bottom = frameUnits(std::max(values_[OPT_TL_Y], values_[OPT_BR_Y]));
    p.paperSize = 0;
    p.brightness = static_cast<int16_t>(values_[OPT_BRIGHTNESS]);
    p.contrast = static_cast<int16_t>(values_[OPT_CONTRAST]);
    p.threshold = static_cast<int16_t>(values_[OPT_THRESHOLD]);
    bool feeder = values_[OPT_SOURCE] == SOURCE_ADF;
    request.feederEnabled = feeder;
    p.feederChecked = feeder;
    return request;
}

bool ScanOptions::imageGeometry(ScanImageGeometry* geometry) const
{
    ScanParameters clamped;
    ScanImageGeometry scanned;
    if (!scanGeometryFor(request().parameters, &clamped, &scanned))
        return false;
    *geometry = fittedGeometry(clamped, scanned);
    return true;
}

SANE_Parameters parametersFor(const ScanImageGeometry& g)
{
    SANE_Parameters p{};
    p.format = g.channels == 3 ? SANE_FRAME_RGB : SANE_FRAME_GRAY;
    p.last_frame = SANE_TRUE;
    p.pixels_per_line = g.width;
    p.lines = g.height;
    if (g.pixelType == PIXEL_TYPE_BLACK_WHITE) {
        p.depth = 1;
        p.bytes_per_line = (g.width + 7) / 8;
    } else {
        p.depth = 8;
        p.bytes_per_line = g.width * g.channels;
    }
    return p;
}
