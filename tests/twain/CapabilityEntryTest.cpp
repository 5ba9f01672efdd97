// Capability negotiation through the source's DS_Entry, as an application
// calls it, in the states 4 to 6 and with the emulated scanner's feeder
// loaded, empty or absent. Containers are real movable global memory. Also
// an application that closes the source while its feeder prompt is up.
#include <windows.h>

#include <gtest/gtest.h>

#include <string.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "TwainTestSupport.h"

using namespace twaintest;

namespace {
// The source's own capability ids beyond TWAIN 1.9.
constexpr TW_UINT16 SizesForFeeder = 0x1154;
constexpr TW_UINT16 SizesForGlass = 0x1155;
constexpr TW_UINT16 JpegQuality = 0x1153;
constexpr TW_UINT16 All = 31;
constexpr TW_UINT16 ReadOnly = 13;

struct Expected {
    TW_UINT16 capId;
    TW_UINT16 getContainer;
    TW_UINT16 operations;
};

// Every capability the source answers, ICAP_BITDEPTH and ICAP_SUPPORTEDSIZES
// through the entries they stand for.
const Expected everyCapability[] = {
    {CAP_SUPPORTEDCAPS, TWON_ARRAY, ReadOnly},
    {CAP_FEEDERENABLED, TWON_ONEVALUE, All},
    {ICAP_PIXELFLAVOR, TWON_ENUMERATION, All},
    {ICAP_PIXELFLAVORCODES, TWON_ENUMERATION, All},
    {ICAP_XFERMECH, TWON_ENUMERATION, All},
    {ICAP_PLANARCHUNKY, TWON_ENUMERATION, ReadOnly},
    {ICAP_COMPRESSION, TWON_ENUMERATION, All},
    {ICAP_MINIMUMWIDTH, TWON_ONEVALUE, ReadOnly},
    {ICAP_MINIMUMHEIGHT, TWON_ONEVALUE, ReadOnly},
    {ICAP_PHYSICALWIDTH, TWON_ONEVALUE, ReadOnly},
    {ICAP_PHYSICALHEIGHT, TWON_ONEVALUE, ReadOnly},
    {ICAP_UNITS, TWON_ENUMERATION, All},
    {CAP_DEVICEONLINE, TWON_ONEVALUE, ReadOnly},
    {CAP_AUTOFEED, TWON_ONEVALUE, ReadOnly},
    {ICAP_IMAGEFILTER, TWON_ONEVALUE, ReadOnly},
    {CAP_FEEDERLOADED, TWON_ONEVALUE, ReadOnly},
    {ICAP_AUTOBRIGHT, TWON_ONEVALUE, All},
    {ICAP_BRIGHTNESS, TWON_RANGE, All},
    {ICAP_CONTRAST, TWON_RANGE, All},
    {ICAP_HIGHLIGHT, TWON_RANGE, All},
    {ICAP_ORIENTATION, TWON_ENUMERATION, All},
    {ICAP_SHADOW, TWON_RANGE, All},
    {ICAP_XSCALING, TWON_ENUMERATION, All},
    {ICAP_YSCALING, TWON_ENUMERATION, All},
    {0x9000, TWON_ENUMERATION, All},
    {0x9001, TWON_ENUMERATION, All},
    {0x9002, TWON_ENUMERATION, All},
    {ICAP_BITDEPTH, TWON_ENUMERATION, All},
    {ICAP_PIXELTYPE, TWON_ENUMERATION, All},
    {ICAP_BITDEPTHREDUCTION, TWON_ENUMERATION, All},
    {ICAP_BITORDER, TWON_ENUMERATION, ReadOnly},
    {ICAP_THRESHOLD, TWON_RANGE, All},
    {ICAP_HALFTONES, TWON_ENUMERATION, All},
    {ICAP_FRAMES, TWON_ONEVALUE, All},
    {ICAP_MAXFRAMES, TWON_ONEVALUE, ReadOnly},
    {SizesForFeeder, TWON_ENUMERATION, All},
    {SizesForGlass, TWON_ENUMERATION, All},
    {ICAP_SUPPORTEDSIZES, TWON_ENUMERATION, All},
    {ICAP_XNATIVERESOLUTION, TWON_ONEVALUE, ReadOnly},
    {ICAP_YNATIVERESOLUTION, TWON_ONEVALUE, ReadOnly},
    {ICAP_XRESOLUTION, TWON_ENUMERATION, All},
    {ICAP_YRESOLUTION, TWON_ENUMERATION, All},
    {CAP_XFERCOUNT, TWON_ONEVALUE, All},
    {ICAP_IMAGEFILEFORMAT, TWON_ENUMERATION, All},
    {ICAP_UNDEFINEDIMAGESIZE, TWON_ONEVALUE, All},
    {CAP_INDICATORS, TWON_ONEVALUE, All},
    {CAP_UICONTROLLABLE, TWON_ONEVALUE, ReadOnly},
    {JpegQuality, TWON_ONEVALUE, All},
};

using Bytes = std::vector<unsigned char>;

template <typename T>
T at(const Bytes& bytes, size_t offset)
{
    T value{};
    if (offset + sizeof value <= bytes.size())
        memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

double fix32At(const Bytes& bytes, size_t offset)
{
    TW_FIX32 value = at<TW_FIX32>(bytes, offset);
    return value.Whole + value.Frac / 65536.0;
}

HGLOBAL globalCopy(const Bytes& bytes)
{
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    memcpy(GlobalLock(handle), bytes.data(), bytes.size());
    GlobalUnlock(handle);
    return handle;
}

Bytes oneValue(TW_UINT16 itemType, TW_UINT32 item)
{
    Bytes bytes(6);
    memcpy(bytes.data(), &itemType, 2);
    memcpy(bytes.data() + 2, &item, 4);
    return bytes;
}

std::string writeEmulatorConfig(const char* feeder)
{
    writePlainPage("capability_page.pgm", '\x60');
    std::string config = temporaryFile("capability_scanner.cfg");
    std::ofstream(config) << "page = capability_page.pgm\nfeeder = " << feeder << "\n";
    return config;
}

struct Answer {
    TW_UINT16 result;
    TW_UINT16 conType;
    Bytes container;
};

class CapabilityEntry : public LoadedSourceTest {
protected:
    void SetUp() override
    {
        prepareWindowsFolder();
        DeleteFileA(settingsFile().c_str());
    }

    void TearDown() override
    {
        if (entry) {
            call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr);
            call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity);
        }
        LoadedSourceTest::TearDown();
        SetEnvironmentVariableA("ZVP4_EMULATOR", nullptr);
    }

