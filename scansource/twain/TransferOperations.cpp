// The image description and transfer operations. Every image comes from one
// whole scan; after each finished transfer the source asks the application
// to close it, so one enable/transfer cycle delivers one image unless the
// feeder still holds paper.
#include <cstring>

#include "DeferredOperations.h"
#include "ManagerNotifications.h"
#include "MemXferCursor.h"
#include "ScanParameters.h"
#include "ScanReplyResult.h"
#include "TransferGeometry.h"
#include "TransferOperations.h"
#include "TransferServices.h"

namespace {
const char ImageInfoFailure[] = "General failure in transfer.  ";
const char SetupMemXferFailure[] = "General failure in response to DAT_SETUPMEMXFER, not supported.  ";
const char SetupFileXferFailure[] = "General failure in response to DAT_SETUPFILEXFER, not supported.  ";
const char CreateFileFailure[] = "Unable to create file <<DAT_SETUPFILEXFER>>";
const char XferGroupFailure[] = "General failure in response to DAT_XFERGROUP, not supported.  ";
const char Palette8Failure[] = "General failure in response to DAT_PALETTE8.  ";
const char NativeXferFailure[] = "General failure in response to DAT_IMAGENATIVEXFER.  ";
const char MemXferFailure[] = "General failure in response to DAT_IMAGEMEMXFER.  ";
const char PendingXfersFailure[] = "General failure in response to DAT_PENDINGXFER.  ";

// FileXferTarget: set by DAT_SETUPFILEXFER MSG_SET, read by the file transfer.
struct FileXferTarget {
    char FileName[256];
    TW_UINT16 Format;
};

FileXferTarget fileXferTarget{{}, TWFF_BMP};
MemXferCursor memXferCursor;

bool stateIn(int lowest, int highest)
{
    int state = sourceState();
    return state >= lowest && state <= highest;
}

bool isQuery(TW_UINT16 msg)
{
    return msg == MSG_GET || msg == MSG_GETCURRENT || msg == MSG_GETDEFAULT;
}

void copyName(char (&to)[256], const char* from)
{
    size_t length = strnlen(from, sizeof to - 1);
    memcpy(to, from, length);
    memset(to + length, 0, sizeof to - length);
}

void releaseMemXferImage()
{
    if (memXferCursor.dib)
        transferServices().freeMemory(memXferCursor.dib);
    memXferCursor = MemXferCursor{};
}

bool feederHasPaper(TransferServices& services)
{
    return services.feederEnabled() && services.queryFeederStatus(1) == 0;
}

void fillPalette(TW_PALETTE8& palette, int pixelType)
{
    memset(&palette, 0, sizeof palette);
    palette.PaletteType = TWPA_RGB;
    if (pixelType == TWPT_BW) {
        // The line-art bitmap's table: white, then black.
        palette.NumColors = 2;
        palette.Colors[0] = TW_ELEMENT8{0, 255, 255, 255};
        palette.Colors[1] = TW_ELEMENT8{1, 0, 0, 0};
    } else if (pixelType == TWPT_GRAY) {
        palette.NumColors = 256;
        for (int i = 0; i < 256; ++i) {
            auto level = static_cast<TW_UINT8>(i);
            palette.Colors[i] = TW_ELEMENT8{level, level, level, level};
        }
    }
}

TW_UINT16 describeLayout(TW_IMAGELAYOUT& layout)
{
    const ScanParameters& parameters = currentScanParameters();
    int units = transferServices().currentUnits();
    auto edge = [&](int32_t value) {
        return fix32FromNumber(frameEdgeInUnits(value, units, parameters.resolution));
    };
    // The frame that will be scanned: the part of the application's frame on the bed.
    DeliveredImage image = deliveredImage(parameters);
    layout.Frame = TW_FRAME{edge(image.left), edge(image.top), edge(image.right), edge(image.bottom)};
    layout.DocumentNumber = 1;
    layout.PageNumber = 1;
    layout.FrameNumber = 1;
    return TWRC_SUCCESS;
}

TW_UINT16 takeLayout(const TW_IMAGELAYOUT& layout)
{
    ScanParameters& parameters = currentScanParameters();
    int units = transferServices().currentUnits();
    int32_t left, top, right, bottom;
    auto convert = [&](TW_FIX32 value, int32_t& edge) {
        return frameEdgeFromUnits(static_cast<float>(numberFromFix32(value)), units, parameters.resolution, edge);
    };
    if (!convert(layout.Frame.Left, left) || !convert(layout.Frame.Top, top) ||
        !convert(layout.Frame.Right, right) || !convert(layout.Frame.Bottom, bottom))
        return failOperation(nullptr, TWCC_BADVALUE);
    parameters.left = left;
    parameters.top = top;
    parameters.right = right;
    parameters.bottom = bottom;
    return TWRC_SUCCESS;
}

TW_UINT16 fileNameForApplication(TW_SETUPFILEXFER& setup)
{
    std::string path = transferServices().createTemporaryFile("ZVP4");
    if (path.empty())
        return failOperation(SetupFileXferFailure, TWCC_OPERATIONERROR);
    path += ".BMP";
    copyName(setup.FileName, path.c_str());
    setup.Format = TWFF_BMP;
    setup.VRefNum = 0;
    return TWRC_SUCCESS;
}

TW_UINT16 takeFileTarget(const TW_SETUPFILEXFER& setup)
{
    TransferServices& services = transferServices();
    copyName(fileXferTarget.FileName, setup.FileName);
    fileXferTarget.Format = setup.Format;
    services.setImageFileFormat(setup.Format);
    if (services.fileExists(fileXferTarget.FileName) || services.createEmptyFile(fileXferTarget.FileName))
        return TWRC_SUCCESS;
    return failOperation(CreateFileFailure, TWCC_BADVALUE);
}

// The application's buffer: a pointer, or a handle that is locked for the copy.
struct ApplicationBuffer {
    TW_MEMORY memory;
    void* bytes = nullptr;
    size_t length = 0;

