// Names stored in Windows-1252 and the files they name on the key.
#include <gtest/gtest.h>

#include <filesystem>

#include "db/Cp1252.h"
#include "db/key/KeyPaths.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/Files.h"
#include "tests/support/SamePath.h"

namespace {

TEST(Cp1252, EveryByteRoundTripsAndOnlyItsCharactersEncode) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  const std::string utf8 = cp1252::ToUtf8(all);
  std::string back;
  ASSERT_TRUE(cp1252::FromUtf8(utf8, &back));
  EXPECT_EQ(back, all);
  EXPECT_EQ(cp1252::ToUtf8("Citro\xEBn \x80 \x8A\x9F"), "Citroën € ŠŸ");

  back = "kept";
  for (const char* refused : {"Škoda ✓", "Ωmega", "\xC3", "\xC3\x28", "\xE0\x80\xAF",
                              "\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
    EXPECT_FALSE(cp1252::FromUtf8(refused, &back)) << refused;
  }
  EXPECT_EQ(back, "kept");
}

class KeyPaths : public ::testing::Test {
 protected:
  KeyPaths() {
    std::filesystem::create_directories(dir_ / "e/ZKM_Quorvane/Database/DRT");
    std::filesystem::create_directories(dir_ / "e/ZKM_Quorvane/Database/ORI");
    auto machine = std::make_unique<platform::SimulatedPlatform>();
    machine->AddDrive('E', dir_ / "e", "QUORVANE", platform::kDriveRemovable);
    platform::Install(std::move(machine));
  }
  ~KeyPaths() override { platform::Install(nullptr); }

  std::string Drt(const std::string& name) const {
    return dir_ / ("e/ZKM_Quorvane/Database/DRT/" + name);
  }

  fixture::TempDir dir_;
};

TEST_F(KeyPaths, AccentedNamesAreFoundHoweverTheKeyShowsThem) {
  // As desktops mount FAT: UTF-8 names.
  fixture::WriteFile(Drt("Citroën_C3.DRT"), "x");
#ifndef _WIN32
  // Mounted without the utf8 option: the Windows-1252 bytes themselves
  // (Windows names are Unicode, so only Linux can show this).
  fixture::WriteFile(Drt("Peugeot_\xE9t\xE9.DRU"), "x");
#endif
  // Another case, accented letters included.
  fixture::WriteFile(Drt("RENAULT_CLIO_\xC3\x89LAN.drt"), "x");
  fixture::WriteFile(Drt("SKODA_\xC5\xA0.DRT"), "x");

  keydb::KeyFolders folders("E:\\ZKM_Quorvane\\");
  EXPECT_TRUE(fixture::SamePath(folders.DriverFile("Citro\xEBn_C3", false), Drt("Citroën_C3.DRT")));
  EXPECT_TRUE(fixture::SamePath(folders.DriverFile("Renault_Clio_\xE9lan", false),
                                Drt("RENAULT_CLIO_\xC3\x89LAN.drt")));
  EXPECT_TRUE(
      fixture::SamePath(folders.DriverFile("skoda_\x9A", false), Drt("SKODA_\xC5\xA0.DRT")));
  for (const char* present : {"Citro\xEBn_C3", "Renault_Clio_\xE9lan", "skoda_\x9A"})
    EXPECT_TRUE(folders.HasDriverFile(present, false)) << present;
#ifndef _WIN32
  EXPECT_EQ(folders.DriverFile("Peugeot_\xE9t\xE9", true), Drt("Peugeot_\xE9t\xE9.DRU"));
  EXPECT_TRUE(folders.HasDriverFile("PEUGEOT_\xC9T\xC9", true));
#endif
  // The extension tells user drivers from the maker's.
  EXPECT_FALSE(folders.HasDriverFile("Citro\xEBn_C3", true));
  // A name found nowhere keeps its decoded spelling, for a file to come.
  EXPECT_TRUE(fixture::SamePath(folders.Originals().File("Nuovo \xE8.bin"),
                                dir_ / "e/ZKM_Quorvane/Database/ORI/Nuovo è.bin"));
  EXPECT_FALSE(folders.Originals().HasFile("Nuovo \xE8.bin"));
}

TEST_F(KeyPaths, FolderListingIsTakenOncePerResolver) {
  keydb::KeyFolders folders("E:\\ZKM_Quorvane\\");
  EXPECT_FALSE(folders.HasDriverFile("LATE", false));
  // Written after the folder was listed: found as spelled, not through the
  // listing of this command; the next command sees it either way.
  fixture::WriteFile(Drt("LATE.DRT"), "x");
  fixture::WriteFile(Drt("late2.drt"), "x");
  EXPECT_TRUE(folders.HasDriverFile("LATE", false));
#ifndef _WIN32
  // Windows finds any case as spelled, without a listing.
  EXPECT_FALSE(folders.HasDriverFile("LATE2", false));
#endif
  EXPECT_TRUE(keydb::KeyFolders("E:\\ZKM_Quorvane\\").HasDriverFile("LATE2", false));
}

}  // namespace
