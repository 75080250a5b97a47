// Every fixed text of every window, panel and language shows whole: each
// label, button, check box and list header is at least as large as its size
// hint in the windows' own font, wrapped labels are tall enough for their
// lines and no word is wider than them, and the help memos need no scrolling.
#include <gtest/gtest.h>

#include "tests/i18n/OneDriverKey.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextEdit>
#include <QTreeWidget>
#include <filesystem>

#include "app/Localisation.h"
#include "app/Main.h"
#include "app/kit/Fmmsg.h"
#include "app/kit/Texts.h"
#include "app/kit/WindowFont.h"
#include "dbwindow/Dbform.h"
#include "drivers/Drv_mng.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/KeyFixture.h"
#include "tests/support/Wine.h"
#include "ui_Dbform.h"
#include "ui_Drv_mng.h"
#include "ui_Main.h"

namespace {

QString Name(const QWidget* w) {
  return w->window()->objectName() + QLatin1Char('.') + w->objectName();
}

// Fails unless w names the forms' Tahoma and is drawn in it, or in the
// carried font where the system has no Tahoma: a size hint measured in any
// other font would prove nothing about the real windows.
void ExpectWindowFont(const QWidget* w) {
  static const QString drawn =
      QString::fromLatin1(QFontDatabase::hasFamily(QString::fromLatin1(kit::kWindowFontFamily))
                              ? kit::kWindowFontFamily
                              : kit::kCarriedFontFamily);
  EXPECT_EQ(w->font().family(), QString::fromLatin1(kit::kWindowFontFamily))
      << Name(w).toStdString();
  EXPECT_EQ(QFontInfo(w->font()).family(), drawn) << Name(w).toStdString();
  if (w->font().pointSize() > 0) {  // style sheets give some titles a pixel size
    EXPECT_EQ(w->font().pointSize(), 8) << Name(w).toStdString();
  }
}

void ExpectLabelShowsWhole(QLabel* label, const QString& language) {
  const std::string where =
      (Name(label) + " \"" + label->text() + "\" in " + language).toStdString();
  ExpectWindowFont(label);
  if (!label->wordWrap()) {
    const QSize need = label->sizeHint();
    EXPECT_LE(need.width(), label->width()) << where;
    EXPECT_LE(need.height(), label->height()) << where;
    return;
  }
  const QRect room = label->contentsRect();
  const QFontMetrics metrics(label->font());
  for (const QString& word : label->text().split(QLatin1Char(' '), Qt::SkipEmptyParts))
    EXPECT_LE(metrics.horizontalAdvance(word), room.width()) << where << ": " << word.toStdString();
  EXPECT_LE(label->heightForWidth(label->width()), label->height()) << where;
}

void ExpectButtonShowsWhole(QAbstractButton* button, const QString& language) {
  const std::string where =
      (Name(button) + " \"" + button->text() + "\" in " + language).toStdString();
  ExpectWindowFont(button);
  const QSize need = button->sizeHint();
  EXPECT_LE(need.width(), button->width()) << where;
  EXPECT_LE(need.height(), button->height()) << where;
}

void ExpectHeadersShowWhole(QTreeWidget* list, const QString& language) {
  QHeaderView* header = list->header();
  ExpectWindowFont(header);
  for (int c = 0; c < list->columnCount(); ++c) {
    if (header->isSectionHidden(c)) continue;  // the ID columns
    EXPECT_LE(header->sectionSizeHint(c), header->sectionSize(c))
        << (Name(list) + " \"" + list->headerItem()->text(c) + "\" in " + language).toStdString();
  }
}

// Every fixed text of window and all its panels, hidden ones too; list rows,
// edit fields and data memos hold data and are not fixed texts.
void ExpectFixedTextsShowWhole(QWidget* window, const QString& language) {
  int checked = 0;
  for (QLabel* label : window->findChildren<QLabel*>()) {
    if (label->text().isEmpty()) continue;  // the clip's label and data labels not yet filled
    ExpectLabelShowsWhole(label, language);
    ++checked;
  }
  for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
    if (button->text().isEmpty()) continue;
    ExpectButtonShowsWhole(button, language);
    ++checked;
  }
  for (QTreeWidget* list : window->findChildren<QTreeWidget*>()) {
    ExpectHeadersShowWhole(list, language);
    ++checked;
  }
  EXPECT_GT(checked, 0) << window->objectName().toStdString();
}

