#include "DeviceFakes.h"
#include "ScanReplyResult.h"
#include "UsbTransportCore.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const std::string kName0 = "\\\\.\\Usbscan0\\0";
const std::string kName1 = "\\\\.\\Usbscan0\\1";

struct TransportTest : ::testing::Test {
    FakeDeviceFiles files;
    FakeMutexes mutexes;
    UsbTransportCore transport{files, mutexes};

    void openScanner()
    {
        files.plug(0, kScannerVendorId, kScannerPrimaryProductId);
        ASSERT_EQ(transport.open(), SCAN_REPLY_SUCCESS);
        files.writes.clear();
        files.readSizes.clear();
    }
};

}  // namespace

TEST(UsbTransportNames, DeviceFileAndMutexNames)
{
    EXPECT_EQ(usbscanDeviceName(0, 0), kName0);
    EXPECT_EQ(usbscanDeviceName(126, 1), "\\\\.\\Usbscan126\\1");
    EXPECT_EQ(scannerAccessMutexName(kName0), "Calder-Scanner-Access-Mutex-$$.$Usbscan0$0");
}

TEST_F(TransportTest, SearchesIndicesInOrderAndOpensBothPipes)
{
    files.plug(3, kScannerVendorId, kScannerPrimaryProductId);
    files.plug(1, 0x1234, kScannerPrimaryProductId);
    EXPECT_EQ(transport.open(), SCAN_REPLY_SUCCESS);
    std::vector<std::string> expected;
    for (int n = 0; n <= 3; ++n)
        expected.push_back(usbscanDeviceName(n, 0) + " rw");
    expected.push_back(usbscanDeviceName(3, 0) + " r");
    expected.push_back(usbscanDeviceName(3, 1) + " rw");
    EXPECT_EQ(files.opened, expected);
    EXPECT_TRUE(transport.pipesOpen());
    EXPECT_TRUE(transport.holdsMutex());
    // Both probe handles (the foreign device's and ours) are closed again.
    EXPECT_EQ(files.handles.size(), 2u);
}

TEST_F(TransportTest, TriesIndexLimitAndThenTheSecondaryProduct)
{
    files.plug(127, kScannerVendorId, kScannerPrimaryProductId);
    EXPECT_EQ(transport.open(), SCAN_REPLY_DEVICE_ERROR);
    EXPECT_EQ(files.opened.size(), 2u * 127u);
    EXPECT_EQ(files.opened.front(), usbscanDeviceName(0, 0) + " rw");
    EXPECT_EQ(files.opened[126], usbscanDeviceName(126, 0) + " rw");
    EXPECT_EQ(files.opened[127], usbscanDeviceName(0, 0) + " rw");
    transport.close();

    files.devices.clear();
    files.opened.clear();
    files.plug(5, kScannerVendorId, kScannerSecondaryProductId);
    EXPECT_EQ(transport.open(), SCAN_REPLY_SUCCESS);
    EXPECT_EQ(files.opened.size(), 127u + 6u + 2u);
}

TEST_F(TransportTest, NestedOpensShareOneDeviceAndMutex)
{
    openScanner();
    size_t opens = files.opened.size();
    EXPECT_EQ(transport.open(), SCAN_REPLY_SUCCESS);
    EXPECT_EQ(files.opened.size(), opens);
    EXPECT_EQ(transport.useCount(), 2);
    EXPECT_EQ(transport.close(), 1);
    EXPECT_TRUE(transport.pipesOpen());
    EXPECT_TRUE(transport.holdsMutex());
    EXPECT_EQ(transport.close(), 1);
    EXPECT_FALSE(transport.pipesOpen());
    EXPECT_FALSE(transport.holdsMutex());
    EXPECT_TRUE(files.handles.empty());
    EXPECT_EQ(mutexes.log.back(), "close");
}

