#include "app/frmMain.h"
#include "runtime/EndProgram.h"
frmMain& frmMain::Instance() { static frmMain f; return f; }
void frmMain::Show() { EndProgram(); }
