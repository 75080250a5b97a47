// The main window's commands around the product: launching it, checking
// the key's disk, installing a service pack.
#include <QFile>
#include <QSaveFile>
#include <stdexcept>

#include "app/Main.h"
#include "app/kit/FileDialogs.h"
#include "app/kit/KeyWrites.h"
#include "app/kit/Prompts.h"
#include "app/kit/Texts.h"
#include "platform/Platform.h"

namespace {

// Starts a program of the key; true when the tool may end.
bool StartFromKey(QWidget* window, const std::string& program, const std::string& folder) {
  const platform::StartResult result = platform::Current().StartProgram(program, folder);
  if (result == platform::StartResult::kNoInterpreter) {
    // Ending silently would leave the user with nothing running at all.
    Prompts::current().message(window, Msg(1054));
    return false;
  }
  return true;
}

QString Native(const std::string& path) { return QString::fromLocal8Bit(path.c_str()); }

}  // namespace

void TForm1::BTN_ZkmRunClick() {
  const std::string script = platform::NativePath(DriveRoot, "Zkm_Quorvane.bat");
  if (!platform::FileExists(script)) {
    Prompts::current().message(this, Msg(1010));
    return;
  }
  if (StartFromKey(this, script, platform::NativePath(DriveRoot, ""))) Terminate();
}

void TForm1::BTN_ImpdrvClick() {
  const std::string commandLine = "chkdsk " + DriveRoot + " /f /v";
  if (!platform::Current().CheckDisk(commandLine, DriveRoot))
    Prompts::current().message(this, Msg(1053));
}

void TForm1::BTN_SPClick() {
  const QString package =
      kit::OpenFile(kit::FileDialog::kOD, this,
                    Prompts::qtFilter(QStringLiteral("Quorvane Service Pack (*.qsp)|*.QSP")));
  if (package.isEmpty()) return;
  QFile in(package);
  if (!in.open(QIODevice::ReadOnly))
    throw std::runtime_error(QStringLiteral("%1: %2").arg(package, in.errorString()).toStdString());
  const QByteArray content = in.readAll();
  const std::string target = platform::NativePath(KeyRoot, "QSP.exe");
  QSaveFile out(Native(target));
  if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit())
    throw std::runtime_error(
        QStringLiteral("%1: %2").arg(Native(target), out.errorString()).toStdString());
  // The package must be whole on the key before it runs from there.
  if (!KeyWritesSaved(this, KeyRoot)) return;
  if (StartFromKey(this, target, platform::NativePath(KeyRoot, ""))) Terminate();
}
