// The numbered texts as the core keeps them: UTF-8 Italian, by number.
#include <gtest/gtest.h>

#include <string>

#include "app/kit/Messages.h"

namespace {

std::string TextOf(int number) {
  const char* text = messages::Text(number);
  return text ? text : "(none)";
}

TEST(MessageTable, EveryNumberFrom1000To1052AndNothingAround) {
  for (int n = 1000; n <= 1052; ++n) EXPECT_NE(messages::Text(n), nullptr) << n;
  EXPECT_EQ(messages::Text(999), nullptr);
  EXPECT_EQ(messages::Text(-1), nullptr);
  int count = 0;
  const int* numbers = messages::Numbers(&count);
  ASSERT_GE(count, 53);
  EXPECT_EQ(numbers[0], 1000);
  for (int i = 1; i < count; ++i) EXPECT_LT(numbers[i - 1], numbers[i]);
  for (int i = 0; i < count; ++i) EXPECT_NE(messages::Text(numbers[i]), nullptr);
}

TEST(MessageTable, TextsKeepTheirAccentsAndSpelling) {
  EXPECT_EQ(TextOf(1006), "Quorvane non rilevata: Selezionare l'unit\xC3\xA0 corretta.");
  EXPECT_EQ(TextOf(1007), "Drive non campatibile con Chiave Quorvane.");
  EXPECT_EQ(TextOf(1012), "Originale gi\xC3\xA0 registrato nel Database.");
  EXPECT_EQ(TextOf(1020),
            "Attenzione, il driver richiesto non \xC3\xA8 presente, sar\xC3\xA0 "
            "scaricato al prossimo avvio ZKM Quorvane");
  EXPECT_EQ(TextOf(1051),
            "ZKM Quorvane in funzione. Chiudere ZKM Quorvane e rilanciare il "
            "programma.");
  EXPECT_EQ(TextOf(1052), "ZKM Quorvane Management Tool");
}

}  // namespace
