// Image transfers through Wine's own data source manager with the emulated
// scanner. The source picks its device files once per process, so this
// program runs twice (see CMakeLists.txt): the Transfers suite with a page
// on the glass and in the feeder, the JammedScanner suite with a scanner
// whose feeder jams in the middle of the data.
#include <windows.h>

#include <psapi.h>

#include <gtest/gtest.h>

#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <string>
#include <vector>

#include "TwainTestSupport.h"

using namespace twaintest;

namespace {

const char kScanCaption[] = "Vivaro 5310MF Scan";

// A 150 dpi page, one inch long: each pixel differs from its neighbours,
// so a row or a colour out of place shows.
std::string writePage()
{
    std::string path = temporaryFile("transfer_path_page.ppm");
    std::ofstream out(path, std::ios::binary);
    out << "P6\n1275 150\n255\n";
    for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 1275; ++x)
            out << char((x * 7 + y) & 0xff) << char((y * 5) & 0xff) << char((x + y * 3) & 0xfe);
    return path;
}

std::string writeJammingScanner()
{
    std::string page = writePage();
    std::string path = temporaryFile("transfer_path_jam.cfg");
    std::ofstream(path) << "page = " << page << "\njam = block 3\n";
    return path;
}

class TransferPath : public ManagerSessionTest {
protected:
    static void installSource(const std::string& emulator)
    {
        installUnderManager(emulator, {"\\ZVP4_d__.dll", "\\ZVP4_i__.dll"});
    }

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(ManagerSessionTest::SetUp());
        ASSERT_NO_FATAL_FAILURE(openFirstSource());
        // One inch of the glass at 150 dpi: the page, 1275 × 150 pixels.
        setFrame(0, 0, 8.5, 1);
        ASSERT_EQ(setOneValue(ICAP_XRESOLUTION, TWTY_FIX32, fix32Item(150)), TWRC_SUCCESS);
    }

    void TearDown() override { endSession(); }

    static TW_UINT32 fix32Item(double value)
    {
        auto scaled = static_cast<TW_INT32>(value * 65536.0 + 0.5);
        TW_FIX32 fix{static_cast<TW_INT16>(scaled >> 16), static_cast<TW_UINT16>(scaled & 0xffff)};
        TW_UINT32 item = 0;
        memcpy(&item, &fix, sizeof fix);
        return item;
    }

    void setFrame(double left, double top, double right, double bottom)
    {
        TW_IMAGELAYOUT layout{};
        layout.Frame.Left = TW_FIX32{static_cast<TW_INT16>(left), static_cast<TW_UINT16>((left - int(left)) * 65536)};
        layout.Frame.Top = TW_FIX32{static_cast<TW_INT16>(top), 0};
        layout.Frame.Right =
            TW_FIX32{static_cast<TW_INT16>(right), static_cast<TW_UINT16>((right - int(right)) * 65536)};
        layout.Frame.Bottom = TW_FIX32{static_cast<TW_INT16>(bottom), 0};
        ASSERT_EQ(toSource(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
    }

    // Enables without the source's window: the transfer is offered at once.
    void enableForTransfer()
    {
        ASSERT_EQ(enable(FALSE), TWRC_SUCCESS);
        ASSERT_EQ(runMessageLoopForRequest(), MSG_XFERREADY);
    }

    TW_INT16 endTransfer()
    {
        TW_PENDINGXFERS pending{0x5a5a, {0xdeadbeef}};
        EXPECT_EQ(toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending), TWRC_SUCCESS);
        return static_cast<TW_INT16>(pending.Count);
    }

    TW_INT16 pendingCount()
    {
        TW_PENDINGXFERS pending{0x5a5a, {0}};
        EXPECT_EQ(toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
        return static_cast<TW_INT16>(pending.Count);
    }

    // The native image's rows, top row first, in RGB order for colour and
    // with 1 for white in line art, as a memory transfer delivers them.
    std::vector<uint8_t> nativeRowsTopDown(uint32_t& bytesPerRow, uint32_t& usedBits)
    {
        TW_MEMREF handle = nullptr;
        EXPECT_EQ(toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_XFERDONE);
        std::vector<uint8_t> rows;
        if (!handle)
            return rows;
        auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(handle));
        int colours = header->biBitCount == 1 ? 2 : header->biBitCount == 8 ? 256 : 0;
        bytesPerRow = (header->biWidth * header->biBitCount + 31) / 32 * 4;
        usedBits = header->biWidth * header->biBitCount;
        const auto* pixels = reinterpret_cast<const uint8_t*>(header) + header->biSize + colours * 4;
        for (LONG row = header->biHeight - 1; row >= 0; --row) {
            const uint8_t* from = pixels + size_t(row) * bytesPerRow;
            size_t start = rows.size();
            rows.insert(rows.end(), from, from + bytesPerRow);
            if (header->biBitCount == 24)
                for (size_t x = start; x + 2 < start + size_t(header->biWidth) * 3; x += 3)
                    std::swap(rows[x], rows[x + 2]);
            else if (header->biBitCount == 1)
                for (size_t x = start; x < start + bytesPerRow; ++x)
                    rows[x] = uint8_t(~rows[x]);  // the DIB's palette is white, black
        }
        GlobalUnlock(handle);
        GlobalFree(handle);
        return rows;
    }
};


