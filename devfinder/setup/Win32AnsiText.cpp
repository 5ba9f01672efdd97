#include "Win32AnsiText.h"

#include <windows.h>

#include <vector>

std::u16string Win32AnsiText::Widen(const std::string& text) const {
    if (text.empty()) return {};
    int units = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (units <= 0) return {};
    std::u16string wide(static_cast<std::size_t>(units), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), reinterpret_cast<LPWSTR>(wide.data()),
                        units);
    return wide;
}

std::string Win32AnsiText::Narrow(const std::u16string& text) const {
    if (text.empty()) return {};
    auto wide = reinterpret_cast<LPCWSTR>(text.data());
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(text.size()), narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

std::string Win32AnsiText::UpperCase(const std::string& text) const {
    std::vector<char> upper(text.begin(), text.end());
    if (!upper.empty()) CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return std::string(upper.begin(), upper.end());
}

bool Win32AnsiText::IsLeadByte(char byte) const { return IsDBCSLeadByte(static_cast<BYTE>(byte)) != FALSE; }
