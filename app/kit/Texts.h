// The numbered texts in the interface language.
#pragma once

#include <QString>

// Text number n, translated; an empty text for a number the table lacks.
QString Msg(int number);

// Two texts joined by one blank, as the messages that pair a warning with
// its reason show them ("ATTENZIONE! Database Quorvane non rilevato.").
QString Msg(int first, int second);