class Transfers : public TransferPath {
protected:
    static void SetUpTestSuite() { installSource(writePage()); }
};

// Run only as its own process (--gtest_filter=JammedScanner.*).
class JammedScanner : public TransferPath {
protected:
    static bool runsAlone() { return ::testing::GTEST_FLAG(filter) == "JammedScanner.*"; }
    static void SetUpTestSuite()
    {
        if (runsAlone())
            installSource(writeJammingScanner());
    }
    void SetUp() override
    {
        if (!runsAlone())
            GTEST_SKIP() << "the jamming scanner needs a process of its own";
        TransferPath::SetUp();
    }
};

// Rows equal in the bits that hold pixels; padding may differ.
bool samePixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, uint32_t bytesPerRow,
                uint32_t usedBits)
{
    if (a.size() != b.size() || bytesPerRow == 0)
        return false;
    for (size_t row = 0; row < a.size() / bytesPerRow; ++row)
        for (uint32_t bit = 0; bit < usedBits; bit += 8) {
            size_t at = row * bytesPerRow + bit / 8;
            uint8_t mask = usedBits - bit >= 8 ? 0xff : uint8_t(0xff << (8 - (usedBits - bit)));
            if ((a[at] & mask) != (b[at] & mask))
                return false;
        }
    return true;
}

std::string firstDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b)
{
    if (a.size() != b.size())
        return "; sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return "; first difference at byte " + std::to_string(i) + ": " + std::to_string(a[i]) + " and " +
                   std::to_string(b[i]);
    return std::string();
}

}  // namespace

TEST_F(Transfers, MemoryStripsAssembledTopDownEqualTheNativeImageFlipped)
{
    for (TW_UINT32 pixelType : {TWPT_BW, TWPT_GRAY, TWPT_RGB}) {
        SCOPED_TRACE(pixelType);
        ASSERT_EQ(setOneValue(ICAP_PIXELTYPE, TWTY_UINT16, pixelType), TWRC_SUCCESS);
        enableForTransfer();
        uint32_t nativeBytesPerRow = 0, usedBits = 0;
        std::vector<uint8_t> native = nativeRowsTopDown(nativeBytesPerRow, usedBits);
        ASSERT_FALSE(native.empty());
        EXPECT_EQ(endTransfer(), 0);
        EXPECT_EQ(runMessageLoopForRequest(), MSG_CLOSEDSREQ);

        TW_SETUPMEMXFER sizes{};
        ASSERT_EQ(toSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &sizes), TWRC_SUCCESS);
        EXPECT_EQ(sizes.MinBufSize, nativeBytesPerRow);
        // Two and a half rows: two rows a strip.
        std::vector<uint8_t> buffer(sizes.MinBufSize * 5 / 2);
        std::vector<uint8_t> assembled;
        TW_UINT16 rc = TWRC_SUCCESS;
        int strips = 0;
        while (rc == TWRC_SUCCESS && strips < 1000) {
            TW_IMAGEMEMXFER xfer{};
            xfer.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, TW_UINT32(buffer.size()), buffer.data()};
            rc = toSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
            ASSERT_TRUE(rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) << rc << " condition " << sourceStatus();
            EXPECT_EQ(xfer.YOffset * xfer.BytesPerRow, assembled.size());
            EXPECT_EQ(xfer.Rows, rc == TWRC_SUCCESS ? 2u : xfer.Rows);
            assembled.insert(assembled.end(), buffer.begin(), buffer.begin() + xfer.BytesWritten);
            ++strips;
        }
        EXPECT_EQ(rc, TWRC_XFERDONE);
        EXPECT_EQ(strips, 75) << "150 rows, two at a time";
        EXPECT_TRUE(samePixels(assembled, native, nativeBytesPerRow, usedBits))
            << "the strips are the native image's rows, top row first" << firstDifference(assembled, native);
        EXPECT_EQ(endTransfer(), 0);
        EXPECT_EQ(runMessageLoopForRequest(), MSG_CLOSEDSREQ);
        ASSERT_EQ(disable(), TWRC_SUCCESS);
    }
}

