#include "ScanOptions.h"

#include <sane/saneopts.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct ScanOptionsTest : ::testing::Test {
    ScanOptions options;

    SANE_Int setWord(int index, SANE_Word value, SANE_Word* fitted = nullptr)
    {
        SANE_Int info = -1;
        EXPECT_EQ(options.set(index, &value, &info), SANE_STATUS_GOOD) << index;
        if (fitted)
            *fitted = value;
        return info;
    }
    SANE_Status setMode(const char* mode, SANE_Int* info = nullptr)
    {
        char value[16];
        std::strcpy(value, mode);
        return options.set(OPT_MODE, value, info);
    }
    bool active(int index) const { return SANE_OPTION_IS_ACTIVE(options.descriptor(index)->cap); }
    SANE_Parameters parameters() const
    {
        ScanImageGeometry g;
        EXPECT_TRUE(options.imageGeometry(&g));
        return parametersFor(g);
    }
};

}  // namespace

TEST_F(ScanOptionsTest, WellKnownNamesUnitsAndConstraints)
{
    struct Expected {
        int index;
        const char* name;
        SANE_Value_Type type;
        SANE_Unit unit;
        SANE_Constraint_Type constraint;
    } table[] = {
        {OPT_MODE, SANE_NAME_SCAN_MODE, SANE_TYPE_STRING, SANE_UNIT_NONE, SANE_CONSTRAINT_STRING_LIST},
        {OPT_RESOLUTION, SANE_NAME_SCAN_RESOLUTION, SANE_TYPE_INT, SANE_UNIT_DPI, SANE_CONSTRAINT_WORD_LIST},
        {OPT_SOURCE, SANE_NAME_SCAN_SOURCE, SANE_TYPE_STRING, SANE_UNIT_NONE, SANE_CONSTRAINT_STRING_LIST},
        {OPT_PREVIEW, SANE_NAME_PREVIEW, SANE_TYPE_BOOL, SANE_UNIT_NONE, SANE_CONSTRAINT_NONE},
        {OPT_TL_X, SANE_NAME_SCAN_TL_X, SANE_TYPE_FIXED, SANE_UNIT_MM, SANE_CONSTRAINT_RANGE},
        {OPT_TL_Y, SANE_NAME_SCAN_TL_Y, SANE_TYPE_FIXED, SANE_UNIT_MM, SANE_CONSTRAINT_RANGE},
        {OPT_BR_X, SANE_NAME_SCAN_BR_X, SANE_TYPE_FIXED, SANE_UNIT_MM, SANE_CONSTRAINT_RANGE},
        {OPT_BR_Y, SANE_NAME_SCAN_BR_Y, SANE_TYPE_FIXED, SANE_UNIT_MM, SANE_CONSTRAINT_RANGE},
        {OPT_BRIGHTNESS, SANE_NAME_BRIGHTNESS, SANE_TYPE_INT, SANE_UNIT_PERCENT, SANE_CONSTRAINT_RANGE},
        {OPT_CONTRAST, SANE_NAME_CONTRAST, SANE_TYPE_INT, SANE_UNIT_PERCENT, SANE_CONSTRAINT_RANGE},
        {OPT_THRESHOLD, SANE_NAME_THRESHOLD, SANE_TYPE_INT, SANE_UNIT_NONE, SANE_CONSTRAINT_RANGE},
    };
    for (const Expected& e : table) {
        const SANE_Option_Descriptor* d = options.descriptor(e.index);
        ASSERT_NE(d, nullptr);
        EXPECT_STREQ(d->name, e.name);
        EXPECT_EQ(d->type, e.type) << e.name;
        EXPECT_EQ(d->unit, e.unit) << e.name;
        EXPECT_EQ(d->constraint_type, e.constraint) << e.name;
    }
    const SANE_Word* resolutions = options.descriptor(OPT_RESOLUTION)->constraint.word_list;
    EXPECT_EQ(std::vector<SANE_Word>(resolutions, resolutions + 9),
              (std::vector<SANE_Word>{8, 50, 75, 100, 150, 200, 300, 400, 600}));
    EXPECT_EQ(options.descriptor(OPT_BR_X)->constraint.range->max, SANE_FIX(215.9));
    EXPECT_EQ(options.descriptor(OPT_BR_Y)->constraint.range->max, SANE_FIX(355.6));
    EXPECT_EQ(options.descriptor(OPTION_COUNT), nullptr);
    SANE_Word count = 0;
    EXPECT_EQ(options.get(OPT_NUM_OPTIONS, &count), SANE_STATUS_GOOD);
    EXPECT_EQ(count, OPTION_COUNT);
}

