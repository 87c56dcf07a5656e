// Writes the picture of the window for the README: the window as it opens,
// after "Create code" on the bundled sample. Runs offscreen:
//   QT_QPA_PLATFORM=offscreen tabulon-screenshot docs/window.png

#include "Main.h"

#include <QApplication>
#include <QPixmap>
#include <QPushButton>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication App(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: tabulon-screenshot FILE.png\n");
        return 2;
    }
    TfrmMain frmMain;
    QString Failure;
    frmMain.ShowError = [&Failure](const QString& Message) { Failure = Message; };
    frmMain.show();
    frmMain.Button2->click();
    QApplication::processEvents();
    if (!Failure.isEmpty()) {
        std::fprintf(stderr, "tabulon-screenshot: %s\n", Failure.toLocal8Bit().constData());
        return 1;
    }
    if (!frmMain.grab().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "tabulon-screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