TEST_F(TransportTest, FailedOpenIsBalancedByItsClose)
{
    EXPECT_EQ(transport.open(), SCAN_REPLY_DEVICE_ERROR);
    EXPECT_EQ(transport.useCount(), 1);
    // Until it is balanced, an open nested in the failed one fails too.
    EXPECT_EQ(transport.open(), SCAN_REPLY_DEVICE_ERROR);
    EXPECT_EQ(transport.close(), 1);
    EXPECT_EQ(transport.close(), 1);
    EXPECT_EQ(transport.useCount(), 0);
    files.plug(0, kScannerVendorId, kScannerPrimaryProductId);
    EXPECT_EQ(transport.open(), SCAN_REPLY_SUCCESS);
    EXPECT_TRUE(transport.pipesOpen());
}

TEST_F(TransportTest, CreatesTheMutexOnceAndWaitsASecond)
{
    openScanner();
    std::string name = "Calder-Scanner-Access-Mutex-$$.$Usbscan0$0";
    std::vector<std::string> expected = {"open " + name, "create " + name, "release", "wait 1000"};
    EXPECT_EQ(mutexes.log, expected);
}

TEST_F(TransportTest, MutexHeldElsewhereMeansInUse)
{
    files.plug(0, kScannerVendorId, kScannerPrimaryProductId);
    files.plug(1, kScannerVendorId, kScannerSecondaryProductId);
    mutexes.waitResult = MutexWait::timedOut;
    EXPECT_EQ(transport.open(), SCAN_REPLY_IN_USE);
    // In use stops the search: the secondary product is not tried.
    EXPECT_EQ(files.opened.size(), 1u);
    EXPECT_FALSE(transport.holdsMutex());
    EXPECT_TRUE(files.handles.empty());
    EXPECT_EQ(transport.close(), 1);

    mutexes.waitResult = MutexWait::abandoned;
    EXPECT_EQ(transport.open(), SCAN_REPLY_IN_USE);
    transport.close();

    mutexes.existing.clear();
    mutexes.canCreate = false;
    mutexes.waitResult = MutexWait::signalled;
    EXPECT_EQ(transport.open(), SCAN_REPLY_IN_USE);
    transport.close();
}

TEST_F(TransportTest, FailedHandleCloseIsReported)
{
    openScanner();
    files.closeSucceeds = false;
    EXPECT_EQ(transport.close(), 0);
    EXPECT_FALSE(transport.holdsMutex());
}

TEST_F(TransportTest, SixtyFourByteWriteLeavesAs63And1)
{
    openScanner();
    std::vector<uint8_t> data(64, 0x5A);
    EXPECT_EQ(transport.write(data.data(), 64), USB_OK);
    EXPECT_EQ(files.writeSizes(), (std::vector<uint32_t>{63, 1}));
}

TEST_F(TransportTest, LongWriteGoesInChunksThatAreNeverMultiplesOf64)
{
    openScanner();
    std::vector<uint8_t> data(10000);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(transport.write(data.data(), 10000), USB_OK);
    EXPECT_EQ(files.writeSizes(), (std::vector<uint32_t>{4095, 4095, 1810}));
    std::vector<uint8_t> sent;
    for (auto& w : files.writes)
        sent.insert(sent.end(), w.begin(), w.end());
    EXPECT_EQ(sent, data);
    EXPECT_EQ(mutexes.sleptMs, 0u);

    files.writes.clear();
    std::vector<uint8_t> eight(8, 1);
    EXPECT_EQ(transport.write(eight.data(), 8), USB_OK);
    EXPECT_EQ(files.writeSizes(), (std::vector<uint32_t>{8}));
}

TEST_F(TransportTest, WriteFailureEndsTheWrite)
{
    openScanner();
    files.writesLeftBeforeFailure = 1;
    std::vector<uint8_t> data(5000, 3);
    EXPECT_EQ(transport.write(data.data(), 5000), USB_FAILED);
    EXPECT_EQ(transport.lastError(), 31u);
    EXPECT_EQ(transport.pendingSendBytes(), 5000u - 4095u);
}