TEST_F(ScanOptionsTest, TheModeDecidesWhichEnhancementsAreActive)
{
    EXPECT_TRUE(active(OPT_BRIGHTNESS));
    EXPECT_TRUE(active(OPT_CONTRAST));
    EXPECT_FALSE(active(OPT_THRESHOLD));
    SANE_Word threshold = 100;
    EXPECT_EQ(options.set(OPT_THRESHOLD, &threshold, nullptr), SANE_STATUS_INVAL);
    EXPECT_EQ(options.get(OPT_THRESHOLD, &threshold), SANE_STATUS_INVAL);

    SANE_Int info = 0;
    ASSERT_EQ(setMode("Lineart", &info), SANE_STATUS_GOOD);
    EXPECT_EQ(info, SANE_INFO_RELOAD_OPTIONS | SANE_INFO_RELOAD_PARAMS);
    EXPECT_FALSE(active(OPT_BRIGHTNESS));
    EXPECT_FALSE(active(OPT_CONTRAST));
    EXPECT_TRUE(active(OPT_THRESHOLD));
    EXPECT_EQ(setWord(OPT_THRESHOLD, 90), 0);

    ASSERT_EQ(setMode("Gray"), SANE_STATUS_GOOD);
    EXPECT_TRUE(active(OPT_BRIGHTNESS));
    EXPECT_FALSE(active(OPT_THRESHOLD));
    EXPECT_EQ(setMode("Halftone"), SANE_STATUS_INVAL);
    char mode[16] = {};
    ASSERT_EQ(options.get(OPT_MODE, mode), SANE_STATUS_GOOD);
    EXPECT_STREQ(mode, "Gray");
}

TEST_F(ScanOptionsTest, ValuesOutsideTheirConstraintAreFittedAndSaidToBeInexact)
{
    struct Case {
        int index;
        SANE_Word requested;
        SANE_Word fitted;
        SANE_Int info;
    } cases[] = {
        {OPT_RESOLUTION, 180, 200, SANE_INFO_INEXACT | SANE_INFO_RELOAD_PARAMS},
        {OPT_RESOLUTION, 260, 300, SANE_INFO_INEXACT | SANE_INFO_RELOAD_PARAMS},
        {OPT_RESOLUTION, 2400, 600, SANE_INFO_INEXACT | SANE_INFO_RELOAD_PARAMS},
        {OPT_RESOLUTION, 600, 600, SANE_INFO_RELOAD_PARAMS},
        {OPT_BRIGHTNESS, 100, 60, SANE_INFO_INEXACT},
        {OPT_CONTRAST, -40, -35, SANE_INFO_INEXACT},
        {OPT_CONTRAST, 20, 20, 0},
        {OPT_TL_X, SANE_FIX(300), SANE_FIX(215.9), SANE_INFO_INEXACT | SANE_INFO_RELOAD_PARAMS},
        {OPT_BR_Y, SANE_FIX(-1), 0, SANE_INFO_INEXACT | SANE_INFO_RELOAD_PARAMS},
    };
    for (const Case& c : cases) {
        SANE_Word value = 0;
        EXPECT_EQ(setWord(c.index, c.requested, &value), c.info) << c.index << " " << c.requested;
        EXPECT_EQ(value, c.fitted) << c.index << " " << c.requested;
        SANE_Word stored = 0;
        options.get(c.index, &stored);
        EXPECT_EQ(stored, c.fitted);
    }
    SANE_Word notABool = 2;
    EXPECT_EQ(options.set(OPT_PREVIEW, &notABool, nullptr), SANE_STATUS_INVAL);
    SANE_Word count = 3;
    EXPECT_EQ(options.set(OPT_NUM_OPTIONS, &count, nullptr), SANE_STATUS_INVAL);
}

