#include "Main.h"

#include "codegen/LineSink.h"
#include "model/Exception.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QStatusBar>
#include <QTextDocument>

#include <algorithm>
#include <new>

namespace {

constexpr int PaneTop = 144;

// Collects the generated lines and hands them to the pane in one piece when
// it goes out of scope, also when generation stops with an error, so that the
// pane then shows the lines written so far. The pane's repainting stays
// suspended meanwhile.
class TMemoSink : public TLineSink {
public:
    explicit TMemoSink(QPlainTextEdit& Memo) : FMemo(Memo)
    {
        FMemo.setUpdatesEnabled(false);
        FMemo.clear();
    }
    ~TMemoSink() override
    {
        try {
            FMemo.setPlainText(FLines.join(QLatin1Char('\n')));
        } catch (...) {
            // The pane stays empty rather than ending the program.
        }
        FMemo.setUpdatesEnabled(true);
    }
    TMemoSink(const TMemoSink&) = delete;
    TMemoSink& operator=(const TMemoSink&) = delete;

    void AddLine(std::string_view Line) override
    {
        FLines.append(QString::fromUtf8(Line.data(), static_cast<qsizetype>(Line.size())));
    }

private:
    QPlainTextEdit& FMemo;
    QStringList FLines;
};

// Messages of the reader break lines with a bare CR; a message box wants LF.
QString MessageForDisplay(const char* What)
{
    QString Message = QString::fromUtf8(What);
    Message.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    Message.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return Message;
}

QPushButton* MakeButton(QWidget* Parent, const char* Caption, int Left, int Top, int Width, int Height)
{
    auto* Button = new QPushButton(QString::fromUtf8(Caption), Parent);
    Button->setGeometry(Left, Top, Width, Height);
    return Button;
}

// The window's layout was drawn for a narrow 8-point face; where the system's
// face is wider, a caption gets the room it needs instead of being clipped.
QCheckBox* MakeCheckBox(QWidget* Parent, const char* Caption, int Left, int Top)
{
    auto* Box = new QCheckBox(QString::fromUtf8(Caption), Parent);
    Box->setGeometry(Left, Top, std::max(97, Box->sizeHint().width()), 17);
    Box->setChecked(true);
    return Box;
}

QLabel* MakeLabel(QWidget* Parent, const char* Caption, int Left, int Top)
{
    auto* Label = new QLabel(QString::fromUtf8(Caption), Parent);
    Label->move(Left, Top);
    Label->adjustSize();
    return Label;
}

} // namespace