    explicit ApplicationBuffer(const TW_MEMORY& from) : memory(from)
    {
        if (memory.Flags & TWMF_HANDLE) {
            if (!memory.TheMem)
                return;
            bytes = transferServices().lockMemory(memory.TheMem);
            size_t size = transferServices().memorySize(memory.TheMem);
            length = size < memory.Length ? size : memory.Length;
        } else {
            bytes = memory.TheMem;
            length = memory.Length;
        }
        if (!bytes)
            length = 0;
    }
    ~ApplicationBuffer()
    {
        if ((memory.Flags & TWMF_HANDLE) && bytes)
            transferServices().unlockMemory(memory.TheMem);
    }
};

TW_UINT16 sendStrip(TW_IMAGEMEMXFER& xfer)
{
    TransferServices& services = transferServices();
    TW_HANDLE dib = memXferCursor.dib;
    const auto* image = static_cast<const uint8_t*>(services.lockMemory(dib));
    DibRows layout;
    if (!image || !readDibLayout(image, services.memorySize(dib), layout)) {
        if (image)
            services.unlockMemory(dib);
        releaseMemXferImage();
        return failOperation(MemXferFailure, TWCC_OPERATIONERROR);
    }
    ApplicationBuffer buffer(xfer.Memory);
    uint32_t rows = stripRows(static_cast<uint32_t>(buffer.length), layout.bytesPerRow, layout.height,
                              memXferCursor.rowsDelivered);
    if (rows == 0) {
        // A buffer that holds no whole row would never finish the image.
        services.unlockMemory(dib);
        return failOperation(MemXferFailure, TWCC_BADVALUE);
    }
    size_t bytes = size_t(rows) * layout.bytesPerRow;
    memcpy(buffer.bytes, image + layout.firstRowOffset + size_t(memXferCursor.rowsDelivered) * layout.bytesPerRow,
           bytes);
    xfer.Compression = TWCP_NONE;
    xfer.BytesPerRow = layout.bytesPerRow;
    xfer.Columns = static_cast<TW_UINT32>(layout.width);
    xfer.Rows = rows;
    xfer.XOffset = 0;
    xfer.YOffset = memXferCursor.rowsDelivered;
    xfer.BytesWritten = static_cast<TW_UINT32>(bytes);
    memXferCursor.rowsDelivered += rows;
    services.unlockMemory(dib);
    if (memXferCursor.rowsDelivered < layout.height)
        return TWRC_SUCCESS;
    releaseMemXferImage();
    NotifyCloseDsRequest();
    return TWRC_XFERDONE;
}
}

TW_UINT16 HandleImageInfo(const TwainRequest& request)
{
    if (request.msg != MSG_GET)
        return failOperation(ImageInfoFailure, TWCC_BADPROTOCOL);
    if (!stateIn(StateOpen, StateTransferring))
        return failOperation(ImageInfoFailure, TWCC_SEQERROR);
    auto* info = static_cast<TW_IMAGEINFO*>(request.data);
    if (!info)
        return failOperation(ImageInfoFailure, TWCC_BADVALUE);
    ScanParameters& parameters = currentScanParameters();
    completeEmptyFrame(parameters);
    // The scan's own pixel type: after MSG_RESET of ICAP_PIXELTYPE the
    // capability no longer says what will be scanned.
    const int pixelType = parameters.pixelType;
    *info = describeImage(parameters, pixelType, transferServices().bitDepthOfPixelType(pixelType));
    return TWRC_SUCCESS;
}

