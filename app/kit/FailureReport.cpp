#include "app/kit/FailureReport.h"

#include <QWidget>

#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "db/DbConnection.h"

namespace kit {

QString DatabaseFailureMeaning(int code) {
  // Extended codes carry the primary one in their low byte.
  switch (code & 0xFF) {
    case 5:   // busy
    case 6:   // locked
      return Msg(1121);
    case 14:  // cannot open
      return Msg(1122);
    case 10:  // I/O error
      return Msg(1123);
    case 13:  // full
      return Msg(1124);
    case 8:   // read-only
      return Msg(1125);
    case 11:  // corrupt
    case 26:  // not a database
      return Msg(1126);
    default:
      return QString();
  }
}

QString FailureReport(const std::exception& error) {
  const QString text = QString::fromLocal8Bit(error.what());
  const auto* failure = dynamic_cast<const DbException*>(&error);
  if (!failure || failure->code() == DbException::kLayerError) return text;
  const QString meaning = DatabaseFailureMeaning(failure->code());
  return meaning.isEmpty() ? text : meaning + QStringLiteral("\n\n") + text;
}

void ReportCurrentFailure(QWidget* window) {
  QWidget* parent = window ? window->window() : nullptr;
  try {
    throw;
  } catch (const std::exception& error) {
    Prompts::current().message(parent, FailureReport(error));
  } catch (...) {
    Prompts::current().message(parent, QStringLiteral("Unknown error"));
  }
}

}  // namespace kit
