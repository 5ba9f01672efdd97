#pragma once
// One whole scan: open and lock the scanner, check the feeder, send the
// settings, read the compressed stream while the decoder rebuilds the rows,
// show progress, build and fit the bitmap, unlock and close.
//
// The engine is portable: the scanner comes through ScannerProtocol (the
// transport behind it is the real one or the emulator), and everything the
// Win32 shell owns (dialogs, message pump, keep-awake request, the bitmap's
// global memory) sits behind the interfaces below. ScanImage_win.cpp binds
// them to the real ones for
//     int scanImage(int dibOrder, int forMemoryTransfer, HGLOBAL* dib);
// (HGLOBAL is a void*, so DibHandle* and HGLOBAL* are the same type.)
#include "ScanCommands.h"
#include "ScanParameters.h"
#include "ScannerLock.h"
#include "ScannerProtocol.h"
#include "StreamDecoder.h"

#include <cstdint>

// A packed DIB in movable global memory (HGLOBAL) in the library; whatever
// the bitmap builder hands out in the tests.
using DibHandle = void*;

// The image as the device will deliver it, from ScanParameters by the
// command rules (resolution steps, frame in device pixels).
struct ScanImageGeometry {
    int pixelType = PIXEL_TYPE_COLOUR;
    int channels = 3;  // 3 for colour, else 1
    int hdpi = 300;
    int vdpi = 300;
    int width = 0;   // pixels
    int height = 0;  // rows
};

// Where the decoder may write the next row: straight into its place in the
// image, so that the row is never copied.
struct DecodedRowPlace {
    uint8_t* bytes = nullptr;  // width x channels bytes; null: the engine's own buffer
    bool blueFirst = false;    // colour pixels go there B, G, R
};

// The bitmap building as the engine drives it, in this order. Named after
// the functions that build the DIB and its data store. A consumer that
// takes the rows as they come and makes no bitmap needs appendDecodedRow
// only, and hands the engine a token of its own for the DIB.
class BitmapBuildingSteps {
public:
    virtual ~BitmapBuildingSteps() = default;
    // The DIB with header and palette, to be completed in dibOrder (1:
    // colour B, G, R and line art inverted); null when neither it nor a
    // store to build it from later can be had.
    virtual DibHandle createScanBitmap(const ScanParameters& parameters, const ScanImageGeometry& geometry,
                                       int dibOrder) = 0;
    // The store of the decoded rows where the bitmap needs one; false when
    // it cannot be created (the builder has told the user).
    virtual bool openDataStore() = 0;
    // Where the next decoder output may be written; by default nowhere
    // (the engine's buffer).
    virtual DecodedRowPlace nextRowPlace() { return {}; }
    // One decoder output, a whole row or nothing (count 0: the stream
    // header): in the place given for it, or in the engine's buffer with
    // colour pixels R, G, B.
    virtual void appendDecodedRow(const uint8_t* row, int count) = 0;
    // Completes the DIB's rows (those the scan did not deliver are white)
    // and releases the store: 100; 109 when the DIB could not be completed
    // for want of memory; 112 when the stored rows could not be read back
    // (the builder has told the user of both). dib may be replaced by the
    // completed one.
    virtual int fillBitmapRows(DibHandle& dib) = 0;
    // 100 with *result the final DIB (dib itself, or a resized copy with dib
    // released), or 109 with *result null and dib released.
    virtual int fitBitmapToRequest(DibHandle dib, int forMemoryTransfer, DibHandle* result) = 0;
    // Releases a DIB the engine does not hand out, and the store if open.
    virtual void freeBitmap(DibHandle dib) = 0;
};

// The modeless progress dialog (templates 108/109) and the prompts of a
// scan, as the engine sees them.
class ScanJobView {
public:
    virtual ~ScanJobView() = default;
    // Creates the progress dialog; false when it could not be created (the
    // scan goes on without it).
    virtual bool openProgress() = 0;
    // Hands the dialog's pending messages to it; never waits. Its Cancel
    // button sets cancelRequested and sends the abort command from here.
    virtual void dispatchProgressMessages() = 0;
    // Shows "p%" in control 1019 and p as the position of bar 1017.
    virtual void showProgress(int percent) = 0;
    virtual void closeProgress() = 0;
    // The OK/Cancel prompt: localised text and caption; IDOK (1) or IDCANCEL (2).
    virtual int askOkCancel(unsigned textId, unsigned captionId) = 0;
    // The reply (ScanReplyResult) that ended the data stream before its end,
    // after its message: a caller without dialogs tells a jam from a
    // device error by it, where the source shows one message for both.
    virtual void streamFailed(int /*reply*/) {}
};

// The system's keep-awake request for the duration of the scan.
class ExecutionState {
public:
    virtual ~ExecutionState() = default;
    virtual void keepAwake() = 0;  // continuous, system and display required
    virtual void restore() = 0;    // continuous only
};

// Everything one scan works with.
struct ScanJobServices {
    ScannerProtocol& protocol;  // its notices() show and trace the messages
    LampWarmingView& lampView;
    SecondsClock& clock;
    ScanJobView& view;
    BitmapBuildingSteps& bitmap;
    ExecutionState& executionState;
    volatile int& cancelRequested;
    // The decoder of this scan; null for the source's one decoder. A caller
    // scanning several devices at once gives each scan its own.
    scancodec::StreamDecoder* decoder = nullptr;
};

// What the scan needs besides the services: the settings record, the
// feeder capability and the filter taps (read only when descreen is set).
struct ScanRequest {
    ScanParameters parameters;
    bool feederEnabled = false;
    FilterSettings filter;
};

// Resolutions and device frame of a request, or false when the device
// cannot scan it (resolution 0 or above 2400, an empty or inverted frame,
// a frame starting beyond the bed, less than a pixel at the resolution).
// *clamped holds the frame of deliveredImage (DeliveredImage.h): the part
// that lies on the bed, which the application was told of.
bool scanGeometryFor(const ScanParameters& requested, ScanParameters* clamped, ScanImageGeometry* geometry);

// The engine. Results: 100 the image is in *dib (the caller owns it);
// 103 cancelled, by the user or the device, or ended by a device or stream
// error; 109 out of memory or an image library failure, also a request the
// device cannot scan; 110 the scanner could not be opened (*dib untouched);
// 112 the scan could not be set up or its data not be kept (a refused
// setting or start command, a decoder that would not start or found the
// stream corrupt, a store that could not be created or read back).
// *dib is null for every result but 100 and 110.
constexpr int SCAN_RESULT_SETUP_FAILED = 112;

int runScanJob(ScanJobServices& services, const ScanRequest& request, int dibOrder, int forMemoryTransfer,
               DibHandle* dib);

// The source's scan, with the process's scanner, dialogs and settings
// (ScanImage_win.cpp). The preview, the native and file transfers pass
// dibOrder 1; the memory transfer and the palette request pass 0.
int scanImage(int dibOrder, int forMemoryTransfer, DibHandle* dib);
