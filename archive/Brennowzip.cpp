#include "archive/Brennowzip.h"

#include <cmath>
#include <mutex>

#include "archive/WideText.h"
#include "archive/zip/Archive.h"

namespace {

std::mutex sinkMutex;
CBrennowZip::ProgressSink& Sink() {
  static CBrennowZip::ProgressSink sink;
  return sink;
}

const char kNoArchive[] = "There is no Archive open.";

template <typename Op>
bool Run(Op&& op, std::string* detail) {
  try {
    op();
    return true;
  } catch (const std::exception& e) {
    *detail = e.what();
  } catch (...) {
    *detail = "unknown error";
  }
  return false;
}

}  // namespace

void CBrennowZip::setProgressSink(ProgressSink sink) {
  std::lock_guard<std::mutex> lock(sinkMutex);
  Sink() = std::move(sink);
}

CBrennowZip::CBrennowZip() : engine_(std::make_unique<zip::Archive>()) {
  engine_->setProgressHandler([this](double percent) { reportProgress(percent); });
}

CBrennowZip::~CBrennowZip() { closeArchive(); }

bool CBrennowZip::fail(const std::string& text, const std::string& detail) {
  lastError_ = text;
  lastDetail_ = detail;
  return false;
}

void CBrennowZip::reportProgress(double percent) {
  // nearbyint rounds halves to the even neighbour in the default mode.
  lastProgress_ = std::nearbyint(percent / 0.01) * 0.01;
  int p = (int)std::trunc(lastProgress_);
  ProgressSink sink;
  {
    std::lock_guard<std::mutex> lock(sinkMutex);
    sink = Sink();
  }
  if (sink) sink(p);
}

void CBrennowZip::setVolumeSize(std::int32_t size) { engine_->setVolumeSize((std::int64_t)size); }

bool CBrennowZip::openArchive(const std::string& archivePath) {
  if (engine_->isOpen()) return fail("There is an Archive open.", std::string());
  std::string detail;
  if (!Run([&] { engine_->open(archivePath); }, &detail))
    return fail("Impossibile opening or creating an Archive " + detail, detail);
  return true;
}

bool CBrennowZip::closeArchive() {
  if (!engine_->isOpen()) return true;
  std::string detail;
  if (!Run([&] { engine_->close(); }, &detail))
    return fail("Unable to close current archive : " + detail, detail);
  return true;
}

bool CBrennowZip::addFiles(const std::wstring& baseFolder, const std::wstring& fileMask) {
  if (!engine_->isOpen()) return fail(kNoArchive, std::string());
  masks_.push_back(archive::Utf8FromWide(fileMask));
  std::string detail;
  if (!Run([&] { engine_->addFiles(archive::Utf8FromWide(baseFolder), masks_); }, &detail))
    return fail("Error Adding File: ", detail);
  return true;
}

bool CBrennowZip::addStream(const std::wstring& entryName, const std::string& buffer) {
  if (!engine_->isOpen()) return fail(kNoArchive, std::string());
  std::string detail;
  if (!Run([&] { engine_->addBuffer(archive::Utf8FromWide(entryName), buffer.data(), buffer.size()); },
           &detail))
    return fail("Error Adding Stream: " + detail, detail);
  return true;
}

bool CBrennowZip::extractFiles(const std::wstring& destFolder, const std::wstring& fileMask) {
  if (!engine_->isOpen()) return fail(kNoArchive, std::string());
  std::string detail;
  if (!Run([&] {
        engine_->extractFiles(archive::Utf8FromWide(destFolder), archive::Utf8FromWide(fileMask));
      }, &detail))
    return fail("Error Extracting Files: " + detail, detail);
  return true;
}

bool CBrennowZip::extractToStream(const std::wstring& entryName, std::string& buffer) {
  if (!engine_->isOpen()) return fail(kNoArchive, std::string());
  std::string detail;
  if (!Run([&] { buffer = engine_->extractToMemory(archive::Utf8FromWide(entryName)); }, &detail))
    return fail("Error Extracting Files: " + detail, detail);
  return true;
}

std::vector<zip::EntryRecord> CBrennowZip::entries() const {
  return engine_->isOpen() ? engine_->entries() : std::vector<zip::EntryRecord>();
}

bool CBrennowZip::testArchive() {
  if (!engine_->isOpen()) return fail(kNoArchive, std::string());
  std::string detail;
  if (!Run([&] { engine_->verify(); }, &detail))
    return fail("Error Extracting Files: " + detail, detail);
  return true;
}