TfrmMain::TfrmMain(QWidget* Parent) : QMainWindow(Parent)
{
    setWindowTitle(QStringLiteral("Tabulon: Excel workbook to Pascal unit"));
    QFont Face(QStringLiteral("Tahoma"));
    Face.setStyleHint(QFont::SansSerif);
    Face.setPointSize(8);
    setFont(Face);

    // The controls sit at fixed places on a plain client area; only the pane
    // follows the window's size (see eventFilter).
    FClient = new QWidget(this);
    setCentralWidget(FClient);
    FClient->installEventFilter(this);

    Label1 = MakeLabel(FClient, "Excel file", 8, 12);
    edExcelfile = new QLineEdit(QString::fromUtf8(TABULON_SAMPLE_BOOK), FClient);
    edExcelfile->setGeometry(72, 8, 317, 21);
    Button1 = MakeButton(FClient, "...", 392, 8, 21, 21);

    Label2 = MakeLabel(FClient, "PAS file", 8, 44);
    edPasFile = new QLineEdit(QDir::toNativeSeparators(QDir::homePath() + QStringLiteral("/ExcelFile.pas")), FClient);
    edPasFile->setGeometry(72, 36, 317, 21);
    Button4 = MakeButton(FClient, "...", 392, 36, 21, 21);

    Label3 = new QLabel(QStringLiteral("  Include:"), FClient);
    Label3->setGeometry(8, 64, 225, 13);
    Label3->setAutoFillBackground(true);
    QPalette Heading = Label3->palette();
    Heading.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    Heading.setColor(QPalette::WindowText, Qt::white);
    Label3->setPalette(Heading);

    cbFormatting = MakeCheckBox(FClient, "Cell formatting", 8, 80);
    cbColumns = MakeCheckBox(FClient, "Column widths", 8, 100);
    cbRows = MakeCheckBox(FClient, "Row heights", 8, 120);
    cbValues = MakeCheckBox(FClient, "Cell values", 124, 80);
    cbMerged = MakeCheckBox(FClient, "Merged cells", 124, 100);

    Button2 = MakeButton(FClient, "Create code", 500, 8, 115, 25);
    Button5 = MakeButton(FClient, "Save file", 500, 36, 115, 25);
    Button6 = MakeButton(FClient, "Copy to Clipboard", 500, 64, 115, 25);
    Button3 = MakeButton(FClient, "Exit", 500, 112, 115, 25);

    Memo = new QPlainTextEdit(FClient);
    Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Tab moves on to the next control, as in the other edit boxes.
    Memo->setTabChangesFocus(true);

    StatusBar1 = new QStatusBar(this);
    setStatusBar(StatusBar1);
    FProgress = new QProgressBar(StatusBar1);
    FProgress->setRange(0, 100);
    FProgress->setMaximumWidth(200);
    FProgress->setMaximumHeight(14);
    FProgress->setVisible(false);
    StatusBar1->addPermanentWidget(FProgress);

    QWidget* const TabOrder[] = {edExcelfile, Button1, edPasFile, Button4, cbFormatting, cbColumns, cbRows,
                                 cbValues, cbMerged, Button2, Button5, Button6, Button3, Memo};
    for (size_t I = 1; I < std::size(TabOrder); ++I)
        setTabOrder(TabOrder[I - 1], TabOrder[I]);
    edExcelfile->setFocus();

    dlgOpen = new QFileDialog(this);
    dlgOpen->setAcceptMode(QFileDialog::AcceptOpen);
    dlgOpen->setFileMode(QFileDialog::ExistingFile);
    dlgOpen->setNameFilters({QStringLiteral("Excel files (*.xls)"), QStringLiteral("All files (*)")});

    dlgSave = new QFileDialog(this);
    dlgSave->setAcceptMode(QFileDialog::AcceptSave);
    dlgSave->setFileMode(QFileDialog::AnyFile);
    dlgSave->setOption(QFileDialog::DontConfirmOverwrite, false);
    dlgSave->setSizeGripEnabled(true);
    dlgSave->setNameFilters({QStringLiteral("Pascal files (*.pas)"), QStringLiteral("All files (*)")});

    ConnectCommand(Button1, &TfrmMain::Button1Click);
    ConnectCommand(Button4, &TfrmMain::Button4Click);
    ConnectCommand(Button2, &TfrmMain::Button2Click);
    ConnectCommand(Button5, &TfrmMain::Button5Click);
    ConnectCommand(Button6, &TfrmMain::Button6Click);
    ConnectCommand(Button3, &TfrmMain::Button3Click);

    ShowError = [this](const QString& Message) { QMessageBox::critical(this, windowTitle(), Message); };

    XLS.LoadDesignTimeValues();
    XLS.OnProgress = [this](int Percent) { ShowProgress(Percent); };

    setMinimumSize(630, 215);
    resize(630, 652);
    if (const QScreen* Screen = screen())
        move(Screen->availableGeometry().center() - rect().center());
}

TfrmMain::~TfrmMain()
{
    XLS.OnProgress = nullptr;
}

bool TfrmMain::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == FClient && Event->type() == QEvent::Resize)
        Memo->setGeometry(0, PaneTop, FClient->width(), std::max(0, FClient->height() - PaneTop));
    return QMainWindow::eventFilter(Watched, Event);
}

