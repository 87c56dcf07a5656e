#pragma once
// The main window of the tool.

#include <QMainWindow>

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* Parent = nullptr);
};
