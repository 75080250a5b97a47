// The main window's archive jobs: backup, restore, database export and
// import, the wait panel and the worker's window messages.
#include "app/Main.h"

void TForm1::BTN_BckClick() {}
void TForm1::BTN_RestoreClick() {}
void TForm1::Button1Click() {}
void TForm1::Button2Click() {}
void TForm1::SetWaitMode(bool) {}
bool TForm1::WndProc(QEvent*) { return false; }
bool TForm1::MayLeave() { return !jobRunning_; }
void TForm1::StartJob(int, const std::string&, const std::string&) {}