    // The source reads the emulator setting when it first uses the scanner,
    // so every feeder gets a freshly loaded source.
    void openWithFeeder(const char* feeder)
    {
        SetEnvironmentVariableA("ZVP4_EMULATOR", writeEmulatorConfig(feeder).c_str());
        load();
        identity.Id = 5;
        ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity), TWRC_SUCCESS);
    }

    // One request; a container the source handed out is copied and freed
    // as the application must.
    Answer ask(TW_UINT16 capId, TW_UINT16 msg)
    {
        TW_CAPABILITY capability{capId, TWON_DONTCARE16, nullptr};
        Answer answer{call(DG_CONTROL, DAT_CAPABILITY, msg, &capability), capability.ConType, {}};
        HGLOBAL handle = capability.hContainer;
        if (answer.result == TWRC_SUCCESS) {
            EXPECT_NE(handle, nullptr);
            EXPECT_EQ(GlobalFlags(handle) & GMEM_LOCKCOUNT, 0u) << "handed over unlocked";
            SIZE_T size = GlobalSize(handle);
            auto* bytes = static_cast<unsigned char*>(GlobalLock(handle));
            answer.container.assign(bytes, bytes + size);
            GlobalUnlock(handle);
            EXPECT_EQ(GlobalFree(handle), nullptr);
        } else {
            EXPECT_EQ(handle, nullptr) << "nothing handed over on failure";
        }
        return answer;
    }

    TW_UINT16 send(TW_UINT16 capId, TW_UINT16 conType, const Bytes& container)
    {
        HGLOBAL handle = globalCopy(container);
        TW_CAPABILITY capability{capId, conType, handle};
        TW_UINT16 result = call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
        EXPECT_EQ(static_cast<HGLOBAL>(capability.hContainer), handle) << "the application's block stays its own";
        GlobalFree(handle);
        return result;
    }

    double currentNumber(TW_UINT16 capId)
    {
        Answer answer = ask(capId, MSG_GETCURRENT);
        if (at<TW_UINT16>(answer.container, 0) == TWTY_FIX32)
            return fix32At(answer.container, 2);
        return at<TW_INT16>(answer.container, 2);
    }

    // get, get current, get default, set back, reset and query support of
    // every capability, as the present state of the source allows them.
    void exerciseEveryCapability()
    {
        for (const Expected& expected : everyCapability) {
            SCOPED_TRACE(testing::Message() << "cap 0x" << std::hex << expected.capId);
            Answer support = ask(expected.capId, MSG_QUERYSUPPORT);
            ASSERT_EQ(support.result, TWRC_SUCCESS);
            EXPECT_EQ(support.conType, TWON_ONEVALUE);
            EXPECT_EQ(at<TW_UINT16>(support.container, 0), TWTY_UINT32);
            EXPECT_EQ(at<TW_UINT32>(support.container, 2), expected.operations);

            Answer got = ask(expected.capId, MSG_GET);
            ASSERT_EQ(got.result, TWRC_SUCCESS);
            EXPECT_EQ(got.conType, expected.getContainer);
            TW_UINT16 valueContainer = expected.capId == CAP_SUPPORTEDCAPS ? TWON_ARRAY : TWON_ONEVALUE;
            Answer current = ask(expected.capId, MSG_GETCURRENT);
            ASSERT_EQ(current.result, TWRC_SUCCESS);
            EXPECT_EQ(current.conType, valueContainer);
            Answer byDefault = ask(expected.capId, MSG_GETDEFAULT);
            ASSERT_EQ(byDefault.result, TWRC_SUCCESS);
            EXPECT_EQ(byDefault.conType, valueContainer);
            EXPECT_EQ(at<TW_UINT16>(byDefault.container, 0), at<TW_UINT16>(got.container, 0));

            if (expected.operations == All) {
                // The value after the set depends on the scan settings that
                // every set copies back, so only its form is checked here.
                EXPECT_EQ(send(expected.capId, TWON_ONEVALUE, current.container), TWRC_SUCCESS);
                EXPECT_EQ(ask(expected.capId, MSG_GETCURRENT).container.size(), current.container.size());
                Answer reset = ask(expected.capId, MSG_RESET);
                EXPECT_EQ(reset.result, TWRC_SUCCESS);
                EXPECT_EQ(reset.container, byDefault.container);
            } else {
                EXPECT_EQ(send(expected.capId, TWON_ONEVALUE, current.container), TWRC_FAILURE);
                EXPECT_EQ(status(), TWCC_CAPBADOPERATION);
                EXPECT_EQ(ask(expected.capId, MSG_RESET).result, TWRC_FAILURE);
                EXPECT_EQ(status(), TWCC_CAPBADOPERATION);
            }
        }
        for (TW_UINT16 unsupported : {ICAP_FILTER, ICAP_GAMMA, ICAP_LIGHTPATH}) {
            EXPECT_EQ(ask(unsupported, MSG_GET).result, TWRC_FAILURE);
            EXPECT_EQ(status(), TWCC_CAPUNSUPPORTED);
        }
        EXPECT_EQ(ask(ICAP_XRESOLUTION, MSG_GETFIRST).result, TWRC_FAILURE);
        EXPECT_EQ(status(), TWCC_CAPUNSUPPORTED);
    }
};
}

