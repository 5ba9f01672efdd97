// XSPOOL_Z.dll: the spooler and registry functions the uninstaller uses,
// exported under their Windows names with the Windows behaviour. Each
// export hands its arguments unchanged to the system function, so results,
// structures and the thread's last error are exactly the system's.
//
// The functions carry an "xspool_" prefix here because the system headers
// already declare the Windows names; the .def files export them under the
// Windows names.
#include <windows.h>
#include <winspool.h>

extern "C" {

BOOL WINAPI xspool_EnumPrintersA(DWORD flags, LPSTR name, DWORD level, LPBYTE buffer, DWORD bufferSize,
                                 LPDWORD needed, LPDWORD returned) {
  return EnumPrintersA(flags, name, level, buffer, bufferSize, needed, returned);
}

BOOL WINAPI xspool_OpenPrinterA(LPSTR printerName, LPHANDLE printer, LPPRINTER_DEFAULTSA defaults) {
  return OpenPrinterA(printerName, printer, defaults);
}

BOOL WINAPI xspool_ClosePrinter(HANDLE printer) { return ClosePrinter(printer); }

BOOL WINAPI xspool_GetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD bufferSize, LPDWORD needed) {
  return GetPrinterA(printer, level, buffer, bufferSize, needed);
}

BOOL WINAPI xspool_SetPrinterA(HANDLE printer, DWORD level, LPBYTE buffer, DWORD command) {
  return SetPrinterA(printer, level, buffer, command);
}

DWORD WINAPI xspool_GetPrinterDataA(HANDLE printer, LPSTR valueName, LPDWORD type, LPBYTE data, DWORD size,
                                    LPDWORD needed) {
  return GetPrinterDataA(printer, valueName, type, data, size, needed);
}

BOOL WINAPI xspool_EnumJobsA(HANDLE printer, DWORD firstJob, DWORD jobCount, DWORD level, LPBYTE buffer,
                             DWORD bufferSize, LPDWORD needed, LPDWORD returned) {
  return EnumJobsA(printer, firstJob, jobCount, level, buffer, bufferSize, needed, returned);
}

BOOL WINAPI xspool_SetJobA(HANDLE printer, DWORD jobId, DWORD level, LPBYTE job, DWORD command) {
  return SetJobA(printer, jobId, level, job, command);
}

BOOL WINAPI xspool_DeletePrinter(HANDLE printer) { return DeletePrinter(printer); }

BOOL WINAPI xspool_DeletePrinterConnectionA(LPSTR name) { return DeletePrinterConnectionA(name); }

BOOL WINAPI xspool_EnumPrinterDriversA(LPSTR name, LPSTR environment, DWORD level, LPBYTE buffer,
                                       DWORD bufferSize, LPDWORD needed, LPDWORD returned) {
  return EnumPrinterDriversA(name, environment, level, buffer, bufferSize, needed, returned);
}

BOOL WINAPI xspool_GetPrinterDriverA(HANDLE printer, LPSTR environment, DWORD level, LPBYTE buffer,
                                     DWORD bufferSize, LPDWORD needed) {
  return GetPrinterDriverA(printer, environment, level, buffer, bufferSize, needed);
}

BOOL WINAPI xspool_DeletePrinterDriverA(LPSTR name, LPSTR environment, LPSTR driverName) {
  return DeletePrinterDriverA(name, environment, driverName);
}

BOOL WINAPI xspool_DeleteMonitorA(LPSTR name, LPSTR environment, LPSTR monitorName) {
  return DeleteMonitorA(name, environment, monitorName);
}

BOOL WINAPI xspool_EnumPrintProcessorsA(LPSTR name, LPSTR environment, DWORD level, LPBYTE buffer,
                                        DWORD bufferSize, LPDWORD needed, LPDWORD returned) {
  return EnumPrintProcessorsA(name, environment, level, buffer, bufferSize, needed, returned);
}

BOOL WINAPI xspool_DeletePrintProcessorA(LPSTR name, LPSTR environment, LPSTR processorName) {
  return DeletePrintProcessorA(name, environment, processorName);
}

BOOL WINAPI xspool_GetPrinterDriverDirectoryA(LPSTR name, LPSTR environment, DWORD level, LPBYTE buffer,
                                              DWORD bufferSize, LPDWORD needed) {
  return GetPrinterDriverDirectoryA(name, environment, level, buffer, bufferSize, needed);
}

BOOL WINAPI xspool_GetPrintProcessorDirectoryA(LPSTR name, LPSTR environment, DWORD level, LPBYTE buffer,
                                               DWORD bufferSize, LPDWORD needed) {
  return GetPrintProcessorDirectoryA(name, environment, level, buffer, bufferSize, needed);
}

LONG WINAPI xspool_RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result) { return RegOpenKeyA(key, subKey, result); }

LONG WINAPI xspool_RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
  return RegOpenKeyExA(key, subKey, options, access, result);
}

LONG WINAPI xspool_RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize) {
  return RegEnumKeyA(key, index, name, nameSize);
}

LONG WINAPI xspool_RegEnumValueA(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameSize, LPDWORD reserved,
                                 LPDWORD type, LPBYTE data, LPDWORD dataSize) {
  return RegEnumValueA(key, index, valueName, valueNameSize, reserved, type, data, dataSize);
}

LONG WINAPI xspool_RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                    LPDWORD dataSize) {
  return RegQueryValueExA(key, valueName, reserved, type, data, dataSize);
}

LONG WINAPI xspool_RegSetValueExA(HKEY key, LPCSTR valueName, DWORD reserved, DWORD type, const BYTE* data,
                                  DWORD dataSize) {
  return RegSetValueExA(key, valueName, reserved, type, data, dataSize);
}

LONG WINAPI xspool_RegDeleteKeyA(HKEY key, LPCSTR subKey) { return RegDeleteKeyA(key, subKey); }

LONG WINAPI xspool_RegDeleteValueA(HKEY key, LPCSTR valueName) { return RegDeleteValueA(key, valueName); }

LONG WINAPI xspool_RegCloseKey(HKEY key) { return RegCloseKey(key); }

}  // extern "C"
