// Saves a PNG of each state of the windows, in each interface language, on
// the key that the drive table (QUORVANE_DRIVE_TABLE) plugs in:
//   snapshots OUT_DIR [DEMO_FOLDER]
// Every panel of every window with the demo key's rows, the wait panel in
// both phases of a real backup, the message boxes that the commands show
// and the question window. Run offscreen (QT_QPA_PLATFORM=offscreen) by
// ./run snapshots; the pictures are named LANGUAGE-WINDOW-STATE.png.
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <cstdio>
#include <utility>

#include "app/Localisation.h"
#include "app/Main.h"
#include "app/QuorApplication.h"
#include "app/kit/Fmmsg.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "dbwindow/Dbform.h"
#include "drivers/DriverWindowSnapshots.h"
#include "jobs/JobEvent.h"
#include "ui_Dbform.h"
#include "ui_Main.h"

namespace {

QString g_out;
QString g_prefix;  // "LANGUAGE-"
int g_saved = 0;

void SaveGrab(QWidget* widget, const QString& name) {
  const QString path = QDir(g_out).filePath(g_prefix + name + QStringLiteral(".png"));
  if (widget->grab().save(path)) {
    ++g_saved;
    std::printf("%s\n", path.toLocal8Bit().constData());
  } else {
    std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
  }
}

void Save(QWidget* widget, const QString& name, bool settle = true) {
  widget->show();
  if (settle) QApplication::processEvents();
  SaveGrab(widget, name);
}

// Answers every prompt without a user: dialogs take the answer set before
// the command or are cancelled; each message box is pictured, as the real
// prompts show it, under the name set before the command (or noted only).
class SilentPrompts : public Prompts {
 public:
  void message(QWidget* parent, const QString& text) override {
    std::printf("message: %s\n", text.toLocal8Bit().constData());
    if (messageName.isEmpty()) return;
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok,
                    parent);
    box.show();
    QApplication::processEvents();
    SaveGrab(&box, messageName);
    messageName.clear();
  }
  QString openFile(QWidget*, const QString&, const QString&, const QString&) override {
    return std::exchange(openAnswer, {});
  }
  QString saveFile(QWidget*, const QString&, const QString&, const QString&) override {
    return std::exchange(saveAnswer, {});
  }
  int execDialog(QDialog*) override { return 2; }

  QString openAnswer;
  QString saveAnswer;
  QString messageName;
};

void SelectFirstRow(QTreeWidget* list) {
  if (list->topLevelItemCount() > 0) list->setCurrentItem(list->topLevelItem(0));
}

// The user picks entry index of a brand box.
void Pick(QComboBox* box, int index) {
  if (box->count() <= index) return;
  box->setCurrentIndex(index);
  emit box->activated(index);
}

void MainWindowStates(TForm1& form, SilentPrompts& prompts) {
  Save(&form, QStringLiteral("main-1-detection"));
  form.Button7Click();
  Save(&form, QStringLiteral("main-2-drive-choice"));
  form.Button6Click();
  Save(&form, QStringLiteral("main-3-commands"));

  // The wait panel in both phases of a real backup of the demo key, and the
  // message box that ends it.
  const QString archive = QDir(g_out).filePath(QStringLiteral("snapshot-backup.qbk"));
  prompts.saveAnswer = archive;
  prompts.messageName = QStringLiteral("message-1-completed");
  form.BTN_BckClick();
  Save(&form, QStringLiteral("wait-1-preparing"), false);
  QDeadlineTimer deadline(60000);
  bool writingSaved = false;
  while (form.jobRunning() && !deadline.hasExpired()) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    if (!writingSaved && form.jobRunning() && form.ui()->lbl_Msg->text() == Msg(1002) &&
        form.ui()->ProgressBar->value() > 0) {
      Save(&form, QStringLiteral("wait-2-writing"), false);
      writingSaved = true;
    }
  }
  for (const QString& volume : QDir(g_out).entryList({QStringLiteral("snapshot-backup.*")}))
    QFile::remove(QDir(g_out).filePath(volume));
  if (!writingSaved) {
    // The demo key is small: when the job outran us, show the same phase
    // from the window messages the job sends.
    form.SetWaitMode(true);
    JobEvent start(JOB_PROGRESS, 0, 0);
    QApplication::sendEvent(&form, &start);
    JobEvent middle(JOB_PROGRESS, 42, 42);
    QApplication::sendEvent(&form, &middle);
    Save(&form, QStringLiteral("wait-2-writing"));
    form.SetWaitMode(false);
  }
  prompts.messageName.clear();
}

