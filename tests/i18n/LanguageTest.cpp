// Every text in every language, switched at run time in every open window.
#include <gtest/gtest.h>

#include "tests/i18n/OneDriverKey.h"

#include <QAbstractButton>
#include <QAction>
#include <QDomDocument>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTreeWidget>
#include <filesystem>
#include <map>
#include <set>

#include "app/Localisation.h"
#include "app/Main.h"
#include "app/kit/Fmmsg.h"
#include "app/kit/Messages.h"
#include "app/kit/Texts.h"
#include "dbwindow/Dbform.h"
#include "drivers/Drv_mng.h"
#include "platform/SimulatedPlatform.h"
#include "tests/support/KeyFixture.h"
#include "tests/support/ScriptedPrompts.h"
#include "ui_Main.h"

namespace {

struct TsEntry {
  QString source;
  QString translation;
  bool finished;
};

std::vector<TsEntry> ReadTs(const QString& language) {
  QFile file(QStringLiteral(QUOR_SOURCE_DIR "/resources/i18n/quorvane_%1.ts").arg(language));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
  QDomDocument document;
  document.setContent(&file);
  std::vector<TsEntry> entries;
  const QDomNodeList messages = document.elementsByTagName(QStringLiteral("message"));
  for (int i = 0; i < messages.size(); ++i) {
    const QDomElement message = messages.at(i).toElement();
    const QDomElement translation = message.firstChildElement(QStringLiteral("translation"));
    entries.push_back(
        {message.firstChildElement(QStringLiteral("source")).text(), translation.text(),
         translation.attribute(QStringLiteral("type")).isEmpty() && !translation.text().isEmpty()});
  }
  return entries;
}

// Texts that read the same in every language.
const std::set<QString> kSameEverywhere = {"OK",
                                           "CKS",
                                           "EPROM",
                                           "ID",
                                           "ZKM Quorvane Management Tool",
                                           "Quorvane Service Pack",
                                           "Driver: ",
                                           "Driver:",
                                           "Driver",
                                           "Database Management",
                                           "Driver Management",
                                           "Originale",
                                           "Marca:",
                                           "Marca :",
                                           "Marca",
                                           "Nome",
                                           "Centralina",
                                           "Original",
                                           "File"};

// Every text a user can see in a window and all its panels, hidden ones too.
QStringList VisibleTexts(QWidget* window) {
  QStringList texts{window->windowTitle()};
  for (QLabel* w : window->findChildren<QLabel*>()) texts << w->text();
  for (QAbstractButton* w : window->findChildren<QAbstractButton*>()) texts << w->text();
  for (QGroupBox* w : window->findChildren<QGroupBox*>()) texts << w->title();
  for (QAction* a : window->findChildren<QAction*>()) texts << a->text();
  for (QMenu* m : window->findChildren<QMenu*>()) texts << m->title();
  for (QTreeWidget* list : window->findChildren<QTreeWidget*>()) {
    for (int c = 0; c < list->columnCount(); ++c) texts << list->headerItem()->text(c);
  }
  for (QPlainTextEdit* memo : window->findChildren<QPlainTextEdit*>())
    texts << memo->toPlainText().split('\n');
  for (QTextEdit* memo : window->findChildren<QTextEdit*>())
    texts << memo->toPlainText().split('\n');
  texts.removeAll(QString());
  return texts;
}

class Languages : public OneDriverKey {
 protected:
  // Fails for every Italian source text still shown that has a translation
  // of its own in the language.
  void ExpectTranslated(QWidget* window, const QString& language) {
    std::map<QString, QString> translations;
    for (const TsEntry& e : ReadTs(language)) translations[e.source] = e.translation;
    for (const QString& text : VisibleTexts(window)) {
      auto it = translations.find(text);
      if (it != translations.end() && it->second != text && !kSameEverywhere.count(text))
        ADD_FAILURE() << window->objectName().toStdString() << " still shows \""
                      << text.toStdString() << "\" in " << language.toStdString();
    }
  }

