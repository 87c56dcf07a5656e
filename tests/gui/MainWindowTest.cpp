#include "Main.h"

#include "CommandLine.h"
#include "model/Exception.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>

#include <sstream>

namespace {

const char* const SampleBook = TABULON_EXAMPLES_DIR "/sample.xls";

QApplication& App()
{
    static int Argc = 1;
    static char Name[] = "test_gui";
    static char* Argv[] = {Name, nullptr};
    // Also when run by hand, outside CTest.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication Instance(Argc, Argv);
    return Instance;
}

// The window with its error messages collected instead of shown in a box.
struct TWindow {
    TWindow()
    {
        App();
        Form = std::make_unique<TfrmMain>();
        Form->ShowError = [this](const QString& Message) { Errors << Message; };
    }
    TfrmMain& operator*() { return *Form; }
    TfrmMain* operator->() { return Form.get(); }

    std::unique_ptr<TfrmMain> Form;
    QStringList Errors;
};

QByteArray ReadAll(const QString& Path)
{
    QFile File(Path);
    EXPECT_TRUE(File.open(QIODevice::ReadOnly)) << Path.toStdString();
    return File.readAll();
}

std::string ReadFailure(const std::string& Path)
{
    TTabulon XLS;
    XLS.Filename = Path;
    try {
        XLS.Read();
    } catch (const std::exception& E) {
        return E.what();
    }
    return {};
}

TEST(MainWindow, StartsWithTheSampleAndTheControlsInTabOrder)
{
    TWindow W;
    EXPECT_EQ(W->edExcelfile->text(), QString::fromUtf8(TABULON_SAMPLE_BOOK));
    EXPECT_TRUE(W->edPasFile->text().endsWith(QStringLiteral("/ExcelFile.pas"))) << W->edPasFile->text().toStdString();
    for (QCheckBox* Box : {W->cbFormatting, W->cbColumns, W->cbRows, W->cbValues, W->cbMerged})
        EXPECT_TRUE(Box->isChecked()) << Box->text().toStdString();
    EXPECT_TRUE(W->Memo->toPlainText().isEmpty());
    EXPECT_EQ(W->size(), QSize(630, 652));
    EXPECT_EQ(W->minimumSize(), QSize(630, 215));

    const QWidget* Expected[] = {W->edExcelfile, W->Button1,   W->edPasFile, W->Button4, W->cbFormatting,
                                 W->cbColumns,   W->cbRows,    W->cbValues,  W->cbMerged, W->Button2,
                                 W->Button5,     W->Button6,   W->Button3,   W->Memo};
    const QWidget* Current = W->edExcelfile;
    for (size_t I = 1; I < std::size(Expected); ++I) {
        do
            Current = Current->nextInFocusChain();
        while (Current->focusPolicy() == Qt::NoFocus || Current->parentWidget() != Expected[0]->parentWidget());
        EXPECT_EQ(Current, Expected[I]) << "tab stop " << I;
    }
}

TEST(MainWindow, PaneFollowsTheWindowWhichNeverShrinksBelowItsMinimum)
{
    TWindow W;
    W->show();
    const QRect CreateCode = W->Button2->geometry();
    for (const QSize Wanted : {QSize(900, 800), QSize(100, 100), QSize(700, 216)}) {
        W->resize(Wanted);
        QApplication::processEvents();
        EXPECT_GE(W->width(), 630);
        EXPECT_GE(W->height(), 215);
        const QWidget* Client = W->centralWidget();
        EXPECT_EQ(W->Memo->geometry(), QRect(0, 144, Client->width(), Client->height() - 144))
            << Wanted.width() << "x" << Wanted.height();
        EXPECT_EQ(Client->geometry().bottom() + 1, W->StatusBar1->geometry().top());
        EXPECT_EQ(W->Button2->geometry(), CreateCode);
    }
}

TEST(MainWindow, CreateCodeOnAMissingFileShowsTheReadErrorAndKeepsThePane)
{
    for (const char* Path : {"/nonexistent/folder/book.xls", ""}) {
        TWindow W;
        W->Memo->setPlainText(QStringLiteral("what the pane held"));
        W->edExcelfile->setText(QString::fromUtf8(Path));
        W->Button2->click();
        ASSERT_EQ(W.Errors.size(), 1) << Path;
        EXPECT_EQ(W.Errors[0], QString::fromStdString(ReadFailure(Path)));
        EXPECT_FALSE(W.Errors[0].isEmpty());
        EXPECT_EQ(W->Memo->toPlainText(), QStringLiteral("what the pane held"));
        EXPECT_THROW(W->Button2Click(), std::exception);
    }
}

// The unit text of the command line for the sample with these arguments.
std::string CommandLineUnit(std::vector<std::string> Args)
{
    Args.insert(Args.begin(), SampleBook);
    std::ostringstream Out, Err;
    EXPECT_EQ(RunCommandLine(Args, Out, Err), 0) << Err.str();
    return Out.str();
}

TEST(MainWindow, GivesTheCommandLinesTextForTheSameWorkbookAndOptions)
{
    struct TCase {
        bool Formatting, Values, Merged, Columns, Rows;
        const char* PasFile;
        std::vector<std::string> Args;
    };
    const TCase Cases[] = {
        {true, true, true, true, true, "/home/dev/ExcelFile.pas", {}},
        {false, false, false, false, false, "/home/dev/ExcelFile.pas",
         {"--no-formatting", "--no-values", "--no-merged", "--no-columns", "--no-rows"}},
        {false, true, false, true, true, "Report.v2.pas", {"--no-formatting", "--no-merged", "--unit", "Report"}},
    };
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    for (const TCase& C : Cases) {
        TWindow W;
        W->edExcelfile->setText(QString::fromUtf8(SampleBook));
        W->edPasFile->setText(QString::fromUtf8(C.PasFile));
        W->cbFormatting->setChecked(C.Formatting);
        W->cbValues->setChecked(C.Values);
        W->cbMerged->setChecked(C.Merged);
        W->cbColumns->setChecked(C.Columns);
        W->cbRows->setChecked(C.Rows);
        W->Button2->click();
        ASSERT_TRUE(W.Errors.isEmpty()) << W.Errors.join('\n').toStdString();
        const std::string Expected = CommandLineUnit(C.Args);
        EXPECT_EQ(W->PaneText().toStdString(), Expected) << C.PasFile;

        // "Save file" writes the very bytes the command line writes.
        const QString Saved = Dir.filePath(QStringLiteral("Unit.pas"));
        W->edPasFile->setText(Saved);
        W->Button5->click();
        ASSERT_TRUE(W.Errors.isEmpty()) << W.Errors.join('\n').toStdString();
        EXPECT_EQ(ReadAll(Saved).toStdString(), Expected);
    }
}

TEST(MainWindow, SaveFileWritesThePaneLinesWithCrLf)
{
    struct TCase {
        QString Pane;
        QByteArray File;
    };
    const TCase Cases[] = {
        {QString(), QByteArray()},
        {QStringLiteral("unit A;\n\nend."), QByteArray("unit A;\r\n\r\nend.\r\n")},
        // A line break the user typed at the end starts no further line.
        {QStringLiteral("one\n"), QByteArray("one\r\n")},
        {QStringLiteral("one\n\n"), QByteArray("one\r\n\r\n")},
        // Non-breaking spaces and other letters arrive as they are, in UTF-8.
        {QString::fromUtf8("  S := 'a\u00A0b \u00E4\u00F8 \u0416';"),
         QByteArray("  S := 'a\xC2\xA0" "b \xC3\xA4\xC3\xB8 \xD0\x96';\r\n")},
    };
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString Path = Dir.filePath(QStringLiteral("ExcelFile.pas"));
    for (const TCase& C : Cases) {
        TWindow W;
        {
            QFile Old(Path);
            ASSERT_TRUE(Old.open(QIODevice::WriteOnly));
            Old.write("an older unit that is replaced without asking\r\n");
        }
        W->Memo->setPlainText(C.Pane);
        W->edPasFile->setText(Path);
        W->Button5->click();
        EXPECT_TRUE(W.Errors.isEmpty()) << W.Errors.join('\n').toStdString();
        EXPECT_EQ(ReadAll(Path), C.File) << C.Pane.toStdString();
    }
}

TEST(MainWindow, SaveFileIntoAMissingFolderShowsTheFileAndWritesNothing)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString Path = Dir.filePath(QStringLiteral("missing/ExcelFile.pas"));
    TWindow W;
    W->Memo->setPlainText(QStringLiteral("unit ExcelFile;"));
    W->edPasFile->setText(Path);
    W->Button5->click();
    ASSERT_EQ(W.Errors.size(), 1);
    EXPECT_TRUE(W.Errors[0].startsWith(QStringLiteral("Cannot create file \"") + Path + QStringLiteral("\"")))
        << W.Errors[0].toStdString();
    EXPECT_FALSE(QFile::exists(Path));
    EXPECT_EQ(W->Memo->toPlainText(), QStringLiteral("unit ExcelFile;"));
}

