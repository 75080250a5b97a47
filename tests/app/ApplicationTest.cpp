// What the application object gives the program before any window exists.
// The test program's main() builds the real QuorApplication, as the
// program's own does (tests/support/GuiTestMain.cpp).
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace {

// Whether some pixel of the picture can be seen.
bool HasVisiblePixels(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) > 0) return true;
  return false;
}

TEST(Application, WindowIconHoldsEverySizeTheDesktopAsksFor) {
  const QIcon icon = QApplication::windowIcon();
  const QList<QSize> sizes = icon.availableSizes();
  for (int side : {16, 24, 32, 48, 64, 128, 256}) {
    const QSize size(side, side);
    EXPECT_TRUE(sizes.contains(size)) << side << " px missing";
    // Drawn: an SVG feature the converter does not know leaves it blank.
    const QImage picture = icon.pixmap(size).toImage();
    EXPECT_EQ(picture.size(), size);
    EXPECT_TRUE(HasVisiblePixels(picture)) << side << " px is empty";
  }
}

TEST(Application, WindowSystemKnowsTheProgramByItsDesktopId) {
  EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("it.zkm.QuorvaneMaintenance"));
}

}  // namespace
