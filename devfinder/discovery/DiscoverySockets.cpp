#include "DiscoverySockets.h"

#include <cstring>

#include "BrowseRequest.h"
#include "SnmpRequest.h"

namespace {

const char kNotifyWindowClass[] = "DevfinderSocketNotify";
constexpr long kAllNotifications = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

Ipv4Address AddressOf(const sockaddr_in& from)
{
    std::uint8_t wire[4];
    std::memcpy(wire, &from.sin_addr, 4);
    return AddressFromWire(wire);
}

}  // namespace

SOCKET OpenNotifyingDatagramSocket(unsigned short port, HWND notifyWindow, UINT message)
{
    SOCKET handle = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (handle == INVALID_SOCKET) {
        return INVALID_SOCKET;
    }
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(handle, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 ||
        WSAAsyncSelect(handle, notifyWindow, message, kAllNotifications) != 0) {
        closesocket(handle);
        return INVALID_SOCKET;
    }
    return handle;
}

void SendBroadcastDatagram(SOCKET socket, Ipv4Address to, unsigned short port, const std::uint8_t* bytes,
                           std::size_t length)
{
    if (socket == INVALID_SOCKET) {
        return;
    }
    BOOL allow = TRUE;
    setsockopt(socket, SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&allow), sizeof allow);
    sockaddr_in target = {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    std::uint8_t wire[4];
    AddressToWire(to, wire);
    std::memcpy(&target.sin_addr, wire, 4);
    sendto(socket, reinterpret_cast<const char*>(bytes), static_cast<int>(length), 0,
           reinterpret_cast<const sockaddr*>(&target), sizeof target);
}

int CSnmpSocket::Open(HWND notifyWindow)
{
    for (int i = 0; i < kPortsTried; ++i) {
        const auto port = static_cast<unsigned short>(kFirstPort + i);
        socket_ = OpenNotifyingDatagramSocket(port, notifyWindow, SocketNotifyWindow::kSnmpMessage);
        if (socket_ != INVALID_SOCKET) {
            port_ = port;
            return 0;
        }
    }
    return -1;
}

void CSnmpSocket::Close()
{
    if (socket_ != INVALID_SOCKET) {
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
}

bool CBrowseSocket::Create(HWND notifyWindow)
{
    socket_ = OpenNotifyingDatagramSocket(kNetbiosDatagramPort, notifyWindow, SocketNotifyWindow::kBrowseMessage);
    return socket_ != INVALID_SOCKET;
}

void CBrowseSocket::Close()
{
    if (socket_ != INVALID_SOCKET) {
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
}

bool SocketNotifyWindow::Create(HINSTANCE instance, DiscoverySearch& search)
{
    search_ = &search;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &SocketNotifyWindow::WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kNotifyWindowClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(0, kNotifyWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!window_) {
        return false;
    }
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    return true;
}

void SocketNotifyWindow::Destroy()
{
    if (window_) {
        DestroyWindow(window_);
        window_ = nullptr;
    }
}

void SocketNotifyWindow::SetSockets(SOCKET snmp, SOCKET browse)
{
    snmp_ = snmp;
    browse_ = browse;
}

LRESULT CALLBACK SocketNotifyWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<SocketNotifyWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && (message == kSnmpMessage || message == kBrowseMessage)) {
        if (WSAGETSELECTEVENT(lParam) == FD_READ) {
            const auto socket = static_cast<SOCKET>(wParam);
            if (message == kSnmpMessage && socket == self->snmp_) {
                self->OnSnmpReceive();
            } else if (message == kBrowseMessage && socket == self->browse_) {
                self->OnBrowseReceive();
            }
        }
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void SocketNotifyWindow::OnSnmpReceive()
{
    std::uint8_t buffer[PacketRecord::kCapacity];
    sockaddr_in from = {};
    int fromLength = sizeof from;
    const int received = recvfrom(snmp_, reinterpret_cast<char*>(buffer), sizeof buffer, 0,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received > 0) {
        search_->StoreReply(AddressOf(from), buffer, received);
    }
}

void SocketNotifyWindow::OnBrowseReceive()
{
    std::uint8_t buffer[kBrowseReceiveBufferSize];
    sockaddr_in from = {};
    int fromLength = sizeof from;
    const int received = recvfrom(browse_, reinterpret_cast<char*>(buffer), sizeof buffer, 0,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (received > 0) {
        search_->StoreBrowseDatagram(AddressOf(from), buffer, received);
    }
}

bool WinsockDiscoveryNetwork::ResolveLocalAddress(Ipv4Address& address)
{
    char name[256] = {};
    if (gethostname(name, sizeof name) != 0) {
        return false;
    }
    hostName_ = name;
    const hostent* host = gethostbyname(name);
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0]) {
        return false;
    }
    address = AddressFromWire(reinterpret_cast<const std::uint8_t*>(host->h_addr_list[0]));
    return true;
}

void WinsockDiscoveryNetwork::SendSnmpDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length)
{
    SendBroadcastDatagram(snmp_, to, kSnmpPort, bytes, length);
}

void WinsockDiscoveryNetwork::SendBrowseDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length)
{
    SendBroadcastDatagram(browse_, to, kNetbiosDatagramPort, bytes, length);
}
