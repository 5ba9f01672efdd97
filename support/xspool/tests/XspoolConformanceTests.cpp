// XSPOOL_Z must behave as the Windows function of each name. These tests
// call the DLL's exports by name and the system functions side by side and
// compare results, buffers and the last error.
#include <windows.h>
#include <winspool.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* const kExports[] = {
    "EnumPrintersA", "OpenPrinterA", "ClosePrinter", "GetPrinterA", "SetPrinterA", "GetPrinterDataA",
    "EnumJobsA", "SetJobA", "DeletePrinter", "DeletePrinterConnectionA", "EnumPrinterDriversA",
    "GetPrinterDriverA", "DeletePrinterDriverA", "DeleteMonitorA", "EnumPrintProcessorsA",
    "DeletePrintProcessorA", "GetPrinterDriverDirectoryA", "GetPrintProcessorDirectoryA", "RegOpenKeyA",
    "RegOpenKeyExA", "RegEnumKeyA", "RegEnumValueA", "RegQueryValueExA", "RegSetValueExA", "RegDeleteKeyA",
    "RegDeleteValueA", "RegCloseKey",
};

class Xspool : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryA("XSPOOL_Z.dll");
    ASSERT_NE(module_, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }

  template <typename Function>
  Function* get(const char* name, Function*) {
    return reinterpret_cast<Function*>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }

  HMODULE module_ = nullptr;
};

#define XSPOOL(name) get(#name, &::name)

TEST_F(Xspool, ExportsTheTwentySevenFunctionsUnderTheirPlainNames) {
  for (const char* name : kExports) EXPECT_NE(GetProcAddress(module_, name), nullptr) << name;
}

