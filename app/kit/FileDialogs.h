// The program's four file dialogs: the main window's open (OD) and save
// (SD) dialogs and the database window's (DB_OD, SD_DB). Each keeps, for
// the run only, the folder last confirmed in it, and an open dialog also the
// file name; nothing is written anywhere. A dialog starts in its folder when
// that still exists, else in Documents, else in the home folder; never in
// the working folder. Save dialogs propose the name their command gives.
#pragma once

#include <QString>

class QWidget;

namespace kit {

enum class FileDialog { kOD, kSD, kDB_OD, kSD_DB };

// Shows the open dialog through the prompts with its folder and last file
// name; the chosen native path, or empty when the user cancelled (nothing
// is remembered then).
QString OpenFile(FileDialog which, QWidget* parent, const QString& filter);

// Shows the save dialog through the prompts with its folder, proposing
// proposedName; the confirmed native path, or empty when cancelled.
QString SaveFile(FileDialog which, QWidget* parent, const QString& proposedName,
                 const QString& filter);

// The folder a dialog that remembers `remembered` (maybe empty) starts in.
QString StartFolder(const QString& remembered);

// Forgets every dialog's folder and name, as at the program's start.
void ForgetFileDialogs();

}  // namespace kit
