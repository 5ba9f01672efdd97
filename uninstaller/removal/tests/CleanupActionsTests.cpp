#include "CleanupActions.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "FakeRemovalPlatform.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

namespace {

const char kSystem[] = "C:\\WINDOWS\\SYSTEM32\\";
const char kDrivers[] = "C:\\WINDOWS\\SYSTEM32\\SPOOL\\DRIVERS\\W32X86\\";

class Cleanup : public ::testing::Test {
 protected:
  CleanupActions& actions(OsInfo os) {
    context_ = std::make_unique<RemovalContext>(machine.context(database, os));
    actions_ = std::make_unique<CleanupActions>(*context_);
    actions_->buildDirectoryLists();
    return *actions_;
  }
  void plan(ItemList list, const std::string& item) { database.MutableRemovalPlan().AddItem(list, item); }
  bool traced(const std::string& text) const {
    for (const std::string& line : machine.trace)
      if (line.find(text) != std::string::npos) return true;
    return false;
  }

  fake::Machine machine;
  UninstallDatabase database;
  std::unique_ptr<RemovalContext> context_;
  std::unique_ptr<CleanupActions> actions_;
};

// A file in use goes by the boot-time channel of its Windows generation.
TEST_F(Cleanup, AFileInUseIsScheduledTheWayItsWindowsSupports) {
  struct Case {
    int versionCode;
    const char* channel;
  } cases[] = {{1, "rename list"}, {4, "rename list"}, {2, "WININIT.INI"}, {3, "WININIT.INI"}, {7, "WININIT.INI"},
               {5, "restart move"}, {6, "restart move"}, {8, "restart move"}, {0, "restart move"}};
  for (const Case& c : cases) {
    fake::Machine local;
    UninstallDatabase db;
    local.files.addFile("C:\\PROGRAM\\zwininit.exe");
    local.files.addFile("C:\\WINDOWS\\SYSTEM32\\ZV.DLL");
    local.files.locked.insert(fake::lower("C:\\WINDOWS\\SYSTEM32\\ZV.DLL"));
    RemovalContext context = local.context(db, OsInfo{c.versionCode == 1 ? 1 : 3, c.versionCode});
    SCOPED_TRACE(c.versionCode);
    EXPECT_EQ(FileDeletion::Scheduled, FileRemoval(context).deleteWithFallback("C:\\WINDOWS\\SYSTEM32\\ZV.DLL"));
    const std::string channel = c.channel;
    EXPECT_EQ(channel == "rename list",
              local.profiles.privateWrites ==
                  std::vector<std::string>{"C:\\PROGRAM\\zwininit.ini [RENAME] C:\\WINDOWS\\SYSTEM32\\ZV.DLL=NUL"});
    EXPECT_EQ(channel == "WININIT.INI", local.files.has("C:\\WINDOWS\\WININIT.INI"));
    EXPECT_EQ(channel == "restart move", local.files.deletedAtRestart.size() == 1);
  }
}

TEST_F(Cleanup, WininitStartsWithRenameWhenNewAndGrowsByNulLines) {
  RemovalContext context = machine.context(database, fake::consumerWindows());
  FileRemoval files(context);
  files.addToWininit("C:\\A.DLL");
  files.addToWininit("C:\\B.DLL");
  EXPECT_EQ("[RENAME]\r\nNUL=C:\\A.DLL\r\nNUL=C:\\B.DLL\r\n", machine.files.contents("C:\\WINDOWS\\WININIT.INI"));
}

TEST_F(Cleanup, AWininitThatCannotBeReadIsLeftAsItIs) {
  const std::string wininit = "C:\\WINDOWS\\WININIT.INI";
  machine.files.addFile(wininit, "[RENAME]\r\nNUL=C:\\OLD.DLL\r\n");
  machine.files.unreadable.insert(fake::lower(wininit));
  RemovalContext context = machine.context(database, fake::consumerWindows());
  FileRemoval(context).addToWininit("C:\\A.DLL");
  EXPECT_EQ("[RENAME]\r\nNUL=C:\\OLD.DLL\r\n", machine.files.contents(wininit));
  EXPECT_THAT(machine.files.deletedAtRestart, ElementsAre("C:\\A.DLL"));
}

// Windows will not delete a directory as a file, and a delayed deletion of
// one takes the folder away at the next start: a name that turns out to be
// a directory, or a shortcut description that names its folder, is left.
TEST_F(Cleanup, ADirectoryIsNeitherDeletedNorScheduledAsAFile) {
  plan(ItemList::Files, "SPOOL");
  for (const char* description : {".", "..", "...", ". ."})
    plan(ItemList::Shortcuts, std::string("ARVEL,") + description + ",");
  machine.files.addDirectory("C:\\WINDOWS\\SYSTEM32\\SPOOL\\DRIVERS");
  machine.files.addDirectory("C:\\MENU\\PROGRAMS\\ARVEL");
  machine.files.addDirectory("C:\\ALLMENU\\PROGRAMS\\ARVEL");
  for (OsInfo os : {fake::ntFamily(), fake::consumerWindows()}) {
    actions(os).removeShortcuts();
    actions_->removeFiles();
  }
  EXPECT_THAT(machine.files.deletedAtRestart, IsEmpty());
  EXPECT_FALSE(machine.files.has("C:\\WINDOWS\\WININIT.INI"));
  EXPECT_FALSE(database.RestartNeeded());
  EXPECT_TRUE(machine.files.hasDirectory("C:\\WINDOWS\\SYSTEM32\\SPOOL"));
}

TEST_F(Cleanup, TheRenameListIsOnlyWrittenWhenItsBootProgramIsThere) {
  RemovalContext context = machine.context(database, OsInfo{1, 1});
  FileRemoval(context).addToRenameList("C:\\A.DLL");
  EXPECT_THAT(machine.profiles.privateWrites, IsEmpty());
}

TEST_F(Cleanup, NotFoundCountsAsDoneAndRaisesNothing) {
  plan(ItemList::Files, "MISSING.DLL");
  actions(fake::ntFamily()).removeFiles();
  EXPECT_FALSE(database.RestartNeeded());
  EXPECT_THAT(machine.files.deletedAtRestart, IsEmpty());
}

// "name=number": the name goes from every flat directory, from the searched
// directories two levels down, and from the package's directories three
// levels down, whose emptied folders go too.
TEST_F(Cleanup, AFilesLineDeletesItsNameWhereverTheListsReach) {
  plan(ItemList::Files, "ZV.DLL = 3");
  plan(ItemList::Directories, "C:\\PROGRAM FILES\\ARVEL");
  for (const std::string& path :
       {std::string(kSystem) + "ZV.DLL", std::string("C:\\WINDOWS\\ZV.DLL"), std::string(kDrivers) + "ZV.DLL",
        std::string(kDrivers) + "3\\ZV.DLL", std::string(kDrivers) + "3\\A\\ZV.DLL",
        std::string(kDrivers) + "3\\A\\B\\ZV.DLL", std::string(kSystem) + "SUB\\ZV.DLL",
        std::string("C:\\PROGRAM FILES\\ARVEL\\1\\2\\3\\ZV.DLL"), std::string("C:\\PROGRAM FILES\\ARVEL\\1\\2\\3\\4\\ZV.DLL"),
        std::string("C:\\PROGRAM FILES\\OTHER\\ZV.DLL")})
    machine.files.addFile(path);
  machine.files.addDirectory("C:\\PROGRAM FILES\\ARVEL\\EMPTY");

  actions(fake::ntFamily()).removeFiles();

  for (const char* gone : {"C:\\WINDOWS\\SYSTEM32\\ZV.DLL", "C:\\WINDOWS\\ZV.DLL",
                           "C:\\WINDOWS\\SYSTEM32\\SPOOL\\DRIVERS\\W32X86\\ZV.DLL",
                           "C:\\WINDOWS\\SYSTEM32\\SPOOL\\DRIVERS\\W32X86\\3\\A\\ZV.DLL",
                           "C:\\PROGRAM FILES\\ARVEL\\1\\2\\3\\ZV.DLL"})
    EXPECT_FALSE(machine.files.has(gone)) << gone;
  for (const char* kept : {"C:\\WINDOWS\\SYSTEM32\\SPOOL\\DRIVERS\\W32X86\\3\\A\\B\\ZV.DLL",
                           "C:\\WINDOWS\\SYSTEM32\\SUB\\ZV.DLL", "C:\\PROGRAM FILES\\ARVEL\\1\\2\\3\\4\\ZV.DLL",
                           "C:\\PROGRAM FILES\\OTHER\\ZV.DLL"})
    EXPECT_TRUE(machine.files.has(kept)) << kept;
  EXPECT_FALSE(machine.files.hasDirectory("C:\\PROGRAM FILES\\ARVEL\\EMPTY"));
  EXPECT_TRUE(machine.files.hasDirectory("C:\\PROGRAM FILES\\ARVEL\\1\\2\\3"));
  EXPECT_TRUE(machine.files.hasDirectory("C:\\WINDOWS\\SYSTEM32\\SPOOL\\DRIVERS\\W32X86\\3")) << "never removed";
}

TEST_F(Cleanup, AnEmptiedPackageDirectoryGoesItself) {
  plan(ItemList::Files, "ZV.DLL");
  plan(ItemList::Directories, "C:\\PROGRAM FILES\\ARVEL");
  machine.files.addFile("C:\\PROGRAM FILES\\ARVEL\\SUB\\ZV.DLL");
  actions(fake::ntFamily()).removeFiles();
  EXPECT_FALSE(machine.files.hasDirectory("C:\\PROGRAM FILES\\ARVEL"));
  EXPECT_TRUE(machine.files.hasDirectory("C:\\PROGRAM FILES"));
}

// A junction in a searched folder may lead anywhere, a system folder too:
// neither its files nor its empty folders are the package's.
TEST_F(Cleanup, ASearchDoesNotFollowLinks) {
  plan(ItemList::Files, "ZV.DLL");
  plan(ItemList::Directories, "C:\\PROGRAM FILES\\ARVEL");
  const std::string inLinks[] = {"C:\\PROGRAM FILES\\ARVEL\\LINK\\ZV.DLL", std::string(kDrivers) + "3\\LINK\\ZV.DLL"};
  for (const std::string& path : inLinks) machine.files.addFile(path);
  machine.files.addDirectory("C:\\PROGRAM FILES\\ARVEL\\LINK\\EMPTY");
  machine.files.links = {"c:\\program files\\arvel\\link", fake::lower(std::string(kDrivers) + "3\\LINK")};
  actions(fake::ntFamily()).removeFiles();
  for (const std::string& path : inLinks) EXPECT_TRUE(machine.files.has(path)) << path;
  EXPECT_TRUE(machine.files.hasDirectory("C:\\PROGRAM FILES\\ARVEL\\LINK\\EMPTY"));
}

TEST_F(Cleanup, ALockedFileIsScheduledAndAsksForARestart) {
  plan(ItemList::Files, "ZV.DLL");
  machine.files.addFile(std::string(kDrivers) + "3\\ZV.DLL");
  machine.files.locked.insert(fake::lower(std::string(kDrivers) + "3\\ZV.DLL"));
  actions(fake::ntFamily()).removeFiles();
  EXPECT_THAT(machine.files.deletedAtRestart, ElementsAre(std::string(kDrivers) + "3\\ZV.DLL"));
  EXPECT_TRUE(database.RestartNeeded());
}

TEST_F(Cleanup, FilesLinesThatWouldReachElsewhereAreRefused) {
  for (const char* line : {"..\\BOOT.INI", "C:\\WINDOWS\\SYSTEM32\\KERNEL32.DLL", "SUB\\X.DLL", "..", "*.DLL"})
    plan(ItemList::Files, line);
  machine.files.addFile("C:\\BOOT.INI");
  machine.files.addFile("C:\\WINDOWS\\SYSTEM32\\KERNEL32.DLL");
  actions(fake::ntFamily()).removeFiles();
  for (const std::string& line : machine.files.log) {
    if (line.rfind("delete ", 0) == 0) {
      EXPECT_THAT(line, HasSubstr("ZRESTART.EXE"));
    }
  }
  EXPECT_TRUE(machine.files.has("C:\\WINDOWS\\SYSTEM32\\KERNEL32.DLL"));
  EXPECT_EQ(5, std::count_if(machine.trace.begin(), machine.trace.end(),
                             [](const std::string& line) { return line.find("refused: Files line") != std::string::npos; }));
}

TEST_F(Cleanup, ZrestartGoesWithTheLastPrinterUnlessARestartIsAlreadyNeeded) {
  machine.files.addFile(std::string(kSystem) + "ZRESTART.EXE");
  actions(fake::ntFamily()).removeFiles();
  EXPECT_FALSE(machine.files.has(std::string(kSystem) + "ZRESTART.EXE"));

  machine.files.addFile(std::string(kSystem) + "ZRESTART.EXE");
  database.SetRestartNeeded(true);
  actions(fake::ntFamily()).removeFiles();
  EXPECT_TRUE(machine.files.has(std::string(kSystem) + "ZRESTART.EXE"));
}

TEST_F(Cleanup, OnPlatformClass1TheSettingsFileIsAlsoRenamedAtStart) {
  plan(ItemList::Files, "zreg32s.ini");
  machine.files.addFile("C:\\PROGRAM\\zwininit.exe");
  actions(fake::platformClass1()).removeFiles();
  EXPECT_THAT(machine.profiles.privateWrites,
              ElementsAre("C:\\PROGRAM\\zwininit.ini [RENAME] C:\\WINDOWS\\zreg32s.ini=NUL"));
}

// The plan is sorted, then reversed: a sub key's line comes before its
// parent's, so the parent is empty when its turn comes.
TEST_F(Cleanup, RegistryLinesRunInReverseOrderSoSubKeysGoFirst) {
  plan(ItemList::RegistryKeys, "HKLM,\"SOFTWARE\\ARVEL NORVANE\",\"\"");
  plan(ItemList::RegistryKeys, "HKLM,\"SOFTWARE\\ARVEL NORVANE\\V5320\",\"\"");
  machine.registry.addKey("HKLM\\SOFTWARE\\ARVEL NORVANE\\V5320");
  machine.registry.addKey("HKLM\\SOFTWARE\\ARVEL NORVANE\\OEM_Z\\ProgramGroups");
  machine.registry.addKey("HKLM\\SOFTWARE\\ARVEL NORVANE\\OEM_Z");

  actions(fake::ntFamily()).removeRegistryEntries();

  EXPECT_THAT(machine.registry.log,
              ElementsAre("delete key HKLM\\SOFTWARE\\ARVEL NORVANE\\OEM_Z\\ProgramGroups",
                          "delete key HKLM\\SOFTWARE\\ARVEL NORVANE\\V5320", "delete key HKLM\\SOFTWARE\\ARVEL NORVANE"));
  EXPECT_TRUE(machine.registry.hasKey("HKLM\\SOFTWARE\\ARVEL NORVANE\\OEM_Z")) << "no deltree: the key alone";
}

TEST_F(Cleanup, TheDeltreeFieldTiesTheTreeDeletionToOneVersion) {
  struct Case {
    const char* deltree;
    int versionCode;
    bool deleted;
  } cases[] = {{"4", 5, true}, {"4", 6, false}, {"2", 3, true}, {"2", 5, false}, {"3", 7, true},
               {"5", 6, true}, {"5", 8, false}, {"0", 8, true},  {"1", 2, true}};
  for (const Case& c : cases) {
    fake::Machine local;
    UninstallDatabase db;
    db.MutableRemovalPlan().AddItem(ItemList::RegistryKeys, std::string("HKCU,\"Software\\Z\",\"\",") + c.deltree);
    local.registry.addKey("HKCU\\Software\\Z\\A\\B");
    local.registry.addKey("HKCU\\Software\\Z\\C");
    RemovalContext context = local.context(db, OsInfo{3, c.versionCode});
    CleanupActions(context).removeRegistryEntries();
    EXPECT_EQ(c.deleted, !local.registry.hasKey("HKCU\\Software\\Z")) << c.deltree << " on " << c.versionCode;
    EXPECT_TRUE(local.registry.hasKey("HKCU\\Software"));
  }
}

TEST_F(Cleanup, AValueLineDeletesTheValueAndARootLineIsRefused) {
  plan(ItemList::RegistryKeys, "HKU,\".DEFAULT\\Software\\Z\",\"Setting\"");
  plan(ItemList::RegistryKeys, "HKLM,\"\",\"\",1");
  plan(ItemList::RegistryKeys, "HKCR,\"\\\",\"\"");
  plan(ItemList::RegistryKeys, "HKXX,\"Software\",\"\",1");
  machine.registry.setValue("HKU\\.DEFAULT\\Software\\Z", "Setting", "1");
  machine.registry.setValue("HKU\\.DEFAULT\\Software\\Z", "Other", "1");
  machine.registry.addKey("HKLM\\SOFTWARE\\Keep");

  actions(fake::ntFamily()).removeRegistryEntries();

  EXPECT_FALSE(machine.registry.hasValue("HKU\\.DEFAULT\\Software\\Z", "Setting"));
  EXPECT_TRUE(machine.registry.hasValue("HKU\\.DEFAULT\\Software\\Z", "Other"));
  EXPECT_TRUE(machine.registry.hasKey("HKLM\\SOFTWARE\\Keep"));
  EXPECT_EQ(2, std::count_if(machine.trace.begin(), machine.trace.end(), [](const std::string& line) {
              return line.find("names a root key itself") != std::string::npos;
            }));
}

TEST_F(Cleanup, AKeyTreeWithManySubKeysGoesWhole) {
  for (const char* key : {"A\\1", "A\\2", "B", "C\\1\\x", "C\\2", "D"})
    machine.registry.addKey(std::string("HKLM\\Software\\T\\") + key);
  EXPECT_TRUE(actions(fake::ntFamily()).deleteKeyTree(RegistryRoot::LocalMachine, "Software\\T"));
  EXPECT_FALSE(machine.registry.hasKey("HKLM\\Software\\T"));
  EXPECT_FALSE(actions_->deleteKeyTree(RegistryRoot::LocalMachine, "Software\\T")) << "does not open";
}

TEST_F(Cleanup, ShortcutsGoAsNamedLnkAndPifFromTheTablesFolders) {
  plan(ItemList::Shortcuts, "\"ARVEL\",\"Status.exe\",\"17\"");
  plan(ItemList::Shortcuts, "ARVEL,Monitor,startup");
  actions(fake::ntFamily()).removeShortcuts();

  std::vector<std::string> deleted;
  for (const std::string& line : machine.files.log)
    if (line.rfind("delete ", 0) == 0) deleted.push_back(line.substr(7));
  // The quoted line sorts first.
  EXPECT_THAT(deleted, ElementsAre("C:\\MENU\\PROGRAMS\\ARVEL\\Status.exe", "C:\\MENU\\PROGRAMS\\ARVEL\\Status.LNK",
                                   "C:\\MENU\\PROGRAMS\\ARVEL\\Status.PIF", "C:\\ALLMENU\\PROGRAMS\\ARVEL\\Status.exe",
                                   "C:\\ALLMENU\\PROGRAMS\\ARVEL\\Status.LNK", "C:\\ALLMENU\\PROGRAMS\\ARVEL\\Status.PIF",
                                   "C:\\MENU\\PROGRAMS\\ARVEL\\Monitor", "C:\\MENU\\PROGRAMS\\ARVEL\\Monitor.LNK",
                                   "C:\\MENU\\PROGRAMS\\ARVEL\\Monitor.PIF", "C:\\ALLMENU\\PROGRAMS\\ARVEL\\Monitor",
                                   "C:\\ALLMENU\\PROGRAMS\\ARVEL\\Monitor.LNK", "C:\\ALLMENU\\PROGRAMS\\ARVEL\\Monitor.PIF",
                                   "C:\\MENU\\STARTUP\\Monitor", "C:\\MENU\\STARTUP\\Monitor.LNK",
                                   "C:\\MENU\\STARTUP\\Monitor.PIF", "C:\\MENU\\ALTSTARTUP\\Monitor",
                                   "C:\\MENU\\ALTSTARTUP\\Monitor.LNK", "C:\\MENU\\ALTSTARTUP\\Monitor.PIF",
                                   "C:\\ALLMENU\\STARTUP\\Monitor", "C:\\ALLMENU\\STARTUP\\Monitor.LNK",
                                   "C:\\ALLMENU\\STARTUP\\Monitor.PIF", "C:\\ALLMENU\\ALTSTARTUP\\Monitor",
                                   "C:\\ALLMENU\\ALTSTARTUP\\Monitor.LNK", "C:\\ALLMENU\\ALTSTARTUP\\Monitor.PIF"));
  EXPECT_FALSE(database.RestartNeeded());
}

TEST_F(Cleanup, AGroupLineWithoutDescriptionRemovesTheEmptyGroupFolder) {
  plan(ItemList::Shortcuts, "ARVEL,,");
  plan(ItemList::Shortcuts, "..\\..,,");
  plan(ItemList::Shortcuts, "C:\\WINDOWS,,");
  actions(fake::ntFamily()).removeShortcuts();
  EXPECT_THAT(machine.files.log, ElementsAre("rmdir C:\\ALLMENU\\PROGRAMS\\ARVEL"));

  machine.files.log.clear();
  actions(fake::consumerWindows()).removeShortcuts();
  EXPECT_THAT(machine.files.log, ElementsAre("rmdir C:\\MENU\\PROGRAMS\\ARVEL"));
  EXPECT_TRUE(traced("refused: program group \"..\\..\""));
}

TEST_F(Cleanup, OnPlatformClass1TheProgramManagerRemovesTheItem) {
  plan(ItemList::Shortcuts, "ARVEL,Status Monitor,17");
  plan(ItemList::Shortcuts, std::string(60, 'G') + ",Item,17");
  actions(fake::platformClass1()).removeShortcuts();
  EXPECT_THAT(machine.programManager.commands, ElementsAre("[ShowGroup(ARVEL,1)]", "[DeleteItem(Status Monitor)]"));
  EXPECT_TRUE(traced("does not fit 64 characters"));
  EXPECT_THAT(machine.files.log, IsEmpty());

  // A name cannot close the command and open another one.
  machine.programManager.commands.clear();
  machine.trace.clear();
  database.MutableRemovalPlan() = UninstallProfile{};
  for (const char* line : {"A)][ExitProgman(1)][ShowGroup(A,Item,17", "ARVEL,Item)][ExitProgman(1)][X(,17",
                           "ARVEL,\"Say \"\"hi\"\"\",17", "AR\"VEL,Item,17"})
    plan(ItemList::Shortcuts, line);
  actions_->removeShortcuts();
  for (const std::string& command : machine.programManager.commands)
    EXPECT_EQ(1, std::count(command.begin(), command.end(), '[')) << command;
  EXPECT_EQ(4, std::count_if(machine.trace.begin(), machine.trace.end(), [](const std::string& line) {
              return line.find("refused: program manager") != std::string::npos;
            }));

  machine.programManager.commands.clear();
  plan(ItemList::Shortcuts, "ARVEL,Status Monitor,17");
  machine.programManager.answers = false;
  actions_->removeShortcuts();
  EXPECT_THAT(machine.programManager.commands, ElementsAre("[ShowGroup(ARVEL,1)]"));
}

TEST_F(Cleanup, AnIniEntryLeavesTheFileInTheWindowsDirectory) {
  plan(ItemList::DeleteIni, "C:\\ELSEWHERE\\WIN.INI,Vivaro,Installed");
  machine.files.addFile("C:\\WINDOWS\\WIN.INI", "[Vivaro]\r\nInstalled=1\r\nPort=2\r\n");
  machine.files.addFile("C:\\ELSEWHERE\\WIN.INI", "[Vivaro]\r\nInstalled=1\r\n");
  actions(fake::ntFamily()).removeIniEntries();
  EXPECT_EQ("[Vivaro]\r\nPort=2\r\n", machine.files.contents("C:\\WINDOWS\\WIN.INI"));
  EXPECT_EQ("[Vivaro]\r\nInstalled=1\r\n", machine.files.contents("C:\\ELSEWHERE\\WIN.INI"));
}

TEST_F(Cleanup, StartupEntriesGoFromTheRunKeyOrTheLoadLine) {
  plan(ItemList::DeleteLoadRun, "\"VivaroStatus\",\"ZSTAT.EXE\"");
  plan(ItemList::DeleteLoadRun, "NoProgram,");
  const char kRun[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
  machine.registry.setValue(kRun, "VivaroStatus", "ZSTAT.EXE");
  machine.registry.setValue(kRun, "NoProgram", "x");
  actions(fake::ntFamily()).removeStartupEntries();
  EXPECT_FALSE(machine.registry.hasValue(kRun, "VivaroStatus"));
  EXPECT_TRUE(machine.registry.hasValue(kRun, "NoProgram"));

  machine.profiles.writeUserString("windows", "Load", "NOTEPAD.EXE zstat.exe calc.exe");
  actions(fake::platformClass1()).removeStartupEntries();
  EXPECT_EQ("notepad.exe calc.exe", machine.profiles.readUserString("windows", "load", 255));
  EXPECT_EQ(2, machine.profiles.flushes);
}

TEST_F(Cleanup, ServicesGoOnTheNtFamilyAndAskForARestart) {
  plan(ItemList::Services, "ArvelHelper");
  plan(ItemList::Services, "Marked");
  plan(ItemList::Services, "Missing");
  machine.services.results = {{"ArvelHelper", ServiceDeletion::Deleted}, {"Marked", ServiceDeletion::AlreadyMarked}};
  actions(fake::consumerWindows()).removeServices();
  EXPECT_THAT(machine.services.deleted, IsEmpty());

  actions(fake::ntFamily()).removeServices();
  EXPECT_THAT(machine.services.deleted, ElementsAre("ArvelHelper", "Marked", "Missing"));
  EXPECT_TRUE(database.RestartNeeded());

  UninstallDatabase other;
  other.MutableRemovalPlan().AddItem(ItemList::Services, "Missing");
  RemovalContext context = machine.context(other, fake::ntFamily());
  CleanupActions(context).removeServices();
  EXPECT_FALSE(other.RestartNeeded());
}

// Every other spelling of a well-known folder is refused as well: the guard
// compares the folders as Windows resolves them.
TEST_F(Cleanup, PackageDirectoryGuardsCompareResolvedPaths) {
  const char kOemPaths[] = "HKLM\\SOFTWARE\\ARVEL NORVANE\\OEM_Z\\OEMPaths";
  for (const char* directory : {"C:\\PROGRAM FILES\\ARVEL", "C:\\PROGRAM FILES (X86)", "C:\\WINDOWS\\SYSWOW64",
                                "C:\\WINDOWS\\SYSNATIVE"})
    machine.files.addDirectory(directory);
  machine.files.shortNames["c:\\progra~1"] = "C:\\PROGRAM FILES";
  const char* refused[] = {"C:/WINDOWS", "C:\\WINDOWS.", "C:\\WINDOWS ", "C:\\WINDOWS\\SYSTEM32 .",
                           "\\\\?\\C:\\WINDOWS", "\\\\.\\C:\\WINDOWS\\SYSTEM32", "\\\\?\\UNC\\srv\\share",
                           "C:\\PROGRA~1", "C:\\PROGRAM FILES (X86)", "C:\\WINDOWS\\SYSWOW64",
                           "C:\\WINDOWS\\SYSNATIVE", "C:/", "C:\\NOT THERE", "\\\\?\\GLOBALROOT\\Device\\X"};
  int index = 0;
  for (const char* directory : refused) machine.registry.setValue(kOemPaths, "R" + std::to_string(index++), directory);
  machine.registry.setValue(kOemPaths, "Short", "C:\\PROGRA~1\\ARVEL");
  actions(fake::ntFamily()).addPackageDirectories();
  EXPECT_THAT(database.RemovalPlan().Items(ItemList::Directories), ElementsAre("C:\\PROGRAM FILES\\ARVEL"));
  EXPECT_EQ(static_cast<long>(std::size(refused)),
            std::count_if(machine.trace.begin(), machine.trace.end(), [](const std::string& line) {
              return line.find("refused: package directory") != std::string::npos;
            }));
}

TEST_F(Cleanup, PackageDirectoriesComeFromOemPathsUnlessTheyReachTooFar) {
  const char kOemPaths[] = "HKLM\\SOFTWARE\\ARVEL NORVANE\\OEM_Z\\OEMPaths";
  machine.files.addDirectory("C:\\PROGRAM FILES\\ARVEL");
  machine.registry.setValue(kOemPaths, "App", "C:\\PROGRAM FILES\\ARVEL");
  machine.registry.setValue(kOemPaths, "Root", "C:\\");
  machine.registry.setValue(kOemPaths, "Windows", "C:\\WINDOWS");
  machine.registry.setValue(kOemPaths, "Up", "C:\\PROGRAM FILES\\ARVEL\\..\\..");
  machine.registry.setValue(kOemPaths, "Relative", "ARVEL");
  actions(fake::ntFamily()).addPackageDirectories();
  EXPECT_THAT(database.RemovalPlan().Items(ItemList::Directories), ElementsAre("C:\\PROGRAM FILES\\ARVEL"));
  EXPECT_EQ(4, std::count_if(machine.trace.begin(), machine.trace.end(), [](const std::string& line) {
              return line.find("refused: package directory") != std::string::npos;
            }));
}

TEST_F(Cleanup, HooksAreCalledFromTheDriverDirectoryOrElseTheProgramDirectory) {
  plan(ItemList::Hooks, "A.DLL,UnhookA");
  plan(ItemList::Hooks, "B.DLL,UnhookB");
  plan(ItemList::Hooks, "C.DLL,UnhookC");
  plan(ItemList::Hooks, "D.DLL,");
  machine.files.addFile(std::string(kDrivers) + "A.DLL");
  machine.files.addFile("C:\\PROGRAM\\A.DLL");
  machine.files.addFile("C:\\PROGRAM\\B.DLL");
  machine.files.addFile("C:\\PROGRAM\\D.DLL");
  actions(fake::ntFamily()).callHooks();
  EXPECT_THAT(machine.hooks.calls, ElementsAre(std::string(kDrivers) + "A.DLL UnhookA C:\\PROGRAM\\",
                                               "C:\\PROGRAM\\B.DLL UnhookB C:\\PROGRAM\\"));
}

}  // namespace
