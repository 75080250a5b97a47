#include "archive/Brennowzip.h"

#include <cmath>
#include <mutex>

#include "archive/zip/ZipArchive.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
std::mutex g_sinkMutex;
CBrennowZip::ProgressSink g_sink;
}  // namespace

CBrennowZip::CBrennowZip() : engine_(std::make_unique<zip::Archive>()) {
  engine_->SetProgress([this](double percent) { reportProgress(percent); });
}

CBrennowZip::~CBrennowZip() = default;

void CBrennowZip::SetProgressSink(ProgressSink sink) {
  std::lock_guard<std::mutex> lock(g_sinkMutex);
  g_sink = std::move(sink);
}

void CBrennowZip::reportProgress(double percent) {
  lastProgress_ = std::nearbyint(percent / 0.01) * 0.01;  // the default rounding: halves to even
  const int whole = static_cast<int>(std::trunc(lastProgress_ + 1e-9));
  ProgressSink sink;
  {
    std::lock_guard<std::mutex> lock(g_sinkMutex);
    sink = g_sink;
  }
  if (sink) sink(whole);
}

bool CBrennowZip::Fail(const std::string& prefix, const std::string& detail, bool withDetail) {
  lastDetail_ = detail;
  lastError_ = withDetail ? prefix + detail : prefix;
  return false;
}

bool CBrennowZip::openArchive(const std::string& archivePath) {
  if (engine_->IsOpen()) return Fail("There is an Archive open.", "", false);
  try {
    engine_->Open(archivePath);
    return true;
  } catch (const std::exception& e) {
    return Fail("Impossibile opening or creating an Archive ", e.what());
  }
}

bool CBrennowZip::closeArchive() {
  if (!engine_->IsOpen()) return true;
  try {
    engine_->Close();
    return true;
  } catch (const std::exception& e) {
    return Fail("Unable to close current archive : ", e.what());
  }
}

bool CBrennowZip::addFiles(const std::wstring& baseFolder, const std::wstring& mask) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "", false);
  masks_.push_back(Narrow(mask));
  try {
    engine_->AddFiles(Narrow(baseFolder), masks_);
    return true;
  } catch (const std::exception& e) {
    return Fail("Error Adding File: ", e.what(), false);
  }
}

bool CBrennowZip::addStream(const std::wstring& entryName, const std::vector<unsigned char>& buffer) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "", false);
  try {
    engine_->AddBuffer(Narrow(entryName), buffer.data(), buffer.size());
    return true;
  } catch (const std::exception& e) {
    return Fail("Error Adding Stream: ", e.what());
  }
}

bool CBrennowZip::extractFiles(const std::wstring& destinationFolder, const std::wstring& mask) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "", false);
  try {
    engine_->Extract(Narrow(destinationFolder), Narrow(mask));
    return true;
  } catch (const std::exception& e) {
    return Fail("Error Extracting Files: ", e.what());
  }
}

bool CBrennowZip::extractToStream(const std::wstring& entryName, std::vector<unsigned char>* buffer) {
  if (!engine_->IsOpen()) return Fail("There is no Archive open.", "", false);
  try {
    *buffer = engine_->ExtractToMemory(Narrow(entryName));
    return true;
  } catch (const std::exception& e) {
    return Fail("Error Extracting Files: ", e.what());
  }
}

void CBrennowZip::setVolumeSize(std::int32_t size) {
  engine_->SetVolumeSize(static_cast<std::int64_t>(size) < 65536 ? 65536 : size);
}

#ifdef _WIN32
std::wstring CBrennowZip::Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
  return out;
}

std::string CBrennowZip::Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr,
                      nullptr);
  return out;
}
#else
std::wstring CBrennowZip::Wide(const std::string& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    std::uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
    ++i;
    for (int k = 0; k < extra && i < text.size(); ++k, ++i)
      code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    out.push_back(static_cast<wchar_t>(code));
  }
  return out;
}

std::string CBrennowZip::Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t wc : text) {
    const std::uint32_t code = static_cast<std::uint32_t>(wc);
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }
  return out;
}
#endif