TEST_F(Transfers, EndXferFromStateSixGivesCountZeroAndStateFiveEvenWithPaper)
{
    ASSERT_EQ(setOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    enableForTransfer();
    EXPECT_EQ(pendingCount(), -1) << "the feeder holds paper";
    EXPECT_EQ(endTransfer(), 0);
    TW_MEMREF handle = nullptr;
    EXPECT_EQ(toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_FAILURE) << "state 5: no image";
    EXPECT_EQ(sourceStatus(), TWCC_SEQERROR);
    EXPECT_EQ(endTransfer(), -1) << "state 5 stays and reports the feeder's paper";
    EXPECT_EQ(toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_FAILURE);
    EXPECT_EQ(sourceStatus(), TWCC_SEQERROR);
}

TEST_F(Transfers, FeederWithPaperOffersTheNextImageBeforeTheCloseRequestIsActedOn)
{
    ASSERT_EQ(setOneValue(CAP_FEEDERENABLED, TWTY_BOOL, 1), TWRC_SUCCESS);
    enableForTransfer();
    for (int page = 1; page <= 2; ++page) {
        SCOPED_TRACE(page);
        TW_MEMREF handle = nullptr;
        ASSERT_EQ(toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_XFERDONE);
        GlobalFree(handle);
        EXPECT_EQ(pendingCount(), -1);
        EXPECT_EQ(endTransfer(), -1);
    }
    TW_PENDINGXFERS pending{};
    EXPECT_EQ(toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(pending.Count, 0);
    EXPECT_EQ(runMessageLoopForRequest(), MSG_CLOSEDSREQ);
}

TEST_F(Transfers, FileTransferTakesTheExtensionFromTheFileNameAndRefusesUnknownOnes)
{
    std::string folder = temporaryFile("scans.2026");
    createFolders(folder);
    std::string bmp = folder + "\\page.bmp";
    std::string unknown = folder + "\\page.xyz";
    DeleteFileA(bmp.c_str());
    DeleteFileA(unknown.c_str());
    enableForTransfer();

    TW_SETUPFILEXFER target{};
    strcpy(target.FileName, unknown.c_str());
    target.Format = TWFF_PICT;
    ASSERT_EQ(toSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &target), TWRC_SUCCESS);
    EXPECT_EQ(toSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_FAILURE);
    EXPECT_EQ(sourceStatus(), TWCC_BADVALUE);
    EXPECT_EQ(readTextFile(unknown), "") << "MSG_SET made the file; nothing was written into it";

    strcpy(target.FileName, bmp.c_str());
    target.Format = 4;  // TWFF_JFIF: the extension decides
    ASSERT_EQ(toSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &target), TWRC_SUCCESS);
    EXPECT_EQ(toSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE) << sourceStatus();
    EXPECT_EQ(readTextFile(bmp).substr(0, 2), "BM");
    EXPECT_EQ(endTransfer(), 0);
    EXPECT_EQ(runMessageLoopForRequest(), MSG_CLOSEDSREQ);
}

