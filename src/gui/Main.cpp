#include "Main.h"

TfrmMain::TfrmMain(QWidget* Parent) : QMainWindow(Parent)
{
    setWindowTitle("Tabulon");
}
