// Pieces the two registrations share. Private to the window's own sources.
#pragma once

#include <QLabel>
#include <QString>
#include <string>
#include <vector>

class QWidget;

// The bytes of the file at path when it still has the MD5 text digest
// (the one computed when the file was chosen); false when it vanished,
// cannot be read or changed since.
bool ReadRegisteredBytes(const QString& path, const std::string& digest,
                         std::vector<unsigned char>* content);

// text as Windows-1252 bytes for the database; when it cannot be held,
// tells the user message refusal and returns false.
bool StoredText(QWidget* window, const QString& text, int refusal, std::string* bytes);

// A red busy notice shown over its panel for the life of the object.
class BusyNotice {
 public:
  explicit BusyNotice(QLabel* notice) : notice_(notice) {
    notice_->show();
    notice_->raise();
  }
  ~BusyNotice() { hide(); }
  void hide() { notice_->hide(); }
  BusyNotice(const BusyNotice&) = delete;
  BusyNotice& operator=(const BusyNotice&) = delete;

 private:
  QLabel* notice_;
};
