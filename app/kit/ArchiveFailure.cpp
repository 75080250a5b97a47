#include "app/kit/ArchiveFailure.h"

#include "app/kit/Messages.h"
#include "app/kit/Texts.h"
#include "archive/zip/Error.h"

namespace kit {
namespace {

using zip::Reason;

// The numbered text of each reason the windows can say in every language.
int TextOf(Reason reason) {
  switch (reason) {
    case Reason::kDatabaseExportGiven: return 1140;
    case Reason::kFullBackupGiven: return 1141;
    case Reason::kArchiveNotFound: return 1142;
    case Reason::kNotAnArchive: return 1143;
    case Reason::kUnsupported: return 1144;
    case Reason::kDamagedArchive: return 1145;
    case Reason::kDamagedEntry: return 1146;
    case Reason::kMissingVolume: return 1147;
    case Reason::kArchiveInUse: return 1148;
    case Reason::kFolderReadOnly: return 1149;
    case Reason::kArchiveReadOnly: return 1150;
    case Reason::kCannotRead: return 1151;
    case Reason::kCannotCreate: return 1152;
    case Reason::kCannotWrite: return 1153;
    case Reason::kFolderNotFound: return 1154;
    case Reason::kFileVanished: return 1155;
    case Reason::kFileChanged: return 1156;
    case Reason::kUnsafeName: return 1157;
    case Reason::kLinkInTheWay: return 1158;
    case Reason::kFolderInTheWay: return 1159;
    case Reason::kFileInTheWay: return 1160;
    case Reason::kNotEnoughSpace: return 1161;
    case Reason::kNoFiles: return 1162;
    case Reason::kTooLarge: return 1163;
    case Reason::kTooManyEntries: return 1164;
    case Reason::kForeignFile: return 1165;
    case Reason::kUnfinishedReadOnly: return 1166;
    case Reason::kNameClash: return 1167;
    case Reason::kOther: break;
  }
  return 0;
}

// The wrapper's prefixes, each a numbered text whose Italian is the
// wrapper's own.
constexpr int kPrefixes[] = {1170, 1171, 1172, 1173, 1174};

}  // namespace

QString ArchiveFailureText(const QString& lastError, int kind, const QStringList& args) {
  QString prefix, rest = lastError;
  for (int number : kPrefixes) {
    const QString source = QString::fromUtf8(messages::Text(number));
    if (lastError.startsWith(source)) {
      prefix = Msg(number);
      rest = lastError.mid(source.size());
      break;
    }
  }
  const int number = TextOf(static_cast<Reason>(kind));
  if (number == 0) return prefix + rest;
  QString reason = Msg(number);
  for (int i = 0; i < 3; ++i) {
    const QString mark = QStringLiteral("%") + QString::number(i + 1);
    if (!reason.contains(mark)) continue;
    reason.replace(mark, i < args.size() ? args[i] : QString());
  }
  if (reason.endsWith(QStringLiteral(": "))) reason.chop(2);
  return prefix + reason;
}

QStringList ReasonArgs(const CBrennowZip::Reason& reason) {
  QStringList args;
  for (const std::string& a : reason.args) args << QString::fromStdString(a);
  return args;
}

QString ArchiveFailureText(const CBrennowZip& zip) {
  return ArchiveFailureText(QString::fromStdString(zip.lastError()), zip.lastReason().kind,
                            ReasonArgs(zip.lastReason()));
}

}  // namespace kit