TW_UINT16 HandleImageLayout(const TwainRequest& request)
{
    auto* layout = static_cast<TW_IMAGELAYOUT*>(request.data);
    if (request.msg == MSG_RESET)
        return TWRC_SUCCESS;
    if (!isQuery(request.msg) && request.msg != MSG_SET)
        return failOperation(nullptr, TWCC_BADPROTOCOL);
    if (!layout)
        return failOperation(nullptr, TWCC_BADVALUE);
    return request.msg == MSG_SET ? takeLayout(*layout) : describeLayout(*layout);
}

TW_UINT16 HandleSetupMemXfer(const TwainRequest& request)
{
    if (request.msg != MSG_GET)
        return failOperation(SetupMemXferFailure, TWCC_BADPROTOCOL);
    if (!stateIn(StateOpen, StateTransferReady))
        return failOperation(SetupMemXferFailure, TWCC_SEQERROR);
    auto* setup = static_cast<TW_SETUPMEMXFER*>(request.data);
    if (!setup)
        return failOperation(SetupMemXferFailure, TWCC_BADVALUE);
    const ScanParameters& parameters = currentScanParameters();
    *setup = memXferSizes(parameters, parameters.pixelType);
    return TWRC_SUCCESS;
}

TW_UINT16 HandleSetupFileXfer(const TwainRequest& request)
{
    if (!isQuery(request.msg) && request.msg != MSG_SET)
        return failOperation(SetupFileXferFailure, TWCC_BADPROTOCOL);
    if (!stateIn(StateOpen, StateTransferReady))
        return failOperation(SetupFileXferFailure, TWCC_SEQERROR);
    auto* setup = static_cast<TW_SETUPFILEXFER*>(request.data);
    if (!setup)
        return failOperation(SetupFileXferFailure, TWCC_BADVALUE);
    return request.msg == MSG_SET ? takeFileTarget(*setup) : fileNameForApplication(*setup);
}

TW_UINT16 HandleXferGroup(const TwainRequest& request)
{
    bool answers = isQuery(request.msg) || request.msg == MSG_RESET;
    if (!answers && request.msg != MSG_SET)
        return failOperation(XferGroupFailure, TWCC_BADPROTOCOL);
    if (!stateIn(StateOpen, StateTransferReady))
        return failOperation(XferGroupFailure, TWCC_SEQERROR);
    if (answers) {
        if (!request.data)
            return failOperation(XferGroupFailure, TWCC_BADVALUE);
        // Only the low half of the application's TW_UINT32 is written.
        TW_UINT16 group = DG_IMAGE;
        memcpy(request.data, &group, sizeof group);
    }
    return TWRC_SUCCESS;
}

// The palette is the one the scan's bitmap carries for its pixel type; no
// scan is needed to know it, and the scan settings stay as the application
// set them.
TW_UINT16 HandlePalette8(const TwainRequest& request)
{
    bool known = request.msg == MSG_GET || request.msg == MSG_GETDEFAULT || request.msg == MSG_SET ||
                 request.msg == MSG_RESET;
    if (!known)
        return failOperation(Palette8Failure, TWCC_BADPROTOCOL);
    if (!stateIn(StateOpen, StateTransferReady))
        return failOperation(Palette8Failure, TWCC_SEQERROR);
    if (request.msg != MSG_GET)
        return TWRC_SUCCESS;
    auto* palette = static_cast<TW_PALETTE8*>(request.data);
    if (!palette)
        return failOperation(Palette8Failure, TWCC_BADVALUE);
    fillPalette(*palette, currentScanParameters().pixelType);
    return TWRC_SUCCESS;
}

TW_UINT16 HandleImageNativeXfer(const TwainRequest& request)
{
    if (request.msg != MSG_GET)
        return failOperation(NativeXferFailure, TWCC_BADPROTOCOL);
    if (sourceState() != StateTransferReady)
        return failOperation(NativeXferFailure, TWCC_SEQERROR);
    auto* handle = static_cast<TW_HANDLE*>(request.data);
    if (!handle)
        return failOperation(NativeXferFailure, TWCC_BADVALUE);
    releaseMemXferImage();
    TransferServices& services = transferServices();
    TW_HANDLE dib = nullptr;
    TW_UINT16 answer;
    if (scanWhileBusy(services, 1, 0, &dib) == SCAN_REPLY_SUCCESS && dib) {
        *handle = dib;
        answer = TWRC_XFERDONE;
        setSourceState(StateTransferring);
    } else {
        if (dib)
            services.freeMemory(dib);
        answer = failOperation(NativeXferFailure, TWCC_OPERATIONERROR);
    }
    NotifyCloseDsRequest();
    return answer;
}

