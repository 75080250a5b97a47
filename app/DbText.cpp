#include "app/DbText.h"

#include <QStringDecoder>
#include <QStringEncoder>

QString FromCp1252(const std::string& bytes) {
  QStringDecoder decoder("windows-1252", QStringConverter::Flag::Stateless);
  if (!decoder.isValid()) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

bool ToCp1252(const QString& text, std::string* bytes) {
  QStringEncoder encoder("windows-1252", QStringConverter::Flag::Stateless);
  if (!encoder.isValid()) return false;
  QByteArray encoded = encoder.encode(text);
  if (encoder.hasError()) return false;
  // The encoder replaces what it cannot map with '?': reject that too.
  if (FromCp1252(encoded.toStdString()) != text) return false;
  *bytes = encoded.toStdString();
  return true;
}

QString ToStoredLineBreaks(const QString& memoText) {
  QString text = memoText;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text;
}
