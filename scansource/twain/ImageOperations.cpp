#include "ImageOperations.h"

#include <string.h>

namespace {
// The tables are kept for the application but the scan does not apply them,
// so every request answers a failure without a condition code.
TW_UINT16 keepResponse(const TwainRequest& request, TW_ELEMENT8 (&table)[256])
{
    if (request.msg == MSG_RESET) {
        for (int i = 0; i < 256; ++i) {
            auto value = static_cast<TW_UINT8>(i);
            table[i] = TW_ELEMENT8{value, value, value, value};
        }
    } else if (request.msg == MSG_SET && request.data) {
        memcpy(table, static_cast<const TW_GRAYRESPONSE*>(request.data)->Response, sizeof table);
    }
    return TWRC_FAILURE;
}

TW_FIX32 fix32(double value)
{
    auto scaled = static_cast<TW_INT32>(value * 65536.0 + 0.5);
    return TW_FIX32{static_cast<TW_INT16>(scaled >> 16), static_cast<TW_UINT16>(scaled & 0xffff)};
}

// A linear response with unit gamma: the source does no colour conversion.
TW_TRANSFORMSTAGE identityStage()
{
    TW_TRANSFORMSTAGE stage{};
    for (TW_DECODEFUNCTION& decode : stage.Decode) {
        decode.StartIn = fix32(0.0);
        decode.BreakIn = fix32(0.5);
        decode.EndIn = fix32(1.0);
        decode.StartOut = fix32(0.0);
        decode.BreakOut = fix32(0.5);
        decode.EndOut = fix32(1.0);
        decode.Gamma = fix32(1.0);
        decode.SampleCount = fix32(0.0);
    }
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
            stage.Mix[row][column] = fix32(row == column ? 1.0 : 0.0);
    return stage;
}
}

TW_UINT16 HandleGrayResponse(const TwainRequest& request)
{
    return keepResponse(request, sourceContext().grayResponse);
}

TW_UINT16 HandleRgbResponse(const TwainRequest& request)
{
    return keepResponse(request, sourceContext().rgbResponse);
}

TW_UINT16 HandleCieColor(const TwainRequest& request)
{
    auto* color = static_cast<TW_CIECOLOR*>(request.data);
    if (!color)
        return failOperation(nullptr, TWCC_BADVALUE);
    memset(color, 0, sizeof *color);
    color->ColorSpace = TWPT_RGB;
    color->LowEndian = 0;
    color->DeviceDependent = 1;
    color->VersionNumber = 1;
    color->StageABC = identityStage();
    color->StageLMN = identityStage();
    // D65 white; black is zero.
    color->WhitePoint = TW_CIEPOINT{fix32(0.9505), fix32(1.0), fix32(1.089)};
    color->WhitePaper = color->WhitePoint;
    return TWRC_SUCCESS;
}

TW_UINT16 HandleJpegCompression(const TwainRequest&)
{
    return TWRC_SUCCESS;
}
