#include <gtest/gtest.h>

#include "app/Utilities.h"
#include "platform/Platform.h"
#include "tests/support/KeyFixture.h"

namespace {

TEST(Version, MinorNumberHasAtLeastTwoDigits) {
  EXPECT_EQ(CUtilities::FormatVersion((1u << 16) | 2), "1.02");
  EXPECT_EQ(CUtilities::FormatVersion((1u << 16) | 5), "1.05");
  EXPECT_EQ(CUtilities::FormatVersion((1u << 16) | 10), "1.10");
  EXPECT_EQ(CUtilities::FormatVersion((1u << 16) | 100), "1.100");
  EXPECT_EQ(CUtilities::FormatVersion((3u << 16) | 123), "3.123");
}

TEST(Version, ReadsTheProgramsOwnVersionRecord) {
  // This test program carries the project's version record (1.2.0.0).
  platform::Install(nullptr);
  EXPECT_EQ(CUtilities().GetVersionInfo(), "1.02");
}

TEST(Version, FileWithoutRecordIsNotSpecified) {
  fixture::TempDir dir;
  fixture::WriteFile(dir / "plain", "not a program");
  EXPECT_EQ(CUtilities::VersionInfoOf(dir / "plain"), "Not specified");
  EXPECT_EQ(CUtilities::VersionInfoOf(dir / "missing"), "Not specified");
  EXPECT_EQ(CUtilities::VersionInfoOf("/bin/sh"), "Not specified");
}

}  // namespace
