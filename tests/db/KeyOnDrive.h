// A key with its database on the simulated drive E:, and a connection open
// on its database, for the tests of the key's data.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "db/DbConnection.h"
#include "db/KeyStore.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/KeyFixture.h"

class KeyOnDrive : public ::testing::Test {
 protected:
  KeyOnDrive() {
    drive_ = dir_ / "e";
    std::filesystem::create_directories(drive_);
    key_ = std::make_unique<fixture::KeyBuilder>(drive_);
    auto machine = std::make_unique<platform::SimulatedPlatform>();
    machine->AddDrive('E', drive_, "QUORVANE", platform::kDriveRemovable);
    platform::Install(std::move(machine));
    db_.open(keystore::DatabasePath(kKeyRoot));
  }
  ~KeyOnDrive() override { platform::Install(nullptr); }

  static constexpr const char* kKeyRoot = "E:\\ZKM_Quorvane\\";
  fixture::TempDir dir_;
  std::string drive_;
  std::unique_ptr<fixture::KeyBuilder> key_;
  DbConnection db_;
};
