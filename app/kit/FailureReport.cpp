#include "app/kit/FailureReport.h"

#include <QWidget>

#include "app/kit/Messages.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "db/DbConnection.h"

namespace kit {

QString DatabaseFailureMeaning(int code) {
  // Extended codes carry the primary one in their low byte.
  switch (code & 0xFF) {
    case 5:  // busy
    case 6:  // locked
      return Msg(messages::kDatabaseInUse);
    case 14:  // cannot open
      return Msg(messages::kDatabaseCannotOpen);
    case 10:  // I/O error
      return Msg(messages::kDatabaseReadWriteError);
    case 13:  // full
      return Msg(messages::kKeyFull);
    case 8:  // read-only
      return Msg(messages::kDatabaseReadOnly);
    case 11:  // corrupt
    case 26:  // not a database
      return Msg(messages::kDatabaseDamaged);
    default: return QString();
  }
}

QString FailureReport(const std::exception& error) {
  const QString text = QString::fromLocal8Bit(error.what());
  const auto* failure = dynamic_cast<const DbException*>(&error);
  if (!failure || failure->code() == DbException::kLayerError) return text;
  const QString meaning = DatabaseFailureMeaning(failure->code());
  return meaning.isEmpty() ? text : meaning + QStringLiteral("\n\n") + text;
}

void ReportFailure(QWidget* window, const std::exception& error) {
  Prompts::current().message(window ? window->window() : nullptr, FailureReport(error));
}

}  // namespace kit
