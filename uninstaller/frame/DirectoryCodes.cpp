#include "DirectoryCodes.h"

#include <array>

namespace {

constexpr DirectoryCodeEntry shell(int csidl) {
  return {DirectorySource::ShellFolder, csidl, PrinterEnvironment::Local};
}

constexpr DirectoryCodeEntry plain(DirectorySource source) {
  return {source, -1, PrinterEnvironment::Local};
}

constexpr std::array<DirectoryCodeEntry, 36> kCodes = {{
    plain(DirectorySource::None),                // 0
    plain(DirectorySource::ProgramFile),         // 1
    plain(DirectorySource::ProgramDirectory),    // 2
    plain(DirectorySource::WindowsDirectory),    // 3
    plain(DirectorySource::SystemDirectory),     // 4
    plain(DirectorySource::TemporaryDirectory),  // 5
    shell(0),                                    // 6 Desktop
    shell(6),                                    // 7 Favorites
    plain(DirectorySource::TemporaryFileName),   // 8
    shell(26),                                   // 9 application data
    shell(32),                                   // 10 Internet cache
    shell(33),                                   // 11 cookies
    shell(20),                                   // 12 Fonts
    shell(34),                                   // 13 history
    shell(19),                                   // 14 network neighbourhood
    shell(5),                                    // 15 personal documents
    shell(27),                                   // 16 printer neighbourhood
    shell(2),                                    // 17 Programs
    shell(8),                                    // 18 Recent
    shell(9),                                    // 19 Send To
    shell(11),                                   // 20 Start menu
    shell(7),                                    // 21 Startup
    shell(29),                                   // 22 alternate Startup
    shell(24),                                   // 23 common Startup
    shell(30),                                   // 24 common alternate Startup
    shell(21),                                   // 25 Templates
    {DirectorySource::PrinterDriverDirectory, -1, PrinterEnvironment::Local},      // 26
    {DirectorySource::PrinterDriverDirectory, -1, PrinterEnvironment::Windows40},  // 27
    {DirectorySource::PrintProcessorDirectory, -1, PrinterEnvironment::Local},     // 28
    {DirectorySource::PrintProcessorDirectory, -1, PrinterEnvironment::Local},     // 29
    shell(38),                                   // 30 Program Files
    shell(4),                                    // 31 Printers
    shell(23),                                   // 32 common Programs
    plain(DirectorySource::ColorDirectory),      // 33
    plain(DirectorySource::CurrentDirectory),    // 34
    plain(DirectorySource::WindowsInfDirectory), // 35
}};

}  // namespace

DirectoryCodeEntry directoryCodeEntry(int code) {
  if (code < 0 || code >= static_cast<int>(kCodes.size())) return plain(DirectorySource::None);
  return kCodes[static_cast<std::size_t>(code)];
}

bool directoryCodeYieldsFile(int code) { return code == 1 || code == 8; }

const char* printerEnvironmentName(PrinterEnvironment environment) {
  return environment == PrinterEnvironment::Windows40 ? "Windows 4.0" : nullptr;
}
