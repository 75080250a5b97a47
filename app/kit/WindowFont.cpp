#include "app/kit/WindowFont.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <stdexcept>

namespace kit {

void RegisterWindowFont() {
  static const bool registered = [] {
    for (const char* face : {":/fonts/DejaVuSans.ttf", ":/fonts/DejaVuSans-Bold.ttf"}) {
      if (QFontDatabase::addApplicationFont(QString::fromLatin1(face)) < 0)
        throw std::runtime_error(std::string("the window font is missing: ") + face);
    }
    QApplication::setFont(QFont(QString::fromLatin1(kWindowFontFamily), 8));
    return true;
  }();
  (void)registered;
}

}  // namespace kit
