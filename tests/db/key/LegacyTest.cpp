// The earlier product's descriptions on drive C, and the list order.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "db/key/LegacyDescriptions.h"
#include "db/key/ListOrder.h"
#include "platform/PrivateProfile.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/Files.h"

namespace {

using namespace keydb;

class LegacyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto machine = std::make_unique<platform::SimulatedPlatform>();
    machine->SetLegacySystemRoot(drive_.path());
    platform::Install(std::move(machine));
  }
  void TearDown() override { platform::Install(nullptr); }

  // Writes a file below the simulated C:\ (folders spelled as given).
  void Put(const std::string& relative, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(drive_ / relative).parent_path());
    fixture::WriteFile(drive_ / relative, bytes);
  }

  fixture::TempDir drive_;
};

TEST_F(LegacyTest, IniSectionAndKeyMatchWithoutCase) {
  // Folder names in another case than the product spells them, too.
  Put("ordalix/TABELLE/systab.INI",
      "[Other]\r\nFILE.BIN=wrong section\r\n[ca]\r\nFILE.BIN=Golf 1.9 TDI\r\nx = \"quoted\" \r\n");
  EXPECT_EQ(LegacyIniDescription("file.bin"), "Golf 1.9 TDI");
  EXPECT_EQ(LegacyIniDescription("X"), "quoted");
  EXPECT_EQ(LegacyIniDescription("missing.bin"), "");
}

TEST_F(LegacyTest, IniValueCutTo2047BytesAndBytesKept) {
  const std::string accented = fixture::ToCp1252("Punto 1.2 à benzina");
  Put("ORDALIX/Tabelle/Systab.ini",
      "[CA]\nlong.bin=" + std::string(3000, 'x') + "\nacc.bin=" + accented + "\n");
  EXPECT_EQ(LegacyIniDescription("LONG.BIN"), std::string(2047, 'x'));
  EXPECT_EQ(LegacyIniDescription("acc.bin"), accented);
}

TEST_F(LegacyTest, ProfileReaderRules) {
  using platform::ProfileValueFromText;
  // Lone CR line ends, blanks around names, first section and key win.
  EXPECT_EQ(ProfileValueFromText("[ CA ]\rk=1\rk=2\r[CA]\rj=3\r", "ca", "K"), "1");
  EXPECT_EQ(ProfileValueFromText("[CA]\nk=1\n[CA]\nj=3\n", "CA", "j"), "");
  EXPECT_EQ(ProfileValueFromText("k=outside\n[CA]\nnoequals\n", "CA", "k"), "");
  EXPECT_EQ(ProfileValueFromText("[CA]\nk=\n", "CA", "k"), "");
}

TEST_F(LegacyTest, FileDescriptionFirstLineOnly) {
  Put("ORDALIX/FileDesc/ecu.bin", "Motore 1.6\r\nseconda riga\r\n");
  Put("ORDALIX/FileDesc/empty.bin", "");
  Put("ORDALIX/FileDesc/oneline.bin", "Senza fine riga");
  Put("ORDALIX/FileDesc/lonecr.bin", "a\rb\nc");
  EXPECT_EQ(LegacyFileDescription("ecu.bin"), "Motore 1.6");
  EXPECT_EQ(LegacyFileDescription("ECU.BIN"), "Motore 1.6");
  EXPECT_EQ(LegacyFileDescription("empty.bin"), "");
  EXPECT_EQ(LegacyFileDescription("oneline.bin"), "Senza fine riga");
  EXPECT_EQ(LegacyFileDescription("lonecr.bin"), "a\rb");
  EXPECT_EQ(LegacyFileDescription("missing.bin"), "");
  EXPECT_EQ(LegacyFileDescription("../FileDesc/ecu.bin"), "");
}

TEST_F(LegacyTest, FileDescriptionLongLineCut) {
  Put("ORDALIX/FileDesc/long.bin", std::string(kDescriptionLineLimit + 10, 'y') + "\nrest");
  EXPECT_EQ(LegacyFileDescription("long.bin"), std::string(kDescriptionLineLimit, 'y'));
  EXPECT_EQ(FirstDescriptionLine(std::string("ab\0cd\n", 6)), "ab");
}

TEST_F(LegacyTest, NothingInstalledGivesEmptyTexts) {
  EXPECT_EQ(LegacyIniDescription("file.bin"), "");
  EXPECT_EQ(LegacyFileDescription("file.bin"), "");
  platform::Install(std::make_unique<platform::SimulatedPlatform>());  // no C:\ at all
  EXPECT_EQ(LegacyIniDescription("file.bin"), "");
  EXPECT_EQ(LegacyFileDescription("file.bin"), "");
}

TEST(ListOrder, FoldsOnlyAsciiLettersAndPutsPrefixFirst) {
  EXPECT_EQ(CompareListTexts("abc", "ABC"), 0);
  EXPECT_LT(CompareListTexts("z", fixture::ToCp1252("à")), 0);
  EXPECT_LT(CompareListTexts("Z", fixture::ToCp1252("À")), 0);
  EXPECT_NE(CompareListTexts(fixture::ToCp1252("à"), fixture::ToCp1252("À")), 0);
  EXPECT_LT(CompareListTexts("abc", "abcd"), 0);
  EXPECT_GT(CompareListTexts("abd", "ABCD"), 0);
  EXPECT_LT(CompareListTexts("", "a"), 0);
  // Bytes compare unsigned: 0x80 (the euro sign) after every ASCII letter.
  EXPECT_GT(CompareListTexts("\x80", "z"), 0);
  // Letters fold before comparing with signs that lie between the cases.
  EXPECT_LT(CompareListTexts("a", "_"), 0);
  EXPECT_EQ(CompareListTexts("10", "9") < 0, true);
}

}  // namespace