  ScriptedPrompts prompts_;
};

TEST(TranslationFiles, EveryTextIsTranslatedInBothLanguages) {
  for (const QString language : {"en_US", "pt_BR"}) {
    const std::vector<TsEntry> entries = ReadTs(language);
    ASSERT_GT(entries.size(), 100u);
    std::set<QString> sources;
    for (const TsEntry& e : entries) {
      EXPECT_TRUE(e.finished) << language.toStdString() << ": " << e.source.toStdString();
      sources.insert(e.source);
    }
    int count = 0;
    const int* numbers = messages::Numbers(&count);
    for (int i = 0; i < count; ++i)
      EXPECT_TRUE(sources.count(QString::fromUtf8(messages::Text(numbers[i]))))
          << language.toStdString() << " lacks text " << numbers[i];
  }
}

TEST_F(Languages, MenuHoldsTheThreeLanguagesUnderTheirOwnNames) {
  TForm1 form;
  QStringList names;
  for (QAction* a : form.ui()->Languages->actions()) {
    names << a->text();
    EXPECT_TRUE(a->isCheckable());
  }
  EXPECT_EQ(names, (QStringList{"Italiano", "English (United States)",
                                QString::fromUtf8("Português (Brasil)")}));
  EXPECT_TRUE(form.ui()->Languages->actions()[0]->isChecked());
  form.ui()->Languages->actions()[2]->trigger();
  EXPECT_EQ(Localisation::instance().current(), "pt_BR");
  EXPECT_TRUE(form.ui()->Languages->actions()[2]->isChecked());
  EXPECT_FALSE(form.ui()->Languages->actions()[0]->isChecked());
  // The entries keep their names in every language.
  EXPECT_EQ(form.ui()->Languages->actions()[1]->text(), "English (United States)");
}

TEST_F(Languages, EveryOpenWindowSwitchesAndSwitchingBackRestoresItalian) {
  TForm1 form;
  form.Button6Click();
  TForm2 database;
  database.SetupWindow(form.keyRoot());
  TForm3 drivers;
  drivers.SetupWindow(form.keyRoot());
  TMsgFm question;  // its question is set by its owner each time it asks
  const QStringList italianDrivers = VisibleTexts(&drivers);
  const QStringList italianMain = VisibleTexts(&form);
  const QStringList italianDatabase = VisibleTexts(&database);
  const QStringList italianQuestion = VisibleTexts(&question);

  for (const QString language : {"en_US", "pt_BR"}) {
    ASSERT_TRUE(Localisation::instance().Switch(language));
    ExpectTranslated(&form, language);
    ExpectTranslated(&database, language);
    ExpectTranslated(&question, language);
    ExpectTranslated(&drivers, language);
    EXPECT_NE(VisibleTexts(&form), italianMain);
  }
  EXPECT_EQ(form.ui()->Button6->text(), QString::fromUtf8("Detecção Automática"));
  EXPECT_TRUE(form.windowTitle().startsWith("ZKM Quorvane Management Tool "));
  ASSERT_TRUE(Localisation::instance().Switch("it"));
  EXPECT_EQ(VisibleTexts(&form), italianMain);
  EXPECT_EQ(VisibleTexts(&database), italianDatabase);
  EXPECT_EQ(VisibleTexts(&question), italianQuestion);
  EXPECT_EQ(VisibleTexts(&drivers), italianDrivers);
}

TEST_F(Languages, MessagesAndNewWindowsComeInTheChosenLanguage) {
  ASSERT_TRUE(Localisation::instance().Switch("en_US"));
  EXPECT_EQ(Msg(1007), "This drive cannot hold a Quorvane key.");
  EXPECT_EQ(Msg(1033, 1008), "WARNING! Quorvane database not found.");
  TForm1 form;
  form.Button7Click();
  EXPECT_EQ(form.ui()->lblQuorselect->text(), "Quorvane key not found: select the correct drive.");
  EXPECT_EQ(form.ui()->Button3->text(), "Confirm");
  TForm2 database;
  database.SetupWindow("E:\\ZKM_Quorvane\\");
  ExpectTranslated(&database, "en_US");
  form.ui()->Button5->click();
  EXPECT_TRUE(form.terminateRequested());
}

TEST_F(Languages, RuntimeTextsFollowTheSwitch) {
  TForm1 form;
  form.Button7Click();
  ASSERT_TRUE(Localisation::instance().Switch("pt_BR"));
  EXPECT_EQ(form.ui()->lblQuorselect->text(), Msg(1006));
  EXPECT_EQ(Msg(1006),
            QString::fromUtf8("Chave Quorvane não encontrada: selecione a unidade correta."));
  EXPECT_FALSE(Localisation::instance().Switch("de"));
  EXPECT_EQ(Localisation::instance().current(), "pt_BR");
}

}  // namespace
