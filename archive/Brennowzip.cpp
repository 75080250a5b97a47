#include "archive/Brennowzip.h"

#include <cmath>
#include <exception>
#include <mutex>

#include "archive/zip/Archive.h"
#include "archive/zip/Error.h"
#include "archive/zip/Text.h"
#include "archive/zip/Writer.h"
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

// The kind of backup an archive's entries make: full when anything lies
// below ZKM_Quorvane/, a database export when zkm.db lies at its top.
CBrennowZip::Expected KindOf(const std::vector<const zip::Entry*>& entries) {
  bool database = false;
  for (const zip::Entry* e : entries) {
    std::string key = zip::NameKey(e->name);
    if (key.compare(0, 13, "zkm_quorvane/") == 0) return CBrennowZip::Expected::kFullBackup;
    if (key == "zkm.db") database = true;
  }
  return database ? CBrennowZip::Expected::kDatabaseExport : CBrennowZip::Expected::kAnything;
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
  return Fail(text, detail, Reason());
}

bool CBrennowZip::Fail(const std::string& text, const std::string& detail, Reason reason) {
  lastError_ = text;
  lastDetail_ = detail;
  lastReason_ = std::move(reason);
  return false;
}

// Runs an engine operation; a failure becomes the last error: the prefix,
// followed by the engine's message when withDetail.
template <typename Op>
bool CBrennowZip::Run(Op op, const std::string& prefix, bool withDetail) {
  std::string detail;
  Reason reason;
  try {
    op();
    return true;
  } catch (const zip::Error& e) {
    detail = e.what();
    reason.kind = static_cast<int>(e.reason());
    reason.args = e.args();
  } catch (const std::exception& e) {
    detail = e.what();
  } catch (...) {
    detail = "unknown error";
  }
  return Fail(withDetail ? prefix + detail : prefix, detail, std::move(reason));
}

bool CBrennowZip::openArchive(const std::string& archivePath) {
  if (engine_->IsOpen()) return Fail("There is an Archive open.", "");
  archivePath_ = archivePath;
  return Run([&] { engine_->Open(Utf8(Wide(archivePath))); },
             "Impossibile opening or creating an Archive ", true);
}

bool CBrennowZip::closeArchive() {
  return Run([&] { engine_->Close(); }, "Unable to close current archive : ", true);
}

bool CBrennowZip::addFiles(const std::wstring& baseFolder, const std::wstring& mask) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "");
  masks_.push_back(Utf8(mask));
  return Run([&] { engine_->AddFiles(Utf8(baseFolder), masks_); }, "Error Adding File: ", false);
}

bool CBrennowZip::addStream(const std::wstring& entryName,
                            const std::vector<unsigned char>& buffer) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "");
  return Run([&] { engine_->AddBuffer(Utf8(entryName), buffer.data(), buffer.size()); },
             "Error Adding Stream: ", true);
}

bool CBrennowZip::extractFiles(const std::wstring& destinationFolder, const std::wstring& mask) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "");
  const Expected expected = expected_;
  const std::string path = archivePath_;
  engine_->SetEntryCheck([expected, path](const std::vector<const zip::Entry*>& chosen) {
    Expected found = KindOf(chosen);
    if (expected == Expected::kFullBackup && found == Expected::kDatabaseExport)
      throw zip::Error(zip::Reason::kDatabaseExportGiven, {path},
                       path + " is a database export, not a backup of the whole key");
    if (expected == Expected::kDatabaseExport && found == Expected::kFullBackup)
      throw zip::Error(zip::Reason::kFullBackupGiven, {path},
                       path + " is a backup of the whole key, not a database export");
  });
  return Run([&] { engine_->ExtractFiles(Utf8(destinationFolder), Utf8(mask)); },
             "Error Extracting Files: ", true);
}

bool CBrennowZip::extractToStream(const std::wstring& entryName,
                                  std::vector<unsigned char>* buffer) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "");
  if (!buffer) return Fail("Error Extracting Files: no buffer", "no buffer");
  return Run([&] { *buffer = engine_->ExtractToMemory(Utf8(entryName)); },
             "Error Extracting Files: ", true);
}

void CBrennowZip::setVolumeSize(std::int32_t size) { engine_->SetVolumeSize(size); }

void CBrennowZip::setOpenMode(OpenMode mode) {
  engine_->SetMode(mode == OpenMode::kReplace    ? zip::Archive::Mode::kReplace
                   : mode == OpenMode::kReadOnly ? zip::Archive::Mode::kRead
                                                 : zip::Archive::Mode::kUpdate);
}

bool CBrennowZip::testArchive() {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "");
  return Run([&] { engine_->Test(); }, "Error Extracting Files: ", true);
}

void CBrennowZip::reportProgress(double percent) {
  // nearbyint rounds halves to even in the default rounding mode.
  lastProgress_ = std::nearbyint(percent * 100.0) / 100.0;
  ProgressSink sink;
  {
    std::lock_guard<std::mutex> hold(SinkLock());
    sink = Sink();
  }
  const int whole = static_cast<int>(std::trunc(lastProgress_));
  if (sink) sink(whole);
  if (handler_) handler_(whole);
}

std::wstring CBrennowZip::Wide(const std::string& text) {
  return platform::files::SystemToWide(text);
}

std::string CBrennowZip::Narrow(const std::wstring& text) {
  return platform::files::WideToSystem(text);
}

void CBrennowZip::SetProgressSink(ProgressSink sink) {
  std::lock_guard<std::mutex> hold(SinkLock());
  Sink() = std::move(sink);
}
