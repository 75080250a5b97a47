// Opening the database window and the driver window.
#include <memory>

#include "app/Main.h"
#include "app/kit/Prompts.h"
#include "dbwindow/Dbform.h"

void TForm1::BTN_DbMngClick() {
  // A new window for every use, owned by nobody, gone when it closes.
  std::unique_ptr<TForm2> window = std::make_unique<TForm2>();
  window->SetupWindow(KeyRoot);
  Prompts::current().execDialog(window.get());
}
