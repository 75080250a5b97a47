#include "app/Main.h"
#include "app/Localisation.h"
#include "app/QuorApplication.h"

int main(int argc, char** argv) {
  QuorApplication app(argc, argv);
  Localisation::instance().Initialise();
  TForm1 form;
  if (!form.terminateRequested()) form.show();
  return app.exec();
}
