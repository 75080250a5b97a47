// Opening the database window and the driver window.
#include "app/Main.h"

void TForm1::BTN_DbMngClick() {}
