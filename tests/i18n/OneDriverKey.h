// The key the language tests open their windows on: drive E: "QUORVANE"
// with one driver, D1 (Fiat Punto); the interface goes back to Italian
// afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "app/Localisation.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/KeyFixture.h"

class OneDriverKey : public ::testing::Test {
 protected:
  OneDriverKey() : machine_(new platform::SimulatedPlatform) {
    const std::string drive = dir_ / "e";
    std::filesystem::create_directories(drive);
    key_ = std::make_unique<fixture::KeyBuilder>(drive);
    fixture::Driver d;
    d.nomefile = "D1";
    d.marca = "Fiat";
    d.modello = "Punto";
    key_->AddDriver(d);
    machine_->AddDrive('E', drive, "QUORVANE", platform::kDriveRemovable);
    platform::Install(std::unique_ptr<platform::Platform>(machine_));
    Localisation::instance().Initialise();
  }
  ~OneDriverKey() override {
    Localisation::instance().Switch("it");
    platform::Install(nullptr);
  }

  fixture::TempDir dir_;
  std::unique_ptr<fixture::KeyBuilder> key_;
  platform::SimulatedPlatform* machine_;
};
