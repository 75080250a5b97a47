// Opening the driver window.
#include "app/Main.h"

void TForm1::Button4Click() {}
