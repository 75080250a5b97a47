#include "app/kit/DbText.h"

#include "db/Cp1252.h"

QString FromCp1252(const std::string& bytes) {
  return QString::fromStdString(cp1252::ToUtf8(bytes));
}

bool ToCp1252(const QString& text, std::string* bytes) {
  std::string encoded;
  if (!cp1252::FromUtf8(text.toStdString(), &encoded)) return false;
  // A lone surrogate leaves toStdString as a stand-in character: refused too.
  if (FromCp1252(encoded) != text) return false;
  *bytes = std::move(encoded);
  return true;
}

QString ToStoredLineBreaks(const QString& memoText) {
  QString text = memoText;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text;
}