TEST_F(TransportTest, EightByteReadsAreServedFromOneTransfer)
{
    openScanner();
    std::vector<uint8_t> transfer(1024);
    for (size_t i = 0; i < transfer.size(); ++i)
        transfer[i] = static_cast<uint8_t>(i);
    files.deliver(transfer);
    uint8_t reply[8];
    for (int i = 0; i < 128; ++i) {
        ASSERT_EQ(transport.read(reply, 8), USB_OK);
        ASSERT_EQ(reply[0], static_cast<uint8_t>(i * 8));
    }
    EXPECT_EQ(files.readSizes, (std::vector<uint32_t>{1024}));
    EXPECT_EQ(transport.read(reply, 8), USB_FAILED);  // nothing more arrives
    EXPECT_EQ(transport.lastError(), kErrorTimeout);
}

TEST_F(TransportTest, ReadGathersSeveralTransfersAndKeepsTheRest)
{
    openScanner();
    files.deliver({1, 2, 3});
    files.deliver({4, 5, 6, 7, 8, 9, 10});
    uint8_t out[8];
    ASSERT_EQ(transport.read(out, 8), USB_OK);
    EXPECT_EQ(out[7], 8);
    EXPECT_EQ(transport.bufferedReceiveBytes(), 2u);
    uint8_t rest[2];
    ASSERT_EQ(transport.read(rest, 2), USB_OK);
    EXPECT_EQ(rest[1], 10);
    EXPECT_EQ(files.readSizes, (std::vector<uint32_t>{1024, 1024}));
}

TEST_F(TransportTest, LongReadsCompleteWhateverTheRingHoldsAndOversizedOnesFailAtOnce)
{
    openScanner();
    std::vector<uint8_t> big(2048);
    EXPECT_EQ(transport.read(big.data(), 2048), USB_FAILED);
    EXPECT_TRUE(files.readSizes.empty());

    // A short transfer leaves the ring too full for another 1024 bytes
    // while a data block of 1500 still needs more: it is read all the same.
    std::vector<uint8_t> stream(2030);
    for (size_t i = 0; i < stream.size(); ++i)
        stream[i] = static_cast<uint8_t>(i * 7);
    files.deliver({stream.begin(), stream.begin() + 1024});
    files.deliver({stream.begin() + 1024, stream.begin() + 1030});
    files.deliver({stream.begin() + 1030, stream.end()});
    uint8_t first[1];
    ASSERT_EQ(transport.read(first, 1), USB_OK);
    ASSERT_EQ(transport.read(big.data(), 1500), USB_OK);
    EXPECT_TRUE(std::equal(big.begin(), big.begin() + 1500, stream.begin() + 1));
    EXPECT_EQ(transport.bufferedReceiveBytes(), 529u);

    // A request the device never completes fails and keeps what arrived.
    EXPECT_EQ(transport.read(big.data(), 600), USB_FAILED);
    EXPECT_EQ(transport.bufferedReceiveBytes(), 529u);
    ASSERT_EQ(transport.read(big.data(), 529), USB_OK);
    EXPECT_EQ(big[528], stream[2029]);
}

TEST_F(TransportTest, UsbInReadsOnlyWhenATransferFits)
{
    openScanner();
    files.deliver(std::vector<uint8_t>(1024, 9));
    EXPECT_EQ(transport.usbIn(), 1);
    EXPECT_EQ(transport.bufferedReceiveBytes(), 1024u);
    // 1023 bytes free now: no read at all.
    EXPECT_EQ(transport.usbIn(), 1);
    EXPECT_EQ(files.readSizes.size(), 1u);
    uint8_t out[8];
    ASSERT_EQ(transport.read(out, 8), USB_OK);
    EXPECT_EQ(transport.usbIn(), 0);  // a read that times out
    EXPECT_EQ(files.readSizes.size(), 2u);
}