void DatabaseWindowStates(const std::string& keyRoot, const QString& demo, SilentPrompts& prompts) {
  const QString samples = QDir(demo).filePath(QStringLiteral("samples"));
  TForm2 window;
  window.SetupWindow(keyRoot);
  Ui::TForm2* ui = window.ui();
  Save(&window, QStringLiteral("dbwindow-0-empty"));

  // Identification of a new original, then its confirmation panel.
  window.BTN_DB_ORIClick();
  prompts.openAnswer = QDir(samples).filePath(QStringLiteral("originale_1.bin"));
  window.BTN_DB_openoriClick();
  SelectFirstRow(ui->DrvList);
  Save(&window, QStringLiteral("dbwindow-1-identification"));
  prompts.messageName = QStringLiteral("message-2-reservation");
  window.BTN_Reg_oriClick();
  Save(&window, QStringLiteral("dbwindow-2-original-confirm"));
  prompts.messageName.clear();
  window.BTN_CANCEL_ORIClick();

  // A registered original chosen again is refused.
  prompts.openAnswer = QDir(samples).filePath(QStringLiteral("originale_2.bin"));
  prompts.messageName = QStringLiteral("message-3-refusal");
  window.BTN_DB_openoriClick();
  prompts.messageName.clear();

  // A modified file and the original it belongs to, then its confirmation.
  window.BTN_DB_MODClick();
  prompts.openAnswer = QDir(samples).filePath(QStringLiteral("originale_1.bin"));
  window.Button2Click();
  if (ui->OriList->topLevelItemCount() == 0) {
    Pick(ui->MarcaORI, 1);
    window.BTN_Ori_searchClick();
  }
  SelectFirstRow(ui->OriList);
  Save(&window, QStringLiteral("dbwindow-3-modified"));
  window.BTN_Reg_modClick();
  Save(&window, QStringLiteral("dbwindow-4-modified-confirm"));
  window.Button4Click();

  // Stored files: the originals, then the modified files of the first.
  window.BTN_DB_EXPORTClick();
  Pick(ui->MarcaDB, 1);
  window.BTN_DB_EXPORTClick();
  window.BTN_db_searchClick();
  SelectFirstRow(ui->DBListORI);
  Save(&window, QStringLiteral("dbwindow-5-files"));
  window.BTN_Show_ModClick();
  SelectFirstRow(ui->MOD_LIST);
  Save(&window, QStringLiteral("dbwindow-6-modified-files"));
  window.hide();
}

void MessageKinds(SilentPrompts& prompts) {
  // A warning as the commands compose it, and the top-level report of a
  // database error (its layer's own text).
  prompts.messageName = QStringLiteral("message-4-warning");
  prompts.message(nullptr, Msg(1033, 1008));
  prompts.messageName = QStringLiteral("message-5-error-report");
  prompts.message(nullptr, QStringLiteral("SQLITE_BUSY[5]: database is locked"));
  TMsgFm question;
  question.SetMessage(Msg(1043));
  Save(&question, QStringLiteral("question-window"));
  question.hide();
}

}  // namespace

int main(int argc, char** argv) {
  QuorApplication app(argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: snapshots OUT_DIR [DEMO_FOLDER]\n");
    return 2;
  }
  g_out = QString::fromLocal8Bit(argv[1]);
  const QString demo = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
  QDir().mkpath(g_out);
  Localisation::instance().Initialise();
  SilentPrompts prompts;
  Prompts::install(&prompts);

  for (const QString& language : Localisation::Languages()) {
    Localisation::instance().Switch(language);
    g_prefix = language + QLatin1Char('-');
    TForm1 form;
    MainWindowStates(form, prompts);
    DatabaseWindowStates(form.keyRoot(), demo, prompts);
    for (const QString& path : SaveDriverWindowSnapshots(form.keyRoot(), g_out, g_prefix)) {
      ++g_saved;
      std::printf("%s\n", path.toLocal8Bit().constData());
    }
    MessageKinds(prompts);
    form.hide();
  }
  Localisation::instance().Switch(QStringLiteral("it"));

  Prompts::install(nullptr);
  return g_saved > 0 ? 0 : 1;
}
