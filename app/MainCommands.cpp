// The main window's commands around the product: launching it, checking
// the key's disk, installing a service pack.
#include "app/Main.h"

void TForm1::BTN_ZkmRunClick() {}
void TForm1::BTN_ImpdrvClick() {}
void TForm1::BTN_SPClick() {}