TEST_F(CapabilityEntry, EveryCapabilityAnswersInStatesFourToSix)
{
    openWithFeeder("loaded");
    {
        SCOPED_TRACE("state 4");
        exerciseEveryCapability();
    }
    TW_USERINTERFACE withWindow{TRUE, FALSE, nullptr};
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &withWindow), TWRC_SUCCESS);
    {
        SCOPED_TRACE("state 5");
        exerciseEveryCapability();
    }
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &withWindow), TWRC_SUCCESS);
    TW_USERINTERFACE withoutWindow{FALSE, FALSE, nullptr};
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &withoutWindow), TWRC_SUCCESS);
    {
        SCOPED_TRACE("state 6");
        exerciseEveryCapability();
    }
}

TEST_F(CapabilityEntry, MalformedContainersAndOldApplicationsAreAnsweredWithoutHarm)
{
    openWithFeeder("loaded");
    TW_CAPABILITY withoutContainer{ICAP_PIXELTYPE, TWON_ONEVALUE, nullptr};
    EXPECT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &withoutContainer), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);

    Bytes text(2 + 34, 0);
    TW_UINT16 str32 = TWTY_STR32;
    memcpy(text.data(), &str32, 2);
    strcpy(reinterpret_cast<char*>(text.data() + 2), "ORDERED");
    EXPECT_EQ(send(ICAP_PIXELTYPE, TWON_ONEVALUE, text), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);

    Bytes shortEnumeration(14 + 2, 0);
    TW_UINT16 uint16 = TWTY_UINT16;
    TW_UINT32 manyItems = 1000;
    memcpy(shortEnumeration.data(), &uint16, 2);
    memcpy(shortEnumeration.data() + 2, &manyItems, 4);
    EXPECT_EQ(send(ICAP_XFERMECH, TWON_ENUMERATION, shortEnumeration), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADVALUE);
    EXPECT_EQ(currentNumber(ICAP_PIXELTYPE), TWPT_RGB);

    EXPECT_EQ(send(ICAP_PHYSICALWIDTH, TWON_ONEVALUE, oneValue(TWTY_FIX32, 5)), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_CAPBADOPERATION);
    call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity);

    // An application of TWAIN 1.5 does not know the codes of 1.6.
    application.ProtocolMinor = 5;
    ASSERT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity), TWRC_SUCCESS);
    EXPECT_EQ(send(ICAP_PHYSICALWIDTH, TWON_ONEVALUE, oneValue(TWTY_FIX32, 5)), TWRC_FAILURE);
    EXPECT_EQ(status(), TWCC_BADCAP);
}

