// Values enter SQL texts only through these helpers: the statements keep
// their fixed pieces, the value inside them has every single quote doubled,
// so a value can never end its literal or change the statement, and is
// stored exactly as typed (bytes unchanged, double quotes included).
#pragma once

#include <string>

// The value's text to put between the single quotes that a statement's
// fixed pieces already hold: every ' doubled, nothing added around it.
std::string SqlValue(const std::string& value);

// The value as a complete single-quoted literal: "'" + SqlValue + "'". For
// the places where a statement must not rely on double quotes, which SQLite
// reads as a column name when one of that name exists.
std::string SqlQuoted(const std::string& value);
