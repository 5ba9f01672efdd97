#include "DiscoverySockets.h"

#include "BrowseRequest.h"
#include "SnmpRequest.h"
#include "WinsockDatagrams.h"

namespace {

const char kNotifyWindowClass[] = "DevfinderSocketNotify";
constexpr long kAllNotifications = FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;

}  // namespace

SOCKET OpenNotifyingDatagramSocket(unsigned short port, HWND notifyWindow, UINT message)
{
    SOCKET handle = OpenBoundDatagramSocket(port);
    if (handle != INVALID_SOCKET && WSAAsyncSelect(handle, notifyWindow, message, kAllNotifications) != 0) {
        closesocket(handle);
        return INVALID_SOCKET;
    }
    return handle;
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
    Ipv4Address from = 0;
    const int received = ReceiveDatagram(snmp_, buffer, sizeof buffer, from);
    if (received > 0) {
        search_->StoreReply(from, buffer, received);
    }
}

void SocketNotifyWindow::OnBrowseReceive()
{
    std::uint8_t buffer[kBrowseReceiveBufferSize];
    Ipv4Address from = 0;
    const int received = ReceiveDatagram(browse_, buffer, sizeof buffer, from);
    if (received > 0) {
        search_->StoreBrowseDatagram(from, buffer, received);
    }
}

bool WinsockDiscoveryNetwork::ResolveLocalAddress(Ipv4Address& address)
{
    return ResolveLocalHost(hostName_, address);
}

void WinsockDiscoveryNetwork::SendSnmpDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length)
{
    SendBroadcastDatagram(snmp_, to, kSnmpPort, bytes, length);
}

void WinsockDiscoveryNetwork::SendBrowseDatagram(Ipv4Address to, const std::uint8_t* bytes, std::size_t length)
{
    SendBroadcastDatagram(browse_, to, kNetbiosDatagramPort, bytes, length);
}
