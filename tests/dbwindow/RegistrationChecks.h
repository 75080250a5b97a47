// Reading a stored file back the way the product and outside tools would:
// through our wrapper, Info-ZIP's unzip and Python's zipfile.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "archive/Brennowzip.h"

namespace registration_checks {

// The content of entry in the archive at path through CBrennowZip; empty
// with *ok false when it cannot be read.
inline std::string EntryByWrapper(const std::string& path, const std::string& entry, bool* ok) {
  CBrennowZip zip;
  std::vector<unsigned char> content;
  *ok = zip.openArchive(path) && zip.extractToStream(CBrennowZip::Wide(entry), &content) &&
        zip.closeArchive();
  return std::string(content.begin(), content.end());
}

inline QByteArray Run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  process.waitForFinished(30000);
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return "<failed>";
  return process.readAllStandardOutput();
}

// The entry's bytes as `unzip -p` writes them.
inline std::string EntryByUnzip(const std::string& path, const std::string& entry) {
  return Run("unzip", {"-p", QString::fromStdString(path), QString::fromStdString(entry)})
      .toStdString();
}

// The archive's entry names, one per line, as Python's zipfile reads them.
inline QString EntryNamesByPython(const std::string& path) {
  return QString::fromUtf8(Run("python3", {"-c",
                                           "import sys, zipfile\n"
                                           "z = zipfile.ZipFile(sys.argv[1])\n"
                                           "assert z.testzip() is None\n"
                                           "print('\\n'.join(i.filename + ' ' + str(i.compress_type) for i in z.infolist()))",
                                           QString::fromStdString(path)}))
      .trimmed();
}

}  // namespace registration_checks
