#include "SelectorApp.h"

#include <ole2.h>

#include "FirewallAuthorization.h"
#include "ReplyScan.h"
#include "SelectorDlg.h"
#include "resource.h"

namespace {

CSelectorApp* theApp = nullptr;

std::string LoadText(HINSTANCE instance, UINT id)
{
    char text[512] = {};
    LoadStringA(instance, id, text, sizeof text);
    return text;
}

}  // namespace

CSelectorApp& TheSelectorApp()
{
    return *theApp;
}

CSelectorApp::CSelectorApp() : discoveryModel(kDiscoveryModel), search_(CodePageUpperCaseInPlace, OemToAnsiCodePageInPlace)
{
    theApp = this;
}

CSelectorApp::~CSelectorApp()
{
    Shutdown();
    theApp = nullptr;
}

void CSelectorApp::AttachSetupLayer(OwnedSetupLayer layer)
{
    setupLayer_ = std::move(layer);
}

int CSelectorApp::Run(HINSTANCE instance)
{
    instance_ = instance;
    comInitialised_ = SUCCEEDED(OleInitialize(nullptr));
    replyWaitSeconds = kReplyWaitSeconds;
    AuthorizeInFirewall(LoadText(instance, IDS_FIREWALL_NAME));

    WSADATA winsock = {};
    if (WSAStartup(MAKEWORD(1, 1), &winsock) != 0) {
        return 0;
    }
    winsockStarted_ = true;
    if (!notifyWindow_.Create(instance, search_)) {
        return 0;
    }
    browseSocket_.Create(notifyWindow_.Handle());
    if (snmpSocket_.Open(notifyWindow_.Handle()) != 0) {
        // Without its socket the window could only ever show an empty list.
        MessageBoxA(nullptr,
                    "The network search cannot run: none of the local UDP ports 1025 to 1034 is free.\n"
                    "Close other network programs and start the printer selector again.",
                    LoadText(instance, IDS_FIREWALL_NAME).c_str(), MB_OK | MB_ICONERROR);
        return 1;
    }
    notifyWindow_.SetSockets(snmpSocket_.Handle(), browseSocket_.Handle());
    AttachSetupLayer(CreateSetupLayer());

    CSelectorDlg window(*this);
    window.DoModal();
    return 0;
}

void CSelectorApp::BroadcastQueries()
{
    WinsockDiscoveryNetwork network(snmpSocket_.Handle(), browseSocket_.Handle());
    search_.BroadcastQueries(network, clock_);
    hostName_ = network.HostName();
    localAddressText_ = search_.LocalAddressText();
}

void CSelectorApp::MatchReplies(DeviceRowSink& window)
{
    search_.MatchReplies(window, clock_, dns_, replyWaitSeconds);
}

void CSelectorApp::Shutdown()
{
    snmpSocket_.Close();
    browseSocket_.Close();
    notifyWindow_.Destroy();
    if (winsockStarted_) {
        WSACleanup();
        winsockStarted_ = false;
    }
    setupLayer_ = OwnedSetupLayer{};
    if (comInitialised_) {
        OleUninitialize();
        comInitialised_ = false;
    }
}