TEST(MainWindow, CopyToClipboardPutsThePaneLinesWithCrLf)
{
    TWindow W;
    W->Memo->setPlainText(QString::fromUtf8("unit A;\n\n  S := 'x\u00A0y';\nend."));
    W->Button6->click();
    EXPECT_TRUE(W.Errors.isEmpty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf8("unit A;\r\n\r\n  S := 'x\u00A0y';\r\nend.\r\n"));

    W->Memo->clear();
    W->Button6->click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString());
}

TEST(MainWindow, BrowseButtonsTakeTheConfirmedPathAndIgnoreCancel)
{
    QTemporaryDir Dir;
    ASSERT_TRUE(Dir.isValid());
    const QString Book = Dir.filePath(QStringLiteral("picked.xls"));
    {
        QFile File(Book);
        ASSERT_TRUE(File.open(QIODevice::WriteOnly));
    }
    const QString Unit = Dir.filePath(QStringLiteral("Picked.pas"));

    TWindow W;
    struct TCase {
        QPushButton* Button;
        QFileDialog* Dialog;
        QLineEdit* Edit;
        QString Chosen;
    };
    for (const TCase& C : {TCase{W->Button1, W->dlgOpen, W->edExcelfile, Book},
                           TCase{W->Button4, W->dlgSave, W->edPasFile, Unit}}) {
        const QString Before = C.Edit->text();
        QTimer::singleShot(0, C.Dialog, [&C] {
            EXPECT_EQ(C.Dialog->selectedFiles().value(0), C.Edit->text());
            C.Dialog->reject();
        });
        C.Button->click();
        EXPECT_EQ(C.Edit->text(), Before);

        QTimer::singleShot(0, C.Dialog, [&C] {
            // What the user types into the dialog's name box.
            auto* Name = C.Dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!Name) {
                ADD_FAILURE() << "the file dialog has no name box";
                C.Dialog->reject();
                return;
            }
            Name->setText(C.Chosen);
            static_cast<QDialog*>(C.Dialog)->accept(); // QFileDialog checks the choice
        });
        C.Button->click();
        EXPECT_EQ(C.Edit->text(), C.Chosen);
        EXPECT_TRUE(W.Errors.isEmpty()) << W.Errors.join('\n').toStdString();
    }
}

} // namespace