TW_UINT16 HandleImageFileXfer(const TwainRequest& request)
{
    if (request.msg != MSG_GET)
        return failOperation(nullptr, TWCC_BADPROTOCOL);
    if (sourceState() != StateTransferReady)
        return failOperation(nullptr, TWCC_SEQERROR);
    TransferServices& services = transferServices();
    std::string path = fileXferTarget.FileName;
    // Decided before scanning: a request without a file name or that names
    // no format we write must fail, not answer XFERDONE without a file.
    TransferFileChoice choice = chooseImageFile(fileXferTarget.Format, path, services.currentJpegQuality());
    if (path.empty() || !choice.writable)
        return failOperation(nullptr, TWCC_BADVALUE);
    releaseMemXferImage();
    setConditionCode(TWCC_OPERATIONERROR);
    TW_HANDLE dib = nullptr;
    if (scanWhileBusy(services, 1, 0, &dib) != SCAN_REPLY_SUCCESS || !dib) {
        if (dib)
            services.freeMemory(dib);
        return TWRC_FAILURE;
    }
    // The library answers 1 for a written file; anything else wrote nothing.
    int saved = services.SaveImageFile(dib, choice, path);
    services.freeMemory(dib);
    TW_UINT16 answer;
    if (saved <= 0) {
        answer = failOperation(nullptr, TWCC_CAPUNSUPPORTED);
    } else {
        setConditionCode(TWCC_SUCCESS);
        answer = TWRC_XFERDONE;
        setSourceState(StateTransferring);
    }
    NotifyCloseDsRequest();
    return answer;
}

TW_UINT16 HandleImageMemXfer(const TwainRequest& request)
{
    if (request.msg != MSG_GET)
        return failOperation(MemXferFailure, TWCC_BADPROTOCOL);
    if (!stateIn(StateTransferReady, StateTransferring))
        return failOperation(MemXferFailure, TWCC_SEQERROR);
    auto* xfer = static_cast<TW_IMAGEMEMXFER*>(request.data);
    if (!xfer)
        return failOperation(MemXferFailure, TWCC_BADVALUE);
    if (sourceState() == StateTransferReady) {
        releaseMemXferImage();
        TW_HANDLE dib = nullptr;
        int result = scanWhileBusy(transferServices(), 0, 1, &dib);
        if (result != SCAN_REPLY_SUCCESS || !dib) {
            if (dib)
                transferServices().freeMemory(dib);
            if (result == SCAN_REPLY_STOP_REQUESTED) {
                setConditionCode(TWCC_SUCCESS);
                setSourceState(StateTransferring);
                return TWRC_CANCEL;
            }
            return failOperation(MemXferFailure, TWCC_OPERATIONERROR);
        }
        memXferCursor.dib = dib;
        setSourceState(StateTransferring);
    } else if (!memXferCursor.dib) {
        // The image was delivered whole or cancelled: nothing left to send.
        return failOperation(MemXferFailure, TWCC_SEQERROR);
    }
    return sendStrip(*xfer);
}

TW_UINT16 HandlePendingXfers(const TwainRequest& request)
{
    auto* pending = static_cast<TW_PENDINGXFERS*>(request.data);
    TransferServices& services = transferServices();
    int state = sourceState();
    switch (request.msg) {
    case MSG_GET:
        if (!stateIn(StateOpen, StateTransferring))
            return failOperation(PendingXfersFailure, TWCC_SEQERROR);
        if (!pending)
            return failOperation(PendingXfersFailure, TWCC_BADVALUE);
        pending->Count = pendingTransferCount(state, services.feederEnabled(), feederHasPaper(services));
        return TWRC_SUCCESS;
    case MSG_ENDXFER:
        if (!stateIn(StateEnabled, StateTransferring))
            return failOperation(PendingXfersFailure, TWCC_SEQERROR);
        if (!pending)
            return failOperation(PendingXfersFailure, TWCC_BADVALUE);
        pending->Count = 0;
        if (state != StateTransferReady && services.feederEnabled()) {
            pending->Count = services.queryFeederStatus(1) == 0 ? -1 : 0;
            pending->Reserved = 0;
        }
        if (state == StateTransferring) {
            releaseMemXferImage();
            setSourceState(StateTransferReady);
        } else if (state == StateTransferReady) {
            setSourceState(StateEnabled);
        }
        return TWRC_SUCCESS;
    case MSG_RESET:
        if (!stateIn(StateTransferReady, StateTransferring))
            return failOperation(PendingXfersFailure, TWCC_SEQERROR);
        if (!pending)
            return failOperation(PendingXfersFailure, TWCC_BADVALUE);
        pending->Count = 0;
        releaseMemXferImage();
        setSourceState(StateEnabled);
        return TWRC_SUCCESS;
    default:
        return failOperation(PendingXfersFailure, TWCC_BADPROTOCOL);
    }
}

void releaseTransferImage()
{
    releaseMemXferImage();
}

void resetTransfers()
{
    releaseMemXferImage();
    fileXferTarget = FileXferTarget{{}, TWFF_BMP};
}
