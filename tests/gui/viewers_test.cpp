// The enlarged text box, the viewer window and the randomness plots, driven through their controls.
#include "gui/WindowFixture.h"
#include "gui/frmLargeTextbox.h"
#include "gui/frmRandomnessGraphic.h"
#include "gui/frmView.h"
#include "support/ProgramTexts.h"
#include "texts/Language.h"
#include "texts/Mnemonics.h"
#include "texts/WindowTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

template <typename T> T* Child(QWidget& window, const char* name)
{
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

// Captions are the shipped program texts; both copy captions must exist and differ for the tests to mean anything.
class ShippedTexts : public ShippedTextsFixture {
  protected:
    void SetUp() override
    {
        ShippedTextsFixture::SetUp();
        for (int language : {Language::English, Language::German}) {
            ASSERT_FALSE(Text(LargeTextboxTexts::CopyAll, language).isEmpty());
            ASSERT_NE(Text(LargeTextboxTexts::CopyAll, language), Text(LargeTextboxTexts::CopySelection, language));
        }
    }
};

void Select(QPlainTextEdit* box, int from, int to)
{
    QTextCursor cursor = box->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
}

// ---------------------------------------------------------------- enlarged text box

class LargeTextboxTest : public ShippedTexts {
  protected:
    void open(const QString& text, bool readOnly = false, int language = Language::English)
    {
        window.Form_Activate(text, readOnly, language);
        txbText = Child<QPlainTextEdit>(window, "txbText");
        copy = Child<QPushButton>(window, "cmdCopyToClipboard");
    }

    // Runs the window modally as the main window does; `act` runs once it is up.
    int runModal(const std::function<void()>& act)
    {
        QTimer::singleShot(0, &window, act);
        return window.exec();
    }

    frmLargeTextbox window;
    QPlainTextEdit* txbText = nullptr;
    QPushButton* copy = nullptr;
};

TEST_F(LargeTextboxTest, CopiesTheSelectionOrEverythingThenDropsTheSelection)
{
    struct Case {
        const char* label;
        int from, to; // no selection when equal
        QString clipboard;
    };
    const Case cases[] = {
        {"no selection copies all", 3, 3, "Dear Ann,\nthe key is on its way.\nBob"},
        {"selection across a line break", 5, 20, "Ann,\nthe key is"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        open("Dear Ann,\nthe key is on its way.\nBob");
        QApplication::clipboard()->setText("something older");
        Select(txbText, c.from, c.to);
        QTest::mouseClick(copy, Qt::LeftButton);

        EXPECT_EQ(QApplication::clipboard()->text(), c.clipboard);
        EXPECT_FALSE(txbText->textCursor().hasSelection());
        EXPECT_EQ(Mnemonics::Plain(copy->text()), Text(LargeTextboxTexts::CopyAll, Language::English));
        EXPECT_EQ(window.focusWidget(), Child<QPushButton>(window, "cmdSave"));
        EXPECT_EQ(window.text(), "Dear Ann,\nthe key is on its way.\nBob");
    }
}

TEST_F(LargeTextboxTest, CopyButtonCaptionAndWidthFollowTheSelection)
{
    struct Case {
        int language;
        int plainWidth, selectionWidth; // pixels
    };
    for (const Case& c : {Case{Language::English, 166, 250}, Case{Language::German, 233, 333}}) {
        open("some message text", false, c.language);
        EXPECT_EQ(Mnemonics::Plain(copy->text()), Text(LargeTextboxTexts::CopyAll, c.language));
        EXPECT_EQ(copy->width(), c.plainWidth);
        ExpectOwnAccessKeys(&window);
        ExpectEveryFocusableControlNamed(&window);

        Select(txbText, 0, 4);
        EXPECT_EQ(Mnemonics::Plain(copy->text()), Text(LargeTextboxTexts::CopySelection, c.language));
        EXPECT_EQ(copy->width(), c.selectionWidth);
        ExpectOwnAccessKeys(&window);

        Select(txbText, 2, 2);
        EXPECT_EQ(Mnemonics::Plain(copy->text()), Text(LargeTextboxTexts::CopyAll, c.language));
        EXPECT_EQ(copy->width(), c.plainWidth);
    }
}

TEST_F(LargeTextboxTest, SelectingWithTheMouseSwitchesTheCaption)
{
    open("drag across these words");
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QWidget* area = txbText->viewport();
    const QRect start = txbText->cursorRect(txbText->textCursor());
    QTest::mousePress(area, Qt::LeftButton, {}, start.center());
    QMouseEvent drag(QEvent::MouseMove, QPointF(start.center() + QPoint(80, 0)),
                     area->mapToGlobal(QPointF(start.center() + QPoint(80, 0))), Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(area, &drag);
    QTest::mouseRelease(area, Qt::LeftButton, {}, start.center() + QPoint(80, 0));
    EXPECT_TRUE(txbText->textCursor().hasSelection());
    EXPECT_EQ(Mnemonics::Plain(copy->text()), Text(LargeTextboxTexts::CopySelection, Language::English));
}

TEST_F(LargeTextboxTest, SaveHandsBackTheEditedText)
{
    open("draft");
    const int result = runModal([this] {
        txbText->moveCursor(QTextCursor::End);
        QTest::keyClicks(txbText, " two");
        QTest::mouseClick(Child<QPushButton>(window, "cmdSave"), Qt::LeftButton);
    });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(window.text(), "draft two");
}

TEST_F(LargeTextboxTest, CancelAndTheFrameLeaveTheMainTextAlone)
{
    const std::pair<const char*, std::function<void(frmLargeTextbox&)>> exits[] = {
        {"Cancel", [](frmLargeTextbox& w) { QTest::mouseClick(Child<QPushButton>(w, "cmdCancel"), Qt::LeftButton); }},
        {"frame", [](frmLargeTextbox& w) { w.close(); }},
    };
    for (const auto& [label, leave] : exits) {
        SCOPED_TRACE(label);
        QPlainTextEdit mainText("the message");
        open(mainText.toPlainText());
        const int result = runModal([&] {
            QTest::keyClicks(txbText, "changed ");
            leave(window);
        });
        if (result == QDialog::Accepted) // what the main window does with the answer
            mainText.setPlainText(window.text());
        EXPECT_EQ(result, QDialog::Rejected);
        EXPECT_EQ(mainText.toPlainText(), "the message");
    }
}

TEST_F(LargeTextboxTest, ReadOnlyCopyRefusesTyping)
{
    open("decrypted message", true);
    QTest::keyClicks(txbText, "xyz");
    EXPECT_TRUE(txbText->isReadOnly());
    EXPECT_EQ(window.text(), "decrypted message");
}

TEST_F(LargeTextboxTest, OpensOverTheMainWindowWithItsTextBoxUnderTheMainOne)
{
    QWidget mainWindow;
    mainWindow.setGeometry(100, 120, 900, 700);
    QPlainTextEdit mainText(&mainWindow);
    mainText.setGeometry(30, 200, 800, 300);

    window.Form_Activate("text", false, Language::English, &mainWindow, &mainText);
    txbText = Child<QPlainTextEdit>(window, "txbText");
    // 93 pixels below the main window's top, 106 pixels lower than it.
    EXPECT_EQ(window.geometry(), QRect(100, 120 + 93, 900, 700 - 106));
    EXPECT_EQ(txbText->x(), 30);
    EXPECT_EQ(txbText->width(), 800);
    EXPECT_LT(txbText->geometry().bottom(), Child<QPushButton>(window, "cmdSave")->y());
}

// ---------------------------------------------------------------- viewer

class ViewerTest : public ShippedTexts {
  protected:
    QString showFile(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("shown%1.txt").arg(++files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        return showPath(path);
    }

    QString showPath(const QString& path)
    {
        viewer.hide();
        viewer.setPath(path);
        viewer.show();
        return Child<QPlainTextEdit>(viewer, "txbText1")->toPlainText();
    }

    QTemporaryDir dir;
    frmView viewer;
    int files = 0;
};

TEST_F(ViewerTest, ShowsAFileBelowTheLimitWhole)
{
    const QByteArray text(65529, 'w');
    EXPECT_EQ(showFile(text), QString::fromLatin1(text));
    EXPECT_TRUE(Child<QPlainTextEdit>(viewer, "txbText1")->isReadOnly());
    ExpectEveryFocusableControlNamed(&viewer);
    EXPECT_EQ(Mnemonics::Plain(Child<QPushButton>(viewer, "cmdClose")->text()),
              Text(ViewerTexts::Close, Language::English));
}

TEST_F(ViewerTest, FramesAFileAtTheLimitWithBothNotes)
{
    const QString shown = showFile(QByteArray(65530, 'w'));
    EXPECT_TRUE(shown.startsWith("NOTE: This file is too large to display entirely in this textbox.\n"
                                 "To view the entire contents of the file, open it in a text editor.\n"
                                 "\nwww"));
    EXPECT_TRUE(shown.endsWith("www\n\nNOTE: Entire contents of file have not been displayed.\n"));
}

TEST_F(ViewerTest, ShowsUtf8LettersAndEachShowingReadsTheFileAgain)
{
    EXPECT_EQ(showFile("Gr\xC3\xBC\xC3\x9F"
                       "e\r\nzweite Zeile\r\n"),
              QString::fromUtf8("Grüße\nzweite Zeile\n"));
    EXPECT_EQ(showFile("other file"), "other file");
}

TEST_F(ViewerTest, AFileThatCannotBeReadLeavesTheBoxEmpty)
{
    showFile("earlier content");
    EXPECT_EQ(showPath(dir.filePath("absent.txt")), QString());
    EXPECT_EQ(showPath(QString()), QString());
}

TEST_F(ViewerTest, KeepsItsMinimumSize)
{
    viewer.show();
    viewer.resize(50, 40);
    EXPECT_GE(viewer.width(), 266);
    EXPECT_GE(viewer.height(), 200);
}

// ---------------------------------------------------------------- randomness plots

int WhitePoints(const QImage& image)
{
    int white = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            EXPECT_TRUE(pixel == qRgb(0, 0, 0) || pixel == qRgb(255, 255, 255)) << x << "," << y;
            white += pixel == qRgb(255, 255, 255);
        }
    return white;
}

QByteArray EveryBytePair()
{
    QByteArray bytes;
    for (int x = 0; x < 256; ++x)
        for (int y = 0; y < 256; ++y)
            bytes.append(char(x)).append(char(y));
    return bytes;
}

TEST(RandomnessPlot, LightsOnePointPerDistinctBytePair)
{
    struct Case {
        const char* label;
        QByteArray buffer;
        int whitePoints;
    };
    const Case cases[] = {
        {"empty buffer", {}, 0},
        {"single byte", "A", 0},
        {"odd length ignores the last byte", QByteArray("\x01\x02\x03", 3), 1},
        {"one repeated byte", QByteArray(5000, '\xC8'), 1},
        {"every byte pair", EveryBytePair(), 256 * 256},
    };
    frmRandomnessGraphic window;
    window.Form_load();
    for (int plot : {0, 1})
        for (const Case& c : cases) {
            SCOPED_TRACE(c.label);
            window.PlotRandomness(plot, c.buffer);
            EXPECT_EQ(window.plot(plot).size(), QSize(256, 256));
            EXPECT_EQ(WhitePoints(window.plot(plot)), c.whitePoints);
        }
}

TEST(RandomnessPlot, PointsSitAtFirstByteAcrossSecondByteDown)
{
    frmRandomnessGraphic window;
    window.PlotRandomness(1, QByteArray("\x05\xFA\x05\xFA\x07", 5));
    EXPECT_EQ(WhitePoints(window.plot(1)), 1);
    EXPECT_EQ(window.plot(1).pixel(5, 250), qRgb(255, 255, 255));
    EXPECT_EQ(WhitePoints(window.plot(0)), 0); // the other plot is untouched
}

TEST(RandomnessPlot, ClearingAndReplottingStartFromBlack)
{
    frmRandomnessGraphic window;
    window.PlotRandomness(0, EveryBytePair());
    window.PlotRandomness(0, "AB");
    EXPECT_EQ(WhitePoints(window.plot(0)), 1);
    window.ClearPic(0);
    EXPECT_EQ(WhitePoints(window.plot(0)), 0);
}

TEST(RandomnessReport, ClosingByTheFrameKeepsTheLatestReport)
{
    frmRandomnessGraphic window;
    window.PlotRandomness(1, EveryBytePair());
    window.showStatistics(1, "Ciphertext", "Size: 128.00 KB", "Randomness: 0.998");
    window.show();
    window.close();
    EXPECT_FALSE(window.isVisible());
    window.show();
    EXPECT_EQ(WhitePoints(window.plot(1)), 256 * 256);
    EXPECT_EQ(Child<QLabel>(window, "lblSize1")->text(), "Size: 128.00 KB");
    EXPECT_EQ(Child<QLabel>(window, "lblRandomness1")->text(), "Randomness: 0.998");
    EXPECT_EQ(Child<QLabel>(window, "Label11")->text(), "Ciphertext");
}

} // namespace
