#include "archive/Brennowzip.h"

#include <cmath>
#include <exception>
#include <mutex>

#include "archive/zip/Archive.h"
#include "archive/zip/Text.h"
#include "platform/Files.h"

namespace {

std::mutex& SinkLock() {
  static std::mutex lock;
  return lock;
}

CBrennowZip::ProgressSink& Sink() {
  static CBrennowZip::ProgressSink sink;
  return sink;
}

std::string Utf8(const std::wstring& text) { return zip::WideToUtf8(text); }

// Runs an engine operation; the reason of a failure goes to *detail.
template <typename Op>
bool Run(Op op, std::string* detail) {
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

CBrennowZip::CBrennowZip() : engine_(std::make_unique<zip::Archive>()) {
  engine_->SetProgressHandler([this](double percent) { reportProgress(percent); });
}

CBrennowZip::~CBrennowZip() {
  try {
    engine_.reset();
  } catch (...) {
  }
}

bool CBrennowZip::Fail(const std::string& text, const std::string& detail) {
  lastError_ = text;
  lastDetail_ = detail;
  return false;
}

bool CBrennowZip::openArchive(const std::string& archivePath) {
  if (engine_->IsOpen()) return Fail("There is an Archive open.", "");
  std::string detail;
  if (Run([&] { engine_->Open(Utf8(Wide(archivePath))); }, &detail)) return true;
  return Fail("Impossibile opening or creating an Archive " + detail, detail);
}

bool CBrennowZip::closeArchive() {
  std::string detail;
  if (Run([&] { engine_->Close(); }, &detail)) return true;
  return Fail("Unable to close current archive : " + detail, detail);
}

bool CBrennowZip::addFiles(const std::wstring& baseFolder, const std::wstring& mask) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "");
  masks_.push_back(Utf8(mask));
  std::string detail;
  if (Run([&] { engine_->AddFiles(Utf8(baseFolder), masks_); }, &detail)) return true;
  return Fail("Error Adding File: ", detail);
}

bool CBrennowZip::addStream(const std::wstring& entryName, const std::vector<unsigned char>& buffer) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "");
  std::string detail;
  if (Run([&] { engine_->AddBuffer(Utf8(entryName), buffer.data(), buffer.size()); }, &detail))
    return true;
  return Fail("Error Adding Stream: " + detail, detail);
}

bool CBrennowZip::extractFiles(const std::wstring& destinationFolder, const std::wstring& mask) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "");
  std::string detail;
  if (Run([&] { engine_->ExtractFiles(Utf8(destinationFolder), Utf8(mask)); }, &detail))
    return true;
  return Fail("Error Extracting Files: " + detail, detail);
}

bool CBrennowZip::extractToStream(const std::wstring& entryName, std::vector<unsigned char>* buffer) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "");
  if (!buffer) return Fail("Error Extracting Files: no buffer", "no buffer");
  std::string detail;
  if (Run([&] { *buffer = engine_->ExtractToMemory(Utf8(entryName)); }, &detail)) return true;
  return Fail("Error Extracting Files: " + detail, detail);
}

void CBrennowZip::setVolumeSize(std::int32_t size) { engine_->SetVolumeSize(size); }

void CBrennowZip::setOpenMode(OpenMode mode) {
  engine_->SetMode(mode == OpenMode::kReplace    ? zip::Archive::Mode::kReplace
                   : mode == OpenMode::kReadOnly ? zip::Archive::Mode::kRead
                                                 : zip::Archive::Mode::kUpdate);
}

bool CBrennowZip::testArchive() {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "");
  std::string detail;
  if (Run([&] { engine_->Test(); }, &detail)) return true;
  return Fail("Error Extracting Files: " + detail, detail);
}

void CBrennowZip::reportProgress(double percent) {
  // nearbyint rounds halves to even in the default rounding mode.
  lastProgress_ = std::nearbyint(percent * 100.0) / 100.0;
  ProgressSink sink;
  {
    std::lock_guard<std::mutex> hold(SinkLock());
    sink = Sink();
  }
  if (sink) sink(static_cast<int>(std::trunc(lastProgress_)));
}

std::wstring CBrennowZip::Wide(const std::string& text) { return platform::files::SystemToWide(text); }

std::string CBrennowZip::Narrow(const std::wstring& text) { return platform::files::WideToSystem(text); }

void CBrennowZip::SetProgressSink(ProgressSink sink) {
  std::lock_guard<std::mutex> hold(SinkLock());
  Sink() = std::move(sink);
}
