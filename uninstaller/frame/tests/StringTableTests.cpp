#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "StringTable.h"

namespace {

class FakeStringSource : public StringSource {
 public:
  std::map<unsigned, std::string> resources;
  std::map<std::string, std::string> iniValues;  // "file|section|key"
  std::map<std::string, std::string> searchPathHits;
  std::vector<std::string> iniReads;

  std::string loadResourceString(unsigned id) override {
    auto it = resources.find(id);
    return it == resources.end() ? std::string() : it->second;
  }
  std::string readIniValue(const std::string& file, const std::string& section, const std::string& key) override {
    iniReads.push_back(file);
    auto it = iniValues.find(file + "|" + section + "|" + key);
    return it == iniValues.end() ? std::string() : it->second;
  }
  std::string searchPath(const std::string& file) override {
    auto it = searchPathHits.find(file);
    return it == searchPathHits.end() ? std::string() : it->second;
  }
  std::string programIniPath() override { return "C:\\prog\\uninstaller.ini"; }
};

TEST(StringTableIndirection, ParsesTheThreeFields) {
  Indirection plain = parseIndirection("Annuler");
  EXPECT_EQ(plain.kind, IndirectionKind::None);

  Indirection full = parseIndirection("@texts.ini@Messages@Done");
  ASSERT_EQ(full.kind, IndirectionKind::Reference);
  EXPECT_EQ(full.reference.file, "texts.ini");
  EXPECT_EQ(full.reference.section, "Messages");
  EXPECT_EQ(full.reference.key, "Done");

  Indirection noFile = parseIndirection("@@Messages@Done");
  ASSERT_EQ(noFile.kind, IndirectionKind::Reference);
  EXPECT_EQ(noFile.reference.file, "");

  EXPECT_EQ(parseIndirection("@").kind, IndirectionKind::Malformed);
  EXPECT_EQ(parseIndirection("@texts.ini").kind, IndirectionKind::Malformed);
  EXPECT_EQ(parseIndirection("@texts.ini@Messages").kind, IndirectionKind::Malformed);
}

TEST(StringTableIndirection, BackslashNBecomesALineBreak) {
  EXPECT_EQ(expandLineBreaks("one\\ntwo"), "one\ntwo");
  EXPECT_EQ(expandLineBreaks("end\\"), "end\\");
  EXPECT_EQ(expandLineBreaks("C:\\dir"), "C:\\dir");
}

TEST(StringTable, ReplacesAnIndirectTextWithTheIniValue) {
  FakeStringSource source;
  source.resources[199] = "@texts.ini@Messages@Done";
  source.iniValues["texts.ini|Messages|Done"] = "Fini\\nAu revoir";
  source.resources[200] = "@@Messages@Own";
  source.iniValues["C:\\prog\\uninstaller.ini|Messages|Own"] = "own file";
  source.resources[201] = "@texts.ini@Messages";
  StringTable table(source);
  EXPECT_STREQ(table.text(199), "Fini\nAu revoir");
  EXPECT_STREQ(table.text(200), "own file");
  EXPECT_STREQ(table.text(201), "");
  EXPECT_STREQ(table.text(9999), "");
}

TEST(StringTable, LooksOnTheSearchPathWhenTheFirstReadFindsNothing) {
  FakeStringSource source;
  source.resources[1] = "@texts.ini@S@K";
  source.searchPathHits["texts.ini"] = "C:\\WINDOWS\\texts.ini";
  source.iniValues["C:\\WINDOWS\\texts.ini|S|K"] = "found";
  source.resources[2] = "@missing.ini@S@K";
  StringTable table(source);
  EXPECT_STREQ(table.text(1), "found");
  EXPECT_EQ(source.iniReads, (std::vector<std::string>{"texts.ini", "C:\\WINDOWS\\texts.ini"}));
  EXPECT_STREQ(table.text(2), "");
}

TEST(StringTable, FourTextsStayValidTogetherAndTheFifthReusesTheFirstBuffer) {
  FakeStringSource source;
  for (unsigned id = 1; id <= 5; ++id) source.resources[id] = "text " + std::to_string(id);
  StringTable table(source);
  const char* texts[5];
  for (unsigned id = 1; id <= 4; ++id) texts[id - 1] = table.text(id);
  for (unsigned id = 1; id <= 4; ++id) EXPECT_EQ(std::string(texts[id - 1]), "text " + std::to_string(id));
  texts[4] = table.text(5);
  EXPECT_EQ(texts[4], texts[0]);
  EXPECT_STREQ(texts[0], "text 5");
  EXPECT_STREQ(texts[1], "text 2");
}

TEST(StringTable, LongTextsAreCutToTheBuffer) {
  FakeStringSource source;
  source.resources[1] = std::string(2000, 'x');
  StringTable table(source);
  EXPECT_EQ(std::string(table.text(1)).size(), StringTable::kBufferSize - 1);
}

}  // namespace
