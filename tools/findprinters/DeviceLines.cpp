#include "DeviceLines.h"

#include "SelectorRows.h"

namespace {

// Names and models come from the network: control characters in them would
// break the line format or drive the terminal. They are written as \xHH,
// and a backslash as \\, so every field reads back unambiguously.
bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }
// U+0080..U+009F in UTF-8: terminals may take them for controls as well.
bool IsUtf8C1(unsigned char lead, unsigned char next) { return lead == 0xC2 && next >= 0x80 && next <= 0x9F; }

void AppendEscape(std::string& out, unsigned char byte)
{
    static const char kDigits[] = "0123456789abcdef";
    out += "\\x";
    out += kDigits[byte >> 4];
    out += kDigits[byte & 15];
}

std::string Field(const std::string& text)
{
    std::string field;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\\') {
            field += "\\\\";
        } else if (IsControl(byte)) {
            AppendEscape(field, byte);
        } else if (i + 1 < text.size() && IsUtf8C1(byte, static_cast<unsigned char>(text[i + 1]))) {
            AppendEscape(field, byte);
            AppendEscape(field, static_cast<unsigned char>(text[++i]));
        } else {
            field += text[i];
        }
    }
    return field;
}

}  // namespace

void DeviceLinePrinter::AddDeviceRow(const std::string& netbiosName, const std::string& addressText,
                                     const std::string& dnsName, const std::string& modelText)
{
    out_ << Field(UnitNameFor(dnsName, netbiosName, addressText)) << '\t' << Field(addressText) << '\t'
         << Field(dnsName) << '\t' << Field(netbiosName) << '\t' << Field(modelText) << '\n';
    out_.flush();
    ++count_;
}
