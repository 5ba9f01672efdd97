#pragma once

// The well-known directories that scripts and removal steps name by a small
// integer code. This table says where each code comes from; resolving it on
// Windows is DirectoryResolver's job.
enum class DirectorySource {
  None,
  ProgramFile,
  ProgramDirectory,
  WindowsDirectory,
  SystemDirectory,
  TemporaryDirectory,
  TemporaryFileName,
  ShellFolder,
  PrinterDriverDirectory,
  PrintProcessorDirectory,
  ColorDirectory,
  CurrentDirectory,
  WindowsInfDirectory,
};

enum class PrinterEnvironment { Local, Windows40 };

struct DirectoryCodeEntry {
  DirectorySource source = DirectorySource::None;
  int shellFolder = -1;  // CSIDL value for ShellFolder
  PrinterEnvironment environment = PrinterEnvironment::Local;
};

// Codes outside 1..35 (and 0) give the None entry.
DirectoryCodeEntry directoryCodeEntry(int code);

// True for the two codes that yield a file rather than a directory.
bool directoryCodeYieldsFile(int code);

// The environment string the spooler is asked with; null for the local one.
const char* printerEnvironmentName(PrinterEnvironment environment);
