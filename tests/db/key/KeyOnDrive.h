// A key with its database on the simulated drive E:, and the key's
// database open on it, for the tests of the key's data.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "db/key/KeyDatabase.h"
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
    db_ = std::make_unique<keydb::KeyDatabase>(kKeyRoot);
  }
  ~KeyOnDrive() override {
    db_.reset();
    platform::Install(nullptr);
  }

  keydb::KeyDatabase& db() { return *db_; }
  // Changes the schema through another connection and opens the key's
  // database again: a connection prepares with sqlite3_prepare, which does
  // not prepare again after another connection changed the schema.
  void ChangeSchema(const std::string& sql) {
    db_.reset();
    key_->Exec(sql);
    db_ = std::make_unique<keydb::KeyDatabase>(kKeyRoot);
  }
  int Count(const std::string& sql) const { return std::stoi(key_->Scalar(sql)); }
  std::string Folder(const char* name) const { return drive_ + "/ZKM_Quorvane/Database/" + name; }

  static constexpr const char* kKeyRoot = "E:\\ZKM_Quorvane\\";
  fixture::TempDir dir_;
  std::string drive_;
  std::unique_ptr<fixture::KeyBuilder> key_;
  std::unique_ptr<keydb::KeyDatabase> db_;
};
