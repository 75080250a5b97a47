// Saves a PNG of each state of the windows, on the key that the drive table
// (QUORVANE_DRIVE_TABLE) plugs in: snapshots OUT_DIR [DEMO_FOLDER]
// Run offscreen (QT_QPA_PLATFORM=offscreen) by ./run snapshots.
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPixmap>
#include <QPushButton>
#include <cstdio>

#include "app/kit/Fmmsg.h"
#include "app/Localisation.h"
#include "app/Main.h"
#include "app/kit/Prompts.h"
#include "app/QuorApplication.h"
#include "app/kit/Texts.h"
#include "dbwindow/Dbform.h"
#include "drivers/DriverWindowSnapshots.h"
#include "jobs/JobEvent.h"
#include "ui_Main.h"

namespace {

// Answers every prompt without a user: messages are noted, dialogs cancelled.
class SilentPrompts : public Prompts {
 public:
  void message(QWidget*, const QString& text) override {
    std::printf("message: %s\n", text.toLocal8Bit().constData());
  }
  QString openFile(QWidget*, const QString&, const QString&, const QString&) override {
    QString answer = openAnswer;
    openAnswer.clear();
    return answer;
  }
  QString openAnswer;
  QString saveFile(QWidget*, const QString&, const QString&, const QString&) override {
    QString answer = saveAnswer;
    saveAnswer.clear();
    return answer;
  }
  QString saveAnswer;
  int execDialog(QDialog*) override { return 2; }
};

QString g_out;
int g_saved = 0;

void Save(QWidget* widget, const QString& name, bool settle = true) {
  widget->show();
  if (settle) QApplication::processEvents();
  const QString path = QDir(g_out).filePath(name + QStringLiteral(".png"));
  if (widget->grab().save(path)) {
    ++g_saved;
    std::printf("%s\n", path.toLocal8Bit().constData());
  } else {
    std::fprintf(stderr, "cannot write %s\n", path.toLocal8Bit().constData());
  }
}

}  // namespace

int main(int argc, char** argv) {
  QuorApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZKM Quorvane Maintenance Tools"));
  if (argc < 2) {
    std::fprintf(stderr, "usage: snapshots OUT_DIR [DEMO_FOLDER]\n");
    return 2;
  }
  g_out = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(g_out);
  Localisation::instance().Initialise();
  SilentPrompts prompts;
  Prompts::install(&prompts);

  TForm1 form;
  Save(&form, QStringLiteral("main-1-detection"));
  form.Button7Click();
  Save(&form, QStringLiteral("main-2-drive-choice"));
  form.Button6Click();
  Save(&form, QStringLiteral("main-3-commands"));

  // The wait panel in both phases of a real backup of the demo key.
  prompts.saveAnswer = QDir(g_out).filePath(QStringLiteral("snapshot-backup.qbk"));
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
  QFile::remove(QDir(g_out).filePath(QStringLiteral("snapshot-backup.qbk")));
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

  // The database window with the drivers of a sample original.
  const QString demo = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
  {
    TForm2 window;
    window.SetupWindow(form.keyRoot());
    window.BTN_DB_ORIClick();
    prompts.openAnswer = QDir(demo).filePath(QStringLiteral("samples/originale_1.bin"));
    window.BTN_DB_openoriClick();
    Save(&window, QStringLiteral("dbwindow-1-identification"));
  }

  // The driver window's two panels.
  for (const QString& path : SaveDriverWindowSnapshots(form.keyRoot(), g_out)) {
    ++g_saved;
    std::printf("%s\n", path.toLocal8Bit().constData());
  }

  TMsgFm question;
  question.SetMessage(Msg(1043));
  Save(&question, QStringLiteral("question-window"));

  // The main window and the database window in each language.
  for (const QString& language : Localisation::Languages()) {
    Localisation::instance().Switch(language);
    Save(&form, QStringLiteral("lang-%1-main").arg(language));
    TForm2 window;
    window.SetupWindow(form.keyRoot());
    window.BTN_DB_ORIClick();
    Save(&window, QStringLiteral("lang-%1-dbwindow").arg(language));
  }
  Localisation::instance().Switch(QStringLiteral("it"));

  Prompts::install(nullptr);
  return g_saved > 0 ? 0 : 1;
}