void TfrmMain::ConnectCommand(QPushButton* Button, void (TfrmMain::*Handler)())
{
    connect(Button, &QPushButton::clicked, this, [this, Handler] { RunCommand(Handler); });
}

void TfrmMain::RunCommand(void (TfrmMain::*Handler)())
{
    QString Message;
    try {
        (this->*Handler)();
        return;
    } catch (const std::bad_alloc&) {
        Message = QStringLiteral("Out of memory");
    } catch (const std::exception& E) {
        Message = MessageForDisplay(E.what());
    }
    if (ShowError)
        ShowError(Message);
}

void TfrmMain::ShowProgress(int Percent)
{
    FProgress->setValue(std::clamp(Percent, 0, 100));
    // Keeps the window painted during a long read. User input stays queued:
    // a click on "Create code" now would clear the model under the reader.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

TUnitOptions TfrmMain::UnitOptions() const
{
    TUnitOptions Options;
    Options.Formatting = cbFormatting->isChecked();
    Options.Values = cbValues->isChecked();
    Options.Merged = cbMerged->isChecked();
    Options.Columns = cbColumns->isChecked();
    Options.Rows = cbRows->isChecked();
    Options.PasFile = edPasFile->text().toStdString();
    return Options;
}

void TfrmMain::GenerateUnit()
{
    TMemoSink Sink(*Memo);
    ::GenerateUnit(XLS, UnitOptions(), Sink);
}

QStringList TfrmMain::PaneLines() const
{
    // The raw text keeps non-breaking spaces, which toPlainText() would turn
    // into plain blanks inside the unit's string literals.
    QStringList Lines = Memo->document()->toRawText().split(QChar::ParagraphSeparator);
    // A line break at the very end does not start another line.
    if (!Lines.isEmpty() && Lines.last().isEmpty())
        Lines.removeLast();
    return Lines;
}

QString TfrmMain::PaneText() const
{
    QString Text;
    for (const QString& Line : PaneLines()) {
        Text += Line;
        Text += QLatin1String("\r\n");
    }
    return Text;
}

void TfrmMain::Button1Click()
{
    dlgOpen->selectFile(edExcelfile->text());
    if (dlgOpen->exec() == QDialog::Accepted && !dlgOpen->selectedFiles().isEmpty())
        edExcelfile->setText(QDir::toNativeSeparators(dlgOpen->selectedFiles().first()));
}

void TfrmMain::Button4Click()
{
    dlgSave->selectFile(edPasFile->text());
    if (dlgSave->exec() == QDialog::Accepted && !dlgSave->selectedFiles().isEmpty())
        edPasFile->setText(QDir::toNativeSeparators(dlgSave->selectedFiles().first()));
}

void TfrmMain::Button2Click()
{
    XLS.Clear();
    XLS.ClearSheets();
    XLS.Filename = QFile::encodeName(edExcelfile->text()).toStdString();
    {
        struct TProgressShown {
            QProgressBar* Bar;
            explicit TProgressShown(QProgressBar* B) : Bar(B)
            {
                Bar->setValue(0);
                Bar->setVisible(true);
            }
            ~TProgressShown() { Bar->setVisible(false); }
        } Shown(FProgress);
        XLS.Read();
    }
    GenerateUnit();
}

void TfrmMain::Button5Click()
{
    const QString Path = edPasFile->text();
    QSaveFile File(Path);
    // Replaces a writable file in a folder where no temporary file can be made.
    File.setDirectWriteFallback(true);
    if (!File.open(QIODevice::WriteOnly))
        throw Exception("Cannot create file \"" + Path.toStdString() + "\": " + File.errorString().toStdString());
    const QByteArray Bytes = PaneText().toUtf8();
    if (File.write(Bytes) != Bytes.size() || !File.commit())
        throw Exception("Cannot write file \"" + Path.toStdString() + "\": " + File.errorString().toStdString());
}

void TfrmMain::Button6Click()
{
    QGuiApplication::clipboard()->setText(PaneText());
}

void TfrmMain::Button3Click()
{
    close();
}