// The help memos show all their lines without scrolling once laid out.
template <typename Memo>
void ExpectMemoNeedsNoScrolling(Memo* memo, const QString& language) {
  ASSERT_FALSE(memo->document()->isEmpty()) << Name(memo).toStdString();
  ExpectWindowFont(memo);
  EXPECT_EQ(memo->verticalScrollBar()->maximum(), 0)
      << (Name(memo) + " in " + language).toStdString();
}

class TextFit : public OneDriverKey {};

TEST_F(TextFit, EveryFixedTextShowsWholeInEveryWindowPanelAndLanguage) {
  if (fixture::RunningUnderWine())
    GTEST_SKIP() << "Wine's Tahoma is not Microsoft's: its sizes prove nothing about Windows";
  for (const QString& language : Localisation::Languages()) {
    ASSERT_TRUE(Localisation::instance().Switch(language));
    SCOPED_TRACE(language.toStdString());

    TForm1 main;
    main.Button7Click();  // the drive-choice panel's prompt
    ExpectFixedTextsShowWhole(&main, language);
    // The wait panel's texts in each phase of a job.
    Ui::TForm1* ui = main.ui();
    ui->Lbl_Wait->setText(Msg(1000));
    for (int text : {1001, 1002, 1003}) {
      ui->lbl_Msg->setText(Msg(text));
      ExpectLabelShowsWhole(ui->lbl_Msg, language);
    }
    ExpectLabelShowsWhole(ui->Lbl_Wait, language);

    TForm2 database;
    database.SetupWindow("E:\\ZKM_Quorvane\\");
    ExpectFixedTextsShowWhole(&database, language);

    TForm3 drivers;
    drivers.SetupWindow("E:\\ZKM_Quorvane\\");
    ExpectFixedTextsShowWhole(&drivers, language);

    TMsgFm question;
    for (int text : {1043}) {
      question.SetMessage(Msg(text));
      ExpectFixedTextsShowWhole(&question, language);
    }

    // The help memos, laid out on their shown panels.
    database.show();
    for (QFrame* panel : {database.ui()->Pnl_ORI1, database.ui()->Pnl_ORI2, database.ui()->PNL_MOD,
                          database.ui()->PNL_MOD2})
      panel->show();
    drivers.show();
    drivers.ui()->PNL_DRV_CAT->show();
    QApplication::processEvents();
    ExpectMemoNeedsNoScrolling(database.ui()->HelpORI, language);
    ExpectMemoNeedsNoScrolling(database.ui()->HelpMOD, language);
    ExpectMemoNeedsNoScrolling(database.ui()->WarnMod, language);
    ExpectMemoNeedsNoScrolling(drivers.ui()->Memo_DRV, language);
    ExpectMemoNeedsNoScrolling(drivers.ui()->Memo_Help, language);
  }
}

// The wait panel's two texts are red, centred and wrapped, so a long text
// in any language stays readable.
TEST_F(TextFit, WaitPanelTextsAreRedCentredAndWrapped) {
  TForm1 main;
  for (QLabel* label : {main.ui()->Lbl_Wait, main.ui()->lbl_Msg}) {
    label->ensurePolished();
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::red))
        << label->objectName().toStdString();
    EXPECT_EQ(label->alignment() & Qt::AlignCenter, Qt::AlignCenter)
        << label->objectName().toStdString();
    EXPECT_TRUE(label->wordWrap()) << label->objectName().toStdString();
  }
}

}  // namespace