TEST_F(ScanOptionsTest, ParametersFollowModeResolutionAndGeometry)
{
    struct Case {
        const char* mode;
        SANE_Word resolution;
        double left, top, right, bottom;  // millimetres
        SANE_Frame format;
        SANE_Int depth, pixels, lines, bytesPerLine;
    } cases[] = {
        {"Color", 300, 0, 0, 215.9, 279.4, SANE_FRAME_RGB, 8, 2550, 3300, 7650},
        {"Gray", 150, 0, 0, 215.9, 355.6, SANE_FRAME_GRAY, 8, 1275, 2100, 1275},
        {"Lineart", 600, 0, 0, 215.9, 25.4, SANE_FRAME_GRAY, 1, 5100, 600, 638},
        {"Lineart", 150, 10, 0, 20.5, 10, SANE_FRAME_GRAY, 1, 62, 59, 8},
        // Resolutions the device does not scan: the size fitted to.
        {"Color", 400, 0, 0, 215.9, 279.4, SANE_FRAME_RGB, 8, 3400, 4400, 10200},
        {"Lineart", 50, 0, 0, 215.9, 279.4, SANE_FRAME_GRAY, 1, 425, 550, 54},
        // A corner set past its opposite: the frame between them.
        {"Gray", 300, 50.8, 25.4, 25.4, 0, SANE_FRAME_GRAY, 8, 300, 300, 300},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.mode << " " << c.resolution << " " << c.right);
        ASSERT_EQ(setMode(c.mode), SANE_STATUS_GOOD);
        setWord(OPT_RESOLUTION, c.resolution);
        setWord(OPT_TL_X, SANE_FIX(c.left));
        setWord(OPT_TL_Y, SANE_FIX(c.top));
        setWord(OPT_BR_X, SANE_FIX(c.right));
        setWord(OPT_BR_Y, SANE_FIX(c.bottom));
        SANE_Parameters p = parameters();
        EXPECT_EQ(p.format, c.format);
        EXPECT_EQ(p.last_frame, SANE_TRUE);
        EXPECT_EQ(p.depth, c.depth);
        EXPECT_EQ(p.pixels_per_line, c.pixels);
        EXPECT_EQ(p.lines, c.lines);
        EXPECT_EQ(p.bytes_per_line, c.bytesPerLine);
    }
    setWord(OPT_PREVIEW, SANE_TRUE);
    EXPECT_EQ(parameters().pixels_per_line, 50);
    setWord(OPT_BR_X, SANE_FIX(50.8));  // as wide as the left edge is far: nothing to scan
    ScanImageGeometry g;
    EXPECT_FALSE(options.imageGeometry(&g));
}

TEST_F(ScanOptionsTest, TheRequestCarriesTheSettingsTheEngineUses)
{
    char adf[8] = "ADF";
    ASSERT_EQ(options.set(OPT_SOURCE, adf, nullptr), SANE_STATUS_GOOD);
    setWord(OPT_BRIGHTNESS, -12);
    setWord(OPT_CONTRAST, 30);
    setWord(OPT_TL_Y, SANE_FIX(25.4));
    ScanRequest r = options.request();
    EXPECT_TRUE(r.feederEnabled);
    EXPECT_EQ(r.parameters.feederChecked, 1);
    EXPECT_EQ(r.parameters.pixelType, PIXEL_TYPE_COLOUR);
    EXPECT_EQ(r.parameters.resolution, 300);
    EXPECT_EQ(r.parameters.brightness, -12);
    EXPECT_EQ(r.parameters.contrast, 30);
    EXPECT_EQ(r.parameters.left, 0);
    EXPECT_EQ(r.parameters.top, 4800);
    EXPECT_EQ(r.parameters.right, 40800);
    EXPECT_EQ(r.parameters.bottom, 52800);
    ASSERT_EQ(setMode("Lineart"), SANE_STATUS_GOOD);
    setWord(OPT_THRESHOLD, 200);
    r = options.request();
    EXPECT_EQ(r.parameters.pixelType, PIXEL_TYPE_BLACK_WHITE);
    EXPECT_EQ(r.parameters.threshold, 200);
}