TEST_F(Transfers, SetupFileXferOffersANewTemporaryBitmapName)
{
    TW_SETUPFILEXFER setup{};
    ASSERT_EQ(toSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_GET, &setup), TWRC_SUCCESS);
    std::string name = setup.FileName;
    EXPECT_EQ(setup.Format, TWFF_BMP);
    ASSERT_GT(name.size(), 4u);
    EXPECT_EQ(name.substr(name.size() - 4), ".BMP");
    // The system's temporary names take the first three characters of "ZVP4".
    EXPECT_NE(name.find("\\ZVP"), std::string::npos) << name;
    std::string created = name.substr(0, name.size() - 4);
    EXPECT_NE(GetFileAttributesA(created.c_str()), INVALID_FILE_ATTRIBUTES) << "the temporary file exists";
    DeleteFileA(created.c_str());
}

TEST_F(JammedScanner, CancelledMemoryTransferStaysInStateSevenUntilTheApplicationEndsIt)
{
    for (TW_UINT16 ending : {MSG_ENDXFER, MSG_RESET}) {
        SCOPED_TRACE(ending);
        enableForTransfer();
        TW_IMAGEMEMXFER xfer{};
        std::vector<uint8_t> buffer(65536);
        xfer.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, TW_UINT32(buffer.size()), buffer.data()};
        {
            MessageBoxAnswerer box(kScanCaption, 30000);
            EXPECT_EQ(toSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_CANCEL);
            EXPECT_EQ(box.text(), "The paper is jammed in the automatic document feeder.");
        }
        EXPECT_EQ(sourceStatus(), TWCC_SUCCESS);
        EXPECT_EQ(pendingCount(), 0) << "state 7 without the feeder";
        TW_MEMREF handle = nullptr;
        EXPECT_EQ(toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_FAILURE);
        EXPECT_EQ(sourceStatus(), TWCC_SEQERROR) << "still state 7";
        TW_PENDINGXFERS pending{};
        EXPECT_EQ(toSource(DG_CONTROL, DAT_PENDINGXFERS, ending, &pending), TWRC_SUCCESS);
        EXPECT_EQ(pending.Count, 0);
        ASSERT_EQ(disable(), TWRC_SUCCESS);
        runMessageLoopForRequest(300);
    }
}

namespace {
constexpr TW_UINT16 kPaperA3 = 11;  // TWSS_A3: 297 x 420 mm

// The first entry of a 256-colour table that is not the grey ramp (i, i, i),
// or 256 when every entry is.
int firstNonGreyEntry(const uint8_t* palette)
{
    for (int i = 0; i < 256; ++i)
        if (palette[i * 4] != i || palette[i * 4 + 1] != i || palette[i * 4 + 2] != i)
            return i;
    return 256;
}

// The stand-in of Office's library, loaded into this process as an Office
// host would have it; the source lays out grey images for it.
struct OfficeHost {
    HMODULE module = nullptr;
    explicit OfficeHost(bool loaded)
    {
        if (loaded)
            module = LoadLibraryA("MSO.DLL");
    }
    ~OfficeHost()
    {
        if (module)
            FreeLibrary(module);
    }
};
}

