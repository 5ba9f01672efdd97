#pragma once
// The application object: owns the sockets, the discovery state and the
// printer-setup layer, and runs the selector window.
#include <winsock2.h>
#include <windows.h>

#include <memory>
#include <string>

#include "DiscoverySearch.h"
#include "DiscoverySockets.h"
#include "DnsLookupWin.h"
#include "SelectorFlow.h"
#include "SetupLayerFactory.h"
#include "WindowMessageQueue.h"

class CSelectorApp {
public:
    CSelectorApp();
    ~CSelectorApp();
    CSelectorApp(const CSelectorApp&) = delete;
    CSelectorApp& operator=(const CSelectorApp&) = delete;

    // Start-up, the selector window, and the end of the program.
    int Run(HINSTANCE instance);

    // The single place where the printer-setup layer is handed over; null
    // pointers mean there is none.
    void AttachSetupLayer(OwnedSetupLayer layer);
    SetupLayer Setup() const
    {
        return {setupLayer_.setup.get(), setupLayer_.editor.get(), setupLayer_.prompts.get()};
    }

    void BroadcastQueries();
    void MatchReplies(DeviceRowSink& window);
    const DeviceTable& Devices() const { return search_.Devices(); }
    HINSTANCE Instance() const { return instance_; }

    int replyWaitSeconds = kReplyWaitSeconds;
    const std::string discoveryModel;

private:
    void Shutdown();

    HINSTANCE instance_ = nullptr;
    bool comInitialised_ = false;
    bool winsockStarted_ = false;
    DiscoverySearch search_;
    SocketNotifyWindow notifyWindow_;
    CSnmpSocket snmpSocket_;
    CBrowseSocket browseSocket_;
    WindowSearchClock clock_;  // dispatches messages while the search waits
    WindowsDnsResolver dns_;
    OwnedSetupLayer setupLayer_;
    std::string hostName_;
    std::string localAddressText_;
};

CSelectorApp& TheSelectorApp();
