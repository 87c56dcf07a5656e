#pragma once
// TfrmMain: the tool's one window. The user names a workbook and a unit file,
// ticks the sections the unit is to contain and presses "Create code"; the
// component XLS reads the workbook and the generator writes the unit into the
// pane, which "Save file" and "Copy to Clipboard" take as it stands.

#include "codegen/UnitGenerator.h"
#include "model/Tabulon.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>

class QCheckBox;
class QFileDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmMain(QWidget* Parent = nullptr);
    ~TfrmMain() override;

    // The controls, owned by the window through Qt's parent chain.
    QLabel* Label1;
    QLineEdit* edExcelfile;
    QPushButton* Button1;
    QLabel* Label2;
    QLineEdit* edPasFile;
    QPushButton* Button4;
    QLabel* Label3;
    QCheckBox* cbFormatting;
    QCheckBox* cbColumns;
    QCheckBox* cbRows;
    QCheckBox* cbValues;
    QCheckBox* cbMerged;
    QPushButton* Button2;
    QPushButton* Button5;
    QPushButton* Button6;
    QPushButton* Button3;
    QPlainTextEdit* Memo;
    QStatusBar* StatusBar1;
    QFileDialog* dlgOpen;
    QFileDialog* dlgSave;

    TTabulon XLS;

    // Shows the message of a failed command. A message box by default; tests
    // put their own here to read the message without a modal dialog.
    std::function<void(const QString& Message)> ShowError;

    // The options the check boxes and the unit path stand for.
    TUnitOptions UnitOptions() const;
    // Replaces the pane's text with the unit for what XLS holds.
    void GenerateUnit();
    // The pane's lines as "Save file" and "Copy to Clipboard" take them.
    QStringList PaneLines() const;
    // Those lines, each followed by CR LF.
    QString PaneText() const;

public slots:
    // The handlers raise on failure; every button reaches them through
    // RunCommand, which shows the message and lets the program go on.
    void Button1Click(); // "..." beside the workbook path
    void Button4Click(); // "..." beside the unit path
    void Button2Click(); // "Create code"
    void Button5Click(); // "Save file"
    void Button6Click(); // "Copy to Clipboard"
    void Button3Click(); // "Exit"

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    // The window's one error handler: runs a command and shows the message
    // of any failure that escapes it.
    void RunCommand(void (TfrmMain::*Handler)());
    void ConnectCommand(QPushButton* Button, void (TfrmMain::*Handler)());
    void ShowProgress(int Percent);

    QWidget* FClient;
    QProgressBar* FProgress;
};
