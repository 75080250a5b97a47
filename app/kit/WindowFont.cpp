#include "app/kit/WindowFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <stdexcept>

namespace kit {

void RegisterWindowFont() {
  static const bool registered = [] {
    const QString tahoma = QString::fromLatin1(kWindowFontFamily);
    if (!QFontDatabase::hasFamily(tahoma)) {
      for (const char* face : {":/fonts/DejaVuSans.ttf", ":/fonts/DejaVuSans-Bold.ttf"}) {
        if (QFontDatabase::addApplicationFont(QString::fromLatin1(face)) < 0)
          throw std::runtime_error(std::string("the window font is missing: ") + face);
      }
      // Ahead of whatever the desktop would put in Tahoma's place.
      QFont::insertSubstitution(tahoma, QString::fromLatin1(kCarriedFontFamily));
    }
    QApplication::setFont(QFont(tahoma, 8));
    return true;
  }();
  (void)registered;
}

QString DrawnWindowFontFamily() {
  return QFontInfo(QFont(QString::fromLatin1(kWindowFontFamily), 8)).family();
}

}  // namespace kit
