// Making a command's writes to the key last. Linux caches writes to a FAT
// key: one pulled out right after "Completato" could lose them. Every
// command that wrote to the key flushes its drive before it says it
// succeeded, and says it failed when the flush does.
#pragma once

#include <QString>
#include <string>

class QWidget;

// Flushes the drive of keyText (KeyRoot or DriveRoot). Empty when the
// writes reached the key; otherwise the failure as the user reads it
// (text 1090 and the system's reason).
QString UnsavedKeyWrites(const std::string& keyText);

// UnsavedKeyWrites, with the failure shown in a message box. True when the
// command may show its success message.
bool KeyWritesSaved(QWidget* parent, const std::string& keyText);
