#include "app/kit/KeyWrites.h"

#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "platform/Platform.h"

QString UnsavedKeyWrites(const std::string& keyText) {
  std::string reason;
  if (platform::FlushDrive(keyText, &reason)) return QString();
  QString text = Msg(1090);
  if (!reason.empty()) text += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(reason.c_str()));
  return text;
}

bool KeyWritesSaved(QWidget* parent, const std::string& keyText) {
  const QString failure = UnsavedKeyWrites(keyText);
  if (failure.isEmpty()) return true;
  Prompts::current().message(parent, failure);
  return false;
}
