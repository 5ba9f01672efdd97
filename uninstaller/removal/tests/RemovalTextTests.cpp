#include <gtest/gtest.h>

#include "IniText.h"
#include "PlanLineSafety.h"
#include "RegistryLines.h"

namespace {

TEST(IniEntryRemoval, TheKeyLineOfTheSectionGoesWholeAndNothingElse) {
  struct Case {
    const char* text;
    const char* result;  // nullptr: unchanged
  } cases[] = {
      {"[Vivaro]\r\nInstalled=1\r\nPort=2\r\n", "[Vivaro]\r\nPort=2\r\n"},
      {"[vivaro]\nINSTALLED = 1\n", "[vivaro]\n"},
      {"[Other]\nInstalled=1\n[Vivaro]\nPort=2\n", nullptr},
      {"[Vivaro]\n;Installed=0\nInstalled=1\n", "[Vivaro]\n;Installed=0\n"},
      {"[Vivaro]\nNotInstalled=1\nInstalledBy=x\n", nullptr},
      {"[Vivaro]\nPort=2\n[Next]\nInstalled=1\n", nullptr},
      {"[Vivaro]\r\nInstalled", "[Vivaro]\r\n"},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    std::optional<std::string> result = withoutIniEntry(c.text, "Vivaro", "Installed");
    if (c.result)
      EXPECT_EQ(c.result, result.value_or("(unchanged)")) << c.text;
    else
      EXPECT_FALSE(result) << c.text;
  }
}

TEST(LoadEntry, TheProgramGoesOnlyAsAWholeWord) {
  struct Case {
    const char* load;
    const char* result;
  } cases[] = {
      {"zstat.exe", ""},
      {"ZSTAT.EXE calc.exe", "calc.exe"},
      {"calc.exe zstat.exe", "calc.exe "},
      {"calc.exe zstat.exe notepad.exe", "calc.exe notepad.exe"},
      {"xzstat.exe zstat.exe2", nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    std::optional<std::string> result = withoutLoadWord(c.load, "ZStat.exe");
    if (c.result)
      EXPECT_EQ(c.result, result.value_or("(unchanged)")) << c.load;
    else
      EXPECT_FALSE(result) << c.load;
  }
}

TEST(ProgramManagerCommand, ACommandThatWouldOverflowTheBufferIsNotMade) {
  // "[ShowGroup(" + group + ",1)]" is 15 characters around the group; with
  // the terminating zero, 48 characters of group fill the 64 exactly.
  EXPECT_EQ("[ShowGroup(" + std::string(48, 'g') + ",1)]", programManagerCommand("[ShowGroup(%s,1)]", std::string(48, 'g')));
  EXPECT_FALSE(programManagerCommand("[ShowGroup(%s,1)]", std::string(49, 'g')));
  EXPECT_FALSE(programManagerCommand("[DeleteItem(%s)]", std::string(300, 'd')));
}

TEST(RegistryLine, FieldsRootsAndRefusals) {
  ParsedRegistryLine consumerItem =
      parseRegistryLine("HKLM,\"System\\CurrentControlSet\\control\\Print\\Printers\\P\\PrinterDriverData,\"\"");
  ASSERT_EQ(RegistryLineProblem::None, consumerItem.problem);
  EXPECT_EQ("System\\CurrentControlSet\\control\\Print\\Printers\\P\\PrinterDriverData", consumerItem.line.subKey);
  EXPECT_EQ("", consumerItem.line.valueName);
  EXPECT_FALSE(consumerItem.line.deltree);

  ParsedRegistryLine full = parseRegistryLine("hkcu,\"Software\\Z\",\"Value\",1,extra");
  EXPECT_EQ(RegistryRoot::CurrentUser, full.line.root);
  EXPECT_EQ("Value", full.line.valueName);
  EXPECT_EQ("1,extra", full.line.deltree.value_or(""));

  EXPECT_EQ(RegistryLineProblem::TooFewFields, parseRegistryLine("HKLM,\"Software\"").problem);
  EXPECT_EQ(RegistryLineProblem::UnknownRoot, parseRegistryLine("HKEY_LOCAL_MACHINE,\"S\",\"\"").problem);
  EXPECT_EQ(RegistryLineProblem::RootKeyItself, parseRegistryLine("HKLM,\"\",\"\",1").problem);
  EXPECT_EQ(RegistryLineProblem::None, parseRegistryLine("HKLM,\"\",\"Value\"").problem) << "a value is narrow";
}

TEST(PlanLineSafety, NamesAndDirectories) {
  for (const char* name : {"ZV.DLL", "Xunz___Z.unm", "a..b"}) EXPECT_TRUE(isPlainFileName(name)) << name;
  for (const char* name : {"", ".", "..", "...", ". .", " ", "..\\x", "C:x", "a/b", "*.*"})
    EXPECT_FALSE(isPlainFileName(name)) << name;

  for (const char* group : {"ARVEL", "ARVEL\\Vivaro"}) EXPECT_TRUE(isSafeSubdirectory(group)) << group;
  for (const char* group : {"..", "A\\..\\..", "\\Windows", "C:\\X", ".", "A\\.. ", "..."})
    EXPECT_FALSE(isSafeSubdirectory(group)) << group;

  const std::vector<std::string> known = {"C:\\WINDOWS\\", "C:\\WINDOWS\\SYSTEM32\\", "C:\\PROGRAM FILES\\"};
  for (const char* directory : {"C:\\PROGRAM FILES\\ARVEL", "C:\\ARVEL\\", "\\\\srv\\share\\arvel"})
    EXPECT_TRUE(isSafePackageDirectory(directory, known)) << directory;
  for (const char* directory : {"", "C:\\", "C:", "ARVEL", "C:\\windows", "C:\\Program Files\\", "C:\\A\\..\\WINDOWS",
                                "\\\\srv\\share", "C:\\A\\\\B"})
    EXPECT_FALSE(isSafePackageDirectory(directory, known)) << directory;
}

}  // namespace