// Grey images declare 255 colours inside Office hosts and carry all 256:
// white must stay white through every path that passes the imaging library.
TEST_F(Transfers, GreyImagesKeepTheirWhiteWithAndWithoutOffice)
{
    ASSERT_EQ(setOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    // 120 dpi is scanned at 150 and resized by the library.
    ASSERT_EQ(setOneValue(ICAP_XRESOLUTION, TWTY_FIX32, fix32Item(120)), TWRC_SUCCESS);
    const std::string file = temporaryFile("office_grey.bmp");
    for (bool office : {false, true}) {
        SCOPED_TRACE(office ? "MSO.DLL loaded" : "no MSO.DLL");
        OfficeHost host(office);
        ASSERT_EQ(GetModuleHandleA("MSO.DLL") != nullptr, office);
        enableForTransfer();
        TW_MEMREF handle = nullptr;
        ASSERT_EQ(toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_XFERDONE);
        const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(handle));
        EXPECT_EQ(header->biWidth, 1020);
        EXPECT_EQ(firstNonGreyEntry(reinterpret_cast<const uint8_t*>(header) + header->biSize), 256) << "native";
        GlobalUnlock(handle);
        GlobalFree(handle);
        EXPECT_EQ(endTransfer(), 0);
        EXPECT_EQ(runMessageLoopForRequest(), MSG_CLOSEDSREQ);

        DeleteFileA(file.c_str());
        TW_SETUPFILEXFER target{};
        strcpy(target.FileName, file.c_str());
        target.Format = TWFF_BMP;
        ASSERT_EQ(toSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &target), TWRC_SUCCESS);
        ASSERT_EQ(toSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr), TWRC_XFERDONE) << sourceStatus();
        const std::string bytes = readTextFile(file);
        ASSERT_GT(bytes.size(), 14u + 40u + 1024u);
        EXPECT_EQ(firstNonGreyEntry(reinterpret_cast<const uint8_t*>(bytes.data()) + 14 + 40), 256) << "file";
        EXPECT_EQ(endTransfer(), 0);
        EXPECT_EQ(runMessageLoopForRequest(), MSG_CLOSEDSREQ);
        ASSERT_EQ(disable(), TWRC_SUCCESS);
    }
}

// What DAT_IMAGEINFO and DAT_SETUPMEMXFER announce is what arrives, also
// for a paper size and a layout that reach beyond the bed, and after
// MSG_RESET has put ICAP_PIXELTYPE back to colour while the scan stays grey.
TEST_F(Transfers, TheImageAnnouncedIsTheImageDelivered)
{
    ASSERT_EQ(setOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_GRAY), TWRC_SUCCESS);
    ASSERT_EQ(setOneValue(ICAP_SUPPORTEDSIZES, TWTY_UINT16, kPaperA3), TWRC_SUCCESS);
    TW_CAPABILITY reset{ICAP_PIXELTYPE, TWON_DONTCARE16, nullptr};
    ASSERT_EQ(toSource(DG_CONTROL, DAT_CAPABILITY, MSG_RESET, &reset), TWRC_SUCCESS);
    GlobalFree(reset.hContainer);
    TW_IMAGEINFO info{};
    ASSERT_EQ(toSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    EXPECT_EQ(+info.ImageWidth, 1275);
    EXPECT_EQ(+info.ImageLength, 2100);
    enableForTransfer();
    TW_MEMREF handle = nullptr;
    ASSERT_EQ(toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_XFERDONE);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(handle));
    EXPECT_EQ(header->biWidth, info.ImageWidth) << "A3";
    EXPECT_EQ(std::abs(header->biHeight), info.ImageLength) << "A3";
    EXPECT_EQ(header->biBitCount, info.BitsPerPixel) << "the scan's pixel type, not the reset capability's";
    GlobalUnlock(handle);
    GlobalFree(handle);
    EXPECT_EQ(endTransfer(), 0);
    EXPECT_EQ(runMessageLoopForRequest(), MSG_CLOSEDSREQ);
    ASSERT_EQ(disable(), TWRC_SUCCESS);

    // From an inch left of the bed to an inch below its 14 inches, by memory.
    setFrame(-1, 0, 9.5, 15);
    ASSERT_EQ(toSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info), TWRC_SUCCESS);
    TW_SETUPMEMXFER sizes{};
    ASSERT_EQ(toSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &sizes), TWRC_SUCCESS);
    enableForTransfer();
    std::vector<uint8_t> buffer(sizes.Preferred);
    TW_UINT16 rc = TWRC_SUCCESS;
    TW_UINT32 rows = 0;
    while (rc == TWRC_SUCCESS) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, TW_UINT32(buffer.size()), buffer.data()};
        rc = toSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        ASSERT_TRUE(rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) << rc << " condition " << sourceStatus();
        EXPECT_EQ(xfer.Columns, TW_UINT32(info.ImageWidth));
        EXPECT_EQ(xfer.BytesPerRow, sizes.MinBufSize);
        rows += xfer.Rows;
    }
    EXPECT_EQ(rows, TW_UINT32(info.ImageLength)) << "the strips add up to the rows announced";
    EXPECT_EQ(endTransfer(), 0);
    EXPECT_EQ(runMessageLoopForRequest(), MSG_CLOSEDSREQ);
}

