// Opening the driver window.
#include <memory>

#include "app/Main.h"
#include "app/kit/Prompts.h"
#include "drivers/Drv_mng.h"

void TForm1::Button4Click() {
  // A new window for every opening; nothing survives from the last one.
  auto window = std::make_unique<TForm3>();
  window->SetupWindow(KeyRoot);
  // The main window takes no input until the user closes it.
  window->setWindowModality(Qt::ApplicationModal);
  Prompts::current().execDialog(window.get());
}