TEST_F(CapabilityEntry, TheFeederAnswersAsTheScannerReportsIt)
{
    struct Case {
        const char* feeder;
        bool present;
        TW_INT16 loadedOnceEnabled;
    };
    for (const Case& c : {Case{"loaded", true, 1}, Case{"empty", true, 0}, Case{"absent", false, 0}}) {
        SCOPED_TRACE(c.feeder);
        openWithFeeder(c.feeder);
        EXPECT_EQ(currentNumber(CAP_FEEDERLOADED), 0) << "not asked while the feeder is off";
        if (c.present) {
            EXPECT_EQ(currentNumber(CAP_FEEDERENABLED), 0);
            ASSERT_EQ(send(SizesForFeeder, TWON_ONEVALUE, oneValue(TWTY_UINT16, TWSS_A4LETTER)), TWRC_SUCCESS);
            EXPECT_EQ(at<TW_UINT32>(ask(ICAP_SUPPORTEDSIZES, MSG_GET).container, 6), 3u) << "the glass list";
            ASSERT_EQ(send(CAP_FEEDERENABLED, TWON_ONEVALUE, oneValue(TWTY_BOOL, TRUE)), TWRC_SUCCESS);
            EXPECT_EQ(currentNumber(CAP_FEEDERENABLED), 1);
            EXPECT_EQ(currentNumber(CAP_FEEDERLOADED), c.loadedOnceEnabled);
            EXPECT_EQ(at<TW_UINT32>(ask(ICAP_SUPPORTEDSIZES, MSG_GET).container, 6), 0u) << "the feeder list";
        } else {
            EXPECT_EQ(ask(CAP_FEEDERENABLED, MSG_GET).result, TWRC_FAILURE);
            EXPECT_EQ(status(), TWCC_CAPUNSUPPORTED);
            EXPECT_EQ(send(CAP_FEEDERENABLED, TWON_ONEVALUE, oneValue(TWTY_BOOL, TRUE)), TWRC_FAILURE);
            EXPECT_EQ(status(), TWCC_CAPUNSUPPORTED);
        }
        call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity);
        unload();
    }
}

namespace {
// The application's own window: its message, posted before a transfer,
// arrives while the source waits, and makes it close the source.
std::function<void()> closeTheSource;

LRESULT CALLBACK applicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP && closeTheSource)
        closeTheSource();
    return DefWindowProcA(window, message, wParam, lParam);
}
}  // namespace

TEST_F(CapabilityEntry, ACloseFromTheApplicationWhileTheFeederPromptIsUpIsRefused)
{
    openWithFeeder("empty");
    ASSERT_EQ(send(CAP_FEEDERENABLED, TWON_ONEVALUE, oneValue(TWTY_BOOL, TRUE)), TWRC_SUCCESS);
    TW_USERINTERFACE noInterface{FALSE, 0, nullptr};
    ASSERT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &noInterface), TWRC_SUCCESS);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = applicationWindowProc;
    windowClass.lpszClassName = "VivaroApplication";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("VivaroApplication", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    TW_UINT16 answer = 0, condition = 0;
    closeTheSource = [&] {
        answer = call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity);
        condition = status();
    };
    PostMessageA(window, WM_APP, 0, 0);

    // The feeder is empty: the scan asks for paper, and the user gives up.
    MessageBoxAnswerer prompt("Vivaro 5310MF Scan", 20000, nullptr, IDCANCEL);
    TW_HANDLE image = nullptr;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &image), TWRC_FAILURE);
    EXPECT_FALSE(prompt.text().empty()) << "the feeder prompt was shown";
    closeTheSource = nullptr;
    DestroyWindow(window);
    EXPECT_EQ(answer, TWRC_FAILURE) << "the close came while the prompt was up, and was refused";
    EXPECT_EQ(condition, TWCC_SEQERROR);
    // Still open and enabled: the application closes it properly now.
    TW_PENDINGXFERS count{};
    EXPECT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &count), TWRC_SUCCESS);
    EXPECT_EQ(call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, nullptr), TWRC_SUCCESS);
    EXPECT_EQ(call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity), TWRC_SUCCESS);
}
