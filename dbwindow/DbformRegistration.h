// Pieces the two registrations share. Private to the window's own sources.
#pragma once

#include <QString>
#include <string>
#include <vector>

// The bytes of the file at path when it still has the MD5 text digest
// (the one computed when the file was chosen); false when it vanished,
// cannot be read or changed since.
bool ReadRegisteredBytes(const QString& path, const std::string& digest,
                         std::vector<unsigned char>* content);
