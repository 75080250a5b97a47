#include "app/kit/FileDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include "app/kit/Prompts.h"

namespace kit {
namespace {

struct Memory {
  QString folder;
  QString fileName;  // open dialogs only
};

Memory g_memories[4];

Memory& Of(FileDialog which) { return g_memories[static_cast<int>(which)]; }

void Remember(Memory& memory, const QString& chosen, bool keepName) {
  const QFileInfo file(chosen);
  memory.folder = file.absolutePath();
  memory.fileName = keepName ? file.fileName() : QString();
}

}  // namespace

QString StartFolder(const QString& remembered) {
  if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) return remembered;
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (!documents.isEmpty() && QFileInfo(documents).isDir()) return documents;
  return QDir::homePath();
}

QString OpenFile(FileDialog which, QWidget* parent, const QString& filter) {
  Memory& memory = Of(which);
  const QString folder = StartFolder(memory.folder);
  // The last name only means something in the folder it was chosen in.
  const QString name = folder == memory.folder ? memory.fileName : QString();
  const QString chosen = Prompts::current().openFile(parent, filter, folder, name);
  if (!chosen.isEmpty()) Remember(memory, chosen, true);
  return chosen;
}

QString SaveFile(FileDialog which, QWidget* parent, const QString& proposedName,
                 const QString& filter) {
  Memory& memory = Of(which);
  const QString chosen =
      Prompts::current().saveFile(parent, proposedName, filter, StartFolder(memory.folder));
  if (!chosen.isEmpty()) Remember(memory, chosen, false);
  return chosen;
}

void ForgetFileDialogs() {
  for (Memory& memory : g_memories) memory = Memory();
}

}  // namespace kit
