// Image transfers through Wine's own data source manager with the emulated
// scanner. The source picks its device files once per process, so this
// program runs twice (see CMakeLists.txt): the Transfers suite with a page
// on the glass and in the feeder, the JammedScanner suite with a scanner
// whose feeder jams in the middle of the data.
#include <windows.h>

#include <gtest/gtest.h>

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