namespace {
SIZE_T pagefileUsage()
{
    // Wine 8 reports no PrivateUsage; PagefileUsage follows the allocations.
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

// A copy of the source loaded by the test itself, so that it can be closed
// and unloaded in the middle of a memory transfer.
class AbandonedTransfer : public LoadedSourceTest {
protected:
    void SetUp() override
    {
        prepareWindowsFolder();
        SetEnvironmentVariableA("ZVP4_EMULATOR", writePage().c_str());
    }
    void TearDown() override
    {
        LoadedSourceTest::TearDown();
        SetEnvironmentVariableA("ZVP4_EMULATOR", nullptr);
    }

    TW_UINT16 setOneValue(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item)
    {
        HGLOBAL container = GlobalAlloc(GHND, sizeof(TW_ONEVALUE));
        auto* value = static_cast<TW_ONEVALUE*>(GlobalLock(container));
        value->ItemType = itemType;
        value->Item = item;
        GlobalUnlock(container);
        TW_CAPABILITY capability{cap, TWON_ONEVALUE, container};
        TW_UINT16 result = call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
        GlobalFree(container);
        return result;
    }
};
}

// The application takes one strip of a colour letter page and then closes
// the source, or unloads it at once: the page and the imaging library go.
// Memory is compared with less than half the page (3 MB) of slack: the
// heap keeps some of what it is given back. The first load also leaves the
// system's one-time allocations behind, so only the second is measured
// against the process before it.
TEST_F(AbandonedTransfer, ClosingOrUnloadingMidwayLeavesNothingBehind)
{
    const std::string imaging = programFolder() + "\\ZVP4_i__.dll";
    const SIZE_T slack = 3000000;
    for (bool closeFirst : {true, false}) {
        SCOPED_TRACE(closeFirst ? "closed, then unloaded" : "unloaded");
        const SIZE_T beforeLoad = pagefileUsage();
        ASSERT_NO_FATAL_FAILURE(load());
        identity.Id = 9;
        ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity), TWRC_SUCCESS);
        ASSERT_EQ(setOneValue(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB), TWRC_SUCCESS);
        ASSERT_EQ(setOneValue(ICAP_XRESOLUTION, TWTY_FIX32, 150), TWRC_SUCCESS);  // Whole in the low half
        TW_IMAGELAYOUT layout{};
        layout.Frame = TW_FRAME{{0, 0}, {0, 0}, {8, 0x8000}, {11, 0}};
        ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
        TW_USERINTERFACE userInterface{FALSE, FALSE, nullptr};
        ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &userInterface), TWRC_SUCCESS);
        const SIZE_T before = pagefileUsage();
        std::vector<uint8_t> buffer(65536);
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory = TW_MEMORY{TWMF_APPOWNS | TWMF_POINTER, TW_UINT32(buffer.size()), buffer.data()};
        ASSERT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_SUCCESS);
        EXPECT_GT(pagefileUsage(), before + 6000000) << "the page of 1275 x 1650 colour pixels is held";
        EXPECT_NE(GetModuleHandleA(imaging.c_str()), nullptr);
        if (closeFirst) {
            EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity), TWRC_SUCCESS);
            EXPECT_EQ(GetModuleHandleA(imaging.c_str()), nullptr) << "released with the last session";
            EXPECT_LT(pagefileUsage(), before + slack) << "the page went with the session";
        }
        unload();
        EXPECT_EQ(GetModuleHandleA(imaging.c_str()), nullptr);
        if (!closeFirst) {
            EXPECT_LT(pagefileUsage(), beforeLoad + slack) << "the page went with the library";
        }
    }
}
