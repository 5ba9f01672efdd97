#pragma once
// The two datagram sockets of the selector. Their readable-data
// notifications arrive as window messages at a hidden window, so replies
// are stored whenever the thread dispatches messages (the search's pump and
// the dialog's modal loop) and never while replies are being matched.
#include <winsock2.h>
#include <windows.h>

#include "DiscoverySearch.h"

// Hidden message-only window that receives the socket notifications.
class SocketNotifyWindow {
public:
    static constexpr UINT kSnmpMessage = WM_APP + 1;
    static constexpr UINT kBrowseMessage = WM_APP + 2;

    bool Create(HINSTANCE instance, DiscoverySearch& search);
    void Destroy();
    HWND Handle() const { return window_; }
    void SetSockets(SOCKET snmp, SOCKET browse);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnSnmpReceive();
    void OnBrowseReceive();

    HWND window_ = nullptr;
    DiscoverySearch* search_ = nullptr;
    SOCKET snmp_ = INVALID_SOCKET;
    SOCKET browse_ = INVALID_SOCKET;
};

// Bound to the first free local port of 1025..1034.
class CSnmpSocket {
public:
    static constexpr unsigned short kFirstPort = 1025;
    static constexpr int kPortsTried = 10;

    ~CSnmpSocket() { Close(); }
    // 0 on success.
    int Open(HWND notifyWindow);
    void Close();
    SOCKET Handle() const { return socket_; }
    unsigned short Port() const { return port_; }

private:
    SOCKET socket_ = INVALID_SOCKET;
    unsigned short port_ = 0;
};

// Bound to port 138; without it no names are learnt and no browse request goes out.
class CBrowseSocket {
public:
    ~CBrowseSocket() { Close(); }
    bool Create(HWND notifyWindow);
    void Close();
    SOCKET Handle() const { return socket_; }

private:
    SOCKET socket_ = INVALID_SOCKET;
};

// A UDP socket bound to port on any local interface, non-blocking, with
// every notification sent to notifyWindow; INVALID_SOCKET on failure.
SOCKET OpenNotifyingDatagramSocket(unsigned short port, HWND notifyWindow, UINT message);

// The search's view of the two sockets and the host name.
class WinsockDiscoveryNetwork : public DiscoveryNetwork {
public:
    WinsockDiscoveryNetwork(SOCKET snmp, SOCKET browse) : snmp_(snmp), browse_(browse) {}
    bool ResolveLocalAddress(Ipv4Address& address) override;
    void SendSnmpDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length) override;
    void SendBrowseDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length) override;
    const std::string& HostName() const { return hostName_; }

private:
    SOCKET snmp_;
    SOCKET browse_;
    std::string hostName_;
};
