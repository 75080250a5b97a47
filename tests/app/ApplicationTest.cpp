// What the application object gives the program before any window exists.
// The test program's main() builds the real QuorApplication, as the
// program's own does (tests/support/GuiTestMain.cpp).
#include <gtest/gtest.h>

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>
#include <vector>

#include "app/kit/FailureReport.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "db/DbConnection.h"

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

// Message boxes with the window they were shown over.
class RecordedMessages : public Prompts {
 public:
  RecordedMessages() { Prompts::install(this); }
  ~RecordedMessages() override { Prompts::install(nullptr); }
  void message(QWidget* parent, const QString& text) override {
    parents.push_back(parent);
    texts.push_back(text);
  }
  std::vector<QWidget*> parents;
  QStringList texts;
};

TEST(Application, AFailingHandlerIsShownOverItsWindowAndGoesNoFurther) {
  RecordedMessages shown;
  QWidget window;
  QWidget* panel = new QWidget(&window);
  auto* button = new QPushButton(panel);
  bool after = false;
  QObject::connect(button, &QPushButton::clicked, panel,
                   kit::Reported(panel, [] { throw DbException(5, "database is locked"); }));
  QObject::connect(button, &QPushButton::clicked, panel, [&] { after = true; });
  button->click();  // returns: the failure does not unwind through the button
  ASSERT_EQ(shown.texts.size(), 1);
  EXPECT_TRUE(shown.texts[0].startsWith(Msg(1121) + "\n\n")) << shown.texts[0].toStdString();
  EXPECT_TRUE(shown.texts[0].contains("database is locked"));
  EXPECT_EQ(shown.parents[0], &window);
  // The signal's other slots still run: nothing was thrown past the first.
  EXPECT_TRUE(after);
}

}  // namespace
