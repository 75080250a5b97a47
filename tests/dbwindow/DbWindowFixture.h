// A key plugged in as drive E: of a simulated machine, scripted prompts and
// a database window set up on it.
#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QStringList>
#include <QTreeWidget>
#include <memory>
#include <string>
#include <vector>

#include "archive/Brennowzip.h"
#include "dbwindow/Dbform.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/KeyFixture.h"
#include "tests/support/ScriptedPrompts.h"
#include "ui_Dbform.h"

class DbWindowTest : public ::testing::Test {
 protected:
  static constexpr const char* kKeyRoot = "E:\\ZKM_Quorvane\\";

  DbWindowTest() : key(drive.path()) {
    auto machine = std::make_unique<platform::SimulatedPlatform>();
    machine->AddDrive('E', drive.path(), "QUORVANE", platform::kDriveRemovable);
    machine->SetLegacySystemRoot(legacyC.path());
    platform::Install(std::move(machine));
  }
  ~DbWindowTest() override { platform::Install(nullptr); }

  // The window, set up on the key as it stands now.
  TForm2& Window() {
    if (!form) {
      form = std::make_unique<TForm2>();
      form->SetupWindow(kKeyRoot);
    }
    return *form;
  }
  Ui::TForm2* ui() { return Window().ui(); }

  static QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    return items;
  }
  static QStringList Column(const QTreeWidget* list, int column) {
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
      texts << list->topLevelItem(i)->text(column);
    return texts;
  }
  // The content of entry in the stored archive at path, read as the
  // product reads it; "<unreadable>" when it cannot be.
  static std::string StoredEntry(const std::string& path, const std::string& entry) {
    CBrennowZip zip;
    std::vector<unsigned char> content;
    if (!zip.openArchive(path) || !zip.extractToStream(CBrennowZip::Wide(entry), &content) ||
        !zip.closeArchive())
      return "<unreadable>";
    return std::string(content.begin(), content.end());
  }
  // The user picks entry index of a combo box from its drop-down.
  static void Pick(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
  }

  fixture::TempDir drive;
  fixture::TempDir legacyC;
  fixture::KeyBuilder key;
  ScriptedPrompts prompts;
  std::unique_ptr<TForm2> form;
};
