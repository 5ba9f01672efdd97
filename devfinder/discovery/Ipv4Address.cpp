#include "Ipv4Address.h"

Ipv4Address AddressFromBytes(std::uint8_t first, std::uint8_t second, std::uint8_t third, std::uint8_t fourth)
{
    return static_cast<Ipv4Address>(first) | static_cast<Ipv4Address>(second) << 8 |
           static_cast<Ipv4Address>(third) << 16 | static_cast<Ipv4Address>(fourth) << 24;
}

Ipv4Address AddressFromWire(const std::uint8_t* fourBytes)
{
    return AddressFromBytes(fourBytes[0], fourBytes[1], fourBytes[2], fourBytes[3]);
}

void AddressToWire(Ipv4Address address, std::uint8_t* fourBytes)
{
    for (int position = 0; position < 4; ++position) {
        fourBytes[position] = AddressByte(address, position);
    }
}

std::uint8_t AddressByte(Ipv4Address address, int position)
{
    return static_cast<std::uint8_t>(address >> (8 * position));
}

std::string DottedText(Ipv4Address address)
{
    std::string text;
    for (int position = 0; position < 4; ++position) {
        if (position > 0) {
            text += '.';
        }
        text += std::to_string(AddressByte(address, position));
    }
    return text;
}

bool ParseDotted(std::string_view text, Ipv4Address& address)
{
    std::uint8_t bytes[4] = {};
    std::size_t at = 0;
    for (int position = 0; position < 4; ++position) {
        if (position > 0) {
            if (at >= text.size() || text[at] != '.') {
                return false;
            }
            ++at;
        }
        unsigned value = 0;
        std::size_t digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < 3) {
            value = value * 10 + static_cast<unsigned>(text[at] - '0');
            ++at;
            ++digits;
        }
        if (digits == 0 || value > 255) {
            return false;
        }
        bytes[position] = static_cast<std::uint8_t>(value);
    }
    if (at != text.size()) {
        return false;
    }
    address = AddressFromWire(bytes);
    return true;
}

Ipv4Address SubnetBroadcast(Ipv4Address local)
{
    return AddressFromBytes(AddressByte(local, 0), AddressByte(local, 1), AddressByte(local, 2), 255);
}

Ipv4Address WideBroadcast(Ipv4Address local)
{
    return AddressFromBytes(AddressByte(local, 0), AddressByte(local, 1), 255, 255);
}
