// The numbered texts, the question window and the file filters.
#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "app/kit/DbText.h"
#include "app/kit/Fmmsg.h"
#include "app/kit/Messages.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "ui_Fmmsg.h"

namespace {

TEST(Messages, TableIsContiguousFrom1000To1052) {
  for (int n = messages::kFirst; n <= messages::kLast; ++n)
    EXPECT_NE(messages::Text(n), nullptr) << n;
  EXPECT_EQ(messages::Text(999), nullptr);
  int count = 0;
  const int* numbers = messages::Numbers(&count);
  ASSERT_GE(count, 53);
  for (int i = 1; i < count; ++i) EXPECT_LT(numbers[i - 1], numbers[i]);
}

TEST(Messages, TextsAreTheProductsOwn) {
  EXPECT_EQ(Msg(1000), QStringLiteral("Attendere Prego ..."));
  EXPECT_EQ(Msg(1007), QStringLiteral("Drive non campatibile con Chiave Quorvane."));
  EXPECT_EQ(Msg(1011), QStringLiteral("<Seleziona>"));
  EXPECT_EQ(Msg(1012), QString::fromUtf8("Originale già registrato nel Database."));
  EXPECT_EQ(Msg(1034), QStringLiteral("ASSOCIARE UN FILE MODIFICATO AD UN ORIGINALE NON "
                                      "COMPATIBILE, PUO' CAUSARE IL BLOCCO DEL SOFTWARE ZKM "
                                      "QUORVANE!"));
  EXPECT_EQ(Msg(1052), QStringLiteral("ZKM Quorvane Management Tool"));
  EXPECT_EQ(Msg(1033, 1008), QStringLiteral("ATTENZIONE! Database Quorvane non rilevato."));
  EXPECT_EQ(Msg(5000), QString());
}

TEST(QuestionWindow, OkGivesOneEverythingElseTwo) {
  TMsgFm question;
  question.SetMessage(QStringLiteral("Vuoi Cancellare il Driver selezionato?"));
  EXPECT_EQ(question.windowTitle(), QStringLiteral("BrennowUpgrade - Brennow"));
  EXPECT_EQ(question.ui()->lblMsg->text(),
            QStringLiteral("Vuoi Cancellare il Driver selezionato?"));
  EXPECT_FALSE(question.windowFlags() & Qt::WindowCloseButtonHint);

  auto run = [&](std::function<void()> action) {
    QTimer::singleShot(0, &question, action);
    return question.exec();
  };
  EXPECT_EQ(run([&] { question.ui()->btn_ok->click(); }), 1);
  EXPECT_EQ(run([&] { question.ui()->btn_cancel->click(); }), 2);
  EXPECT_EQ(run([&] {
              QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
              QApplication::sendEvent(&question, &escape);
            }),
            2);
  EXPECT_EQ(run([&] { question.close(); }), 2);
  EXPECT_EQ(run([&] { question.accept(); }), 1);
}

TEST(Prompts, WindowsFiltersMatchEitherCase) {
  EXPECT_EQ(Prompts::qtFilter(QStringLiteral("Quorvane Backup (*.qbk)|*.QBK")),
            QStringLiteral("Quorvane Backup (*.qbk *.QBK)"));
  EXPECT_EQ(Prompts::qtFilter(QStringLiteral("Quorvane Service Pack (*.qsp)|*.QSP")),
            QStringLiteral("Quorvane Service Pack (*.qsp *.QSP)"));
  EXPECT_EQ(Prompts::qtFilter(QStringLiteral("A|*.a|B (*.b)|*.b;*.c")),
            QStringLiteral("A (*.a *.A);;B (*.b *.B *.c *.C)"));
}

TEST(DbText, Windows1252RoundTripsAndRefusesWhatItCannotHold) {
  const std::string citroen = "Citro\xEBn \x80 \x8A";
  EXPECT_EQ(FromCp1252(citroen), QString::fromUtf8("Citroën € Š"));
  std::string bytes;
  ASSERT_TRUE(ToCp1252(QString::fromUtf8("Citroën € Š à"), &bytes));
  EXPECT_EQ(bytes, "Citro\xEBn \x80 \x8A \xE0");
  bytes = "kept";
  EXPECT_FALSE(ToCp1252(QString::fromUtf8("Škoda ✓"), &bytes));
  EXPECT_FALSE(ToCp1252(QString::fromUtf8("Ωmega"), &bytes));
  EXPECT_EQ(bytes, "kept");
  EXPECT_EQ(ToStoredLineBreaks(QStringLiteral("a\nb\r\nc")), QStringLiteral("a\r\nb\r\nc"));
}

}  // namespace
