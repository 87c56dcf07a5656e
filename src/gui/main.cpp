#include "Main.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tabulon"));
    TfrmMain frmMain;
    frmMain.show();
    return App.exec();
}
