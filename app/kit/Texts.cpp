#include "app/kit/Texts.h"

#include <QCoreApplication>

#include "app/kit/Messages.h"

QString Msg(int number) {
  const char* text = messages::Text(number);
  return text ? QCoreApplication::translate("Messages", text) : QString();
}

QString Msg(int first, int second) { return Msg(first) + QLatin1Char(' ') + Msg(second); }
