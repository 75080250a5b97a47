// The text of the application's top-level error report.
#pragma once

#include <QString>
#include <exception>

namespace kit {

// What a database failure code means for the user, in the interface
// language: locked by another program, cannot be opened, read or write
// failed (is the key still plugged in?), key full, read-only, damaged or
// not a database. Empty for the other codes.
QString DatabaseFailureMeaning(int code);

// The report of an exception that reached the top: for a database
// failure, its meaning above the layer's exact text; otherwise the text.
QString FailureReport(const std::exception& error);

}  // namespace kit
