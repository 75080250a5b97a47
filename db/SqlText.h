// Values enter SQL texts only through SqlValue: the statements keep their
// fixed pieces (quotes included), the value inside them has every single
// quote doubled, so a value can never end its literal or change the
// statement, and is stored exactly as typed.
#pragma once

#include <string>

// The text to put between single quotes in a statement.
std::string SqlValue(const std::string& value);
