// What a failed archive operation says to the user, in the interface
// language: the wrapper's fixed prefix and the engine's reason (a kind with
// its file, entry or volume). The wrapper's lastError() keeps its own text;
// this is for display only.
#pragma once

#include <QString>
#include <QStringList>

#include "archive/Brennowzip.h"

namespace kit {

// lastError: the wrapper's text (prefix and the engine's English reason);
// kind and args: its lastReason(). A reason of no known kind is shown as the
// engine gave it.
QString ArchiveFailureText(const QString& lastError, int kind, const QStringList& args);
QString ArchiveFailureText(const CBrennowZip& zip);
QStringList ReasonArgs(const CBrennowZip::Reason& reason);

}  // namespace kit
