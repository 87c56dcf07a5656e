#include "Main.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication App(argc, argv);
    TfrmMain Window;
    Window.show();
    return App.exec();
}