TEST_F(TransportTest, EverySessionStartsOnACleanLink)
{
    openScanner();
    // A session that fails half-way: a command the pipe refused, five bytes
    // of a reply, and more that the device sends only after the close.
    files.writesLeftBeforeFailure = 0;
    std::vector<uint8_t> command(8, 0x4C);
    EXPECT_EQ(transport.write(command.data(), 8), USB_FAILED);
    files.deliver({1, 2, 3, 4, 5});
    uint8_t reply[8];
    EXPECT_EQ(transport.read(reply, 8), USB_FAILED);
    files.deliver(std::vector<uint8_t>(1024, 0xEE));
    files.deliver({6, 7, 8});
    transport.close();

    files.writesLeftBeforeFailure = 1 << 30;
    files.timeouts.clear();
    ASSERT_EQ(transport.open(), SCAN_REPLY_SUCCESS);
    EXPECT_TRUE(files.transfers.empty()) << "what the device still held is read off at the open";
    EXPECT_EQ(files.timeouts, (std::vector<std::string>{kName1 + " 1000", kName0 + " 200", kName0 + " 1000"}));
    files.writes.clear();
    EXPECT_EQ(transport.write(command.data(), 8), USB_OK);
    EXPECT_EQ(files.writeSizes(), (std::vector<uint32_t>{8}));
    files.deliver({0x1B, 'S', 'L', 0, 0, 0, 0, 0});
    ASSERT_EQ(transport.read(reply, 8), USB_OK);
    EXPECT_EQ(reply[0], 0x1B);
    EXPECT_EQ(reply[2], 'L');
}

// The still-image driver counts time-outs in whole seconds: a read on an
// empty pipe costs a second. Only the first session and one after a failure
// pay for it; a session that ended cleanly left nothing behind.
TEST_F(TransportTest, OnlyASessionAfterAFailureWaitsOnTheEmptyPipe)
{
    openScanner();
    std::vector<uint8_t> command(8, 0x46);
    uint8_t reply[8];
    EXPECT_EQ(transport.write(command.data(), 8), USB_OK);
    files.deliver({0x1B, 'S', 'F', 0, 1, 0, 0, 0});
    EXPECT_EQ(transport.read(reply, 8), USB_OK);
    transport.close();
    files.readSizes.clear();
    ASSERT_EQ(transport.open(), SCAN_REPLY_SUCCESS);
    EXPECT_TRUE(files.readSizes.empty());

    EXPECT_EQ(transport.read(reply, 8), USB_FAILED);  // nothing came
    transport.close();
    files.readSizes.clear();
    ASSERT_EQ(transport.open(), SCAN_REPLY_SUCCESS);
    EXPECT_EQ(files.readSizes.size(), 1u);
    transport.close();
}

TEST_F(TransportTest, EmptyTransfersAreTakenInStrideButNotForEver)
{
    openScanner();
    // One or two empty packets between data are nothing unusual.
    files.deliver({});
    files.deliver({});
    files.deliver({1, 2, 3, 4, 5, 6, 7, 8});
    uint8_t out[8];
    EXPECT_EQ(transport.read(out, 8), USB_OK);
    EXPECT_EQ(mutexes.sleptMs, 0u);

    // A device that only sends empty packets is as silent as one that sends
    // nothing: the read ends as a time-out after a transfer time-out.
    files.readSizes.clear();
    for (int i = 0; i < 5000; ++i)
        files.deliver({});
    EXPECT_EQ(transport.read(out, 8), USB_FAILED);
    EXPECT_EQ(transport.lastError(), kErrorTimeout);
    EXPECT_EQ(mutexes.sleptMs, kTransferTimeoutMilliseconds);
    EXPECT_LE(files.readSizes.size(), 2u + kTransferTimeoutMilliseconds / kEmptyTransferPauseMilliseconds + 1);
}

TEST_F(TransportTest, AnUnloadReleasesTheScannerWhateverTheUseCount)
{
    files.plug(0, kScannerVendorId, kScannerPrimaryProductId);
    {
        // The library's scanner goes with it, in the middle of a scan.
        UsbTransportCore scanning(files, mutexes);
        ASSERT_EQ(scanning.open(), SCAN_REPLY_SUCCESS);
        ASSERT_EQ(scanning.open(), SCAN_REPLY_SUCCESS);
    }
    EXPECT_TRUE(files.handles.empty());
    EXPECT_EQ(mutexes.log.back(), "close");
}