TEST_F(Xspool, RegistryCallsBehaveAsTheSystemCalls) {
  const char* testKey = "Software\\VivaroTests\\Xspool";
  HKEY created = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, testKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &created, nullptr),
            ERROR_SUCCESS);
  HKEY child = nullptr;
  ASSERT_EQ(RegCreateKeyA(created, "Child", &child), ERROR_SUCCESS);
  RegCloseKey(child);
  RegCloseKey(created);

  HKEY key = nullptr;
  ASSERT_EQ(XSPOOL(RegOpenKeyExA)(HKEY_CURRENT_USER, testKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  const char value[] = "C:\\Vivaro\\unins.exe";
  EXPECT_EQ(XSPOOL(RegSetValueExA)(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                   sizeof value),
            ERROR_SUCCESS);

  DWORD type = 0xdeadbeef, size = 0;
  EXPECT_EQ(XSPOOL(RegQueryValueExA)(key, "UninstallString", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, sizeof value);
  char small[4];
  size = sizeof small;
  EXPECT_EQ(XSPOOL(RegQueryValueExA)(key, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &size),
            ERROR_MORE_DATA);
  char buffer[64] = {};
  size = sizeof buffer;
  EXPECT_EQ(XSPOOL(RegQueryValueExA)(key, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(buffer, value);
  EXPECT_EQ(XSPOOL(RegQueryValueExA)(key, "Missing", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);

  char name[64] = {};
  DWORD nameSize = sizeof name;
  EXPECT_EQ(XSPOOL(RegEnumValueA)(key, 0, name, &nameSize, nullptr, &type, nullptr, nullptr), ERROR_SUCCESS);
  EXPECT_STREQ(name, "UninstallString");
  nameSize = sizeof name;
  EXPECT_EQ(XSPOOL(RegEnumValueA)(key, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(XSPOOL(RegEnumKeyA)(key, 0, name, sizeof name), ERROR_SUCCESS);
  EXPECT_STREQ(name, "Child");
  EXPECT_EQ(XSPOOL(RegEnumKeyA)(key, 1, name, sizeof name), ERROR_NO_MORE_ITEMS);

  HKEY viaOldCall = nullptr;
  EXPECT_EQ(XSPOOL(RegOpenKeyA)(key, "Child", &viaOldCall), ERROR_SUCCESS);
  EXPECT_EQ(XSPOOL(RegCloseKey)(viaOldCall), ERROR_SUCCESS);
  HKEY missing = nullptr;
  EXPECT_EQ(XSPOOL(RegOpenKeyA)(key, "NoSuchChild", &missing), RegOpenKeyA(key, "NoSuchChild", &missing));

  EXPECT_EQ(XSPOOL(RegDeleteValueA)(key, "UninstallString"), ERROR_SUCCESS);
  EXPECT_EQ(XSPOOL(RegDeleteValueA)(key, "UninstallString"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(XSPOOL(RegDeleteKeyA)(key, "Child"), ERROR_SUCCESS);
  EXPECT_EQ(XSPOOL(RegCloseKey)(key), ERROR_SUCCESS);
  EXPECT_EQ(XSPOOL(RegDeleteKeyA)(HKEY_CURRENT_USER, testKey), ERROR_SUCCESS);
  RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\VivaroTests");
}

struct CallResult {
  BOOL ok;
  DWORD lastError;
};

TEST_F(Xspool, SpoolerQueriesGiveTheSystemAnswers) {
  DWORD needed = 0, returned = 0, systemNeeded = 0, systemReturned = 0;
  SetLastError(0xdeadbeef);
  BOOL ok = XSPOOL(EnumPrintersA)(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &needed, &returned);
  DWORD error = GetLastError();
  SetLastError(0xdeadbeef);
  BOOL systemOk = EnumPrintersA(PRINTER_ENUM_LOCAL, nullptr, 4, nullptr, 0, &systemNeeded, &systemReturned);
  EXPECT_EQ(ok, systemOk);
  EXPECT_EQ(error, GetLastError());
  EXPECT_EQ(needed, systemNeeded);

  char directory[MAX_PATH] = {}, systemDirectory[MAX_PATH] = {};
  EXPECT_TRUE(XSPOOL(GetPrinterDriverDirectoryA)(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory),
                                                 sizeof directory, &needed));
  EXPECT_TRUE(GetPrinterDriverDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(systemDirectory),
                                         sizeof systemDirectory, &needed));
  EXPECT_STREQ(directory, systemDirectory);

  char windows40[] = "Windows 4.0";
  EXPECT_TRUE(XSPOOL(GetPrinterDriverDirectoryA)(nullptr, windows40, 1, reinterpret_cast<BYTE*>(directory),
                                                 sizeof directory, &needed));
  EXPECT_TRUE(GetPrinterDriverDirectoryA(nullptr, windows40, 1, reinterpret_cast<BYTE*>(systemDirectory),
                                         sizeof systemDirectory, &needed));
  EXPECT_STREQ(directory, systemDirectory);

  EXPECT_TRUE(XSPOOL(GetPrintProcessorDirectoryA)(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(directory),
                                                  sizeof directory, &needed));
  EXPECT_TRUE(GetPrintProcessorDirectoryA(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(systemDirectory),
                                          sizeof systemDirectory, &needed));
  EXPECT_STREQ(directory, systemDirectory);

  XSPOOL(EnumPrinterDriversA)(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
  EnumPrinterDriversA(nullptr, nullptr, 1, nullptr, 0, &systemNeeded, &systemReturned);
  EXPECT_EQ(needed, systemNeeded);
  XSPOOL(EnumPrintProcessorsA)(nullptr, nullptr, 1, nullptr, 0, &needed, &returned);
  EnumPrintProcessorsA(nullptr, nullptr, 1, nullptr, 0, &systemNeeded, &systemReturned);
  EXPECT_EQ(needed, systemNeeded);
}

TEST_F(Xspool, FailuresCarryTheSystemLastError) {
  char printerName[] = "Vivaro test printer that does not exist";
  char driverName[] = "Vivaro test driver that does not exist";
  auto compare = [](const char* what, auto viaLayer, auto viaSystem, bool mustFail = true) {
    SetLastError(0xdeadbeef);
    CallResult layer{viaLayer(), GetLastError()};
    SetLastError(0xdeadbeef);
    CallResult system{viaSystem(), GetLastError()};
    EXPECT_EQ(layer.ok, system.ok) << what;
    EXPECT_EQ(layer.lastError, system.lastError) << what;
    if (mustFail) {
      EXPECT_FALSE(layer.ok) << what;
    }
  };
  HANDLE printer = nullptr;
  compare("OpenPrinterA", [&] { return XSPOOL(OpenPrinterA)(printerName, &printer, nullptr); },
          [&] { return OpenPrinterA(printerName, &printer, nullptr); });
  compare("DeletePrinterDriverA", [&] { return XSPOOL(DeletePrinterDriverA)(nullptr, nullptr, driverName); },
          [&] { return DeletePrinterDriverA(nullptr, nullptr, driverName); });
  compare("DeleteMonitorA", [&] { return XSPOOL(DeleteMonitorA)(nullptr, nullptr, driverName); },
          [&] { return DeleteMonitorA(nullptr, nullptr, driverName); });
  // Windows fails on these two; Wine's versions are stubs that report
  // success. Either way the layer must answer as the system does.
  compare("DeletePrintProcessorA", [&] { return XSPOOL(DeletePrintProcessorA)(nullptr, nullptr, driverName); },
          [&] { return DeletePrintProcessorA(nullptr, nullptr, driverName); }, false);
  compare("DeletePrinterConnectionA", [&] { return XSPOOL(DeletePrinterConnectionA)(printerName); },
          [&] { return DeletePrinterConnectionA(printerName); }, false);
  compare("ClosePrinter", [&] { return XSPOOL(ClosePrinter)(nullptr); }, [&] { return ClosePrinter(nullptr); });
}

}  // namespace
