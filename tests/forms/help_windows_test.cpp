#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/data_files.h"
#include "tests/forms/gui_fixture.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <cerrno>
#include <cstring>
#include <functional>
#include <memory>

namespace {

const QString kDocumentName = QStringLiteral("о программе.rtf");

// Runs in an empty working folder, with the data folder holding the copy the
// build put beside the program.
class InstructionWindowTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        m_previousFolder = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(folder.path()));
        m_previousDataFolders = data_files::SetFolders({QStringLiteral(COBB_PROGRAM_DIR)});
        window = std::make_unique<TForm2>();
    }

    void TearDown() override
    {
        window.reset();
        data_files::SetFolders(m_previousDataFolders);
        QDir::setCurrent(m_previousFolder);
        GuiTest::TearDown();
    }

    void show()
    {
        deliver([this] { window->show(); });
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void writeWorkingDocument(const QByteArray& bytes)
    {
        QFile file(QDir(folder.path()).filePath(kDocumentName));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QString text() const { return window->RichEdit1->toPlainText(); }

    std::unique_ptr<TForm2> window;

private:
    QString m_previousFolder;
    QStringList m_previousDataFolders;
};

TEST_F(InstructionWindowTest, ShowsTheShippedDocumentReadOnlyButNotGreyed)
{
    show();
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
    EXPECT_TRUE(text().startsWith(QStringLiteral("Оценка производственной функции Кобба — Дугласа\n")));
    EXPECT_TRUE(text().contains(QStringLiteral("Что вычисляет программа")));

    const QTextCharFormat heading = window->RichEdit1->document()->begin().begin().fragment().charFormat();
    EXPECT_EQ(heading.fontWeight(), QFont::Bold);
    EXPECT_EQ(heading.foreground().color(), QColor(31, 56, 100));
    EXPECT_EQ(window->RichEdit1->document()->begin().blockFormat().alignment(), Qt::AlignHCenter);

    EXPECT_TRUE(window->RichEdit1->isEnabled());
    EXPECT_TRUE(window->RichEdit1->isReadOnly());
    EXPECT_EQ(window->RichEdit1->textInteractionFlags(), Qt::NoTextInteraction);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Инструкция"));
    EXPECT_EQ(window->frameGeometry().size(), QSize(597, 449));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(InstructionWindowTest, WorkingFolderComesFirstAndIsReadOnEveryShow)
{
    writeWorkingDocument("{\\rtf1\\ansi First {\\b bold}\\line next\\tab end\\par}");
    show();
    EXPECT_EQ(text(), "First bold\nnext\tend");
    EXPECT_EQ(window->RichEdit1->document()->blockCount(), 1);

    window->hide();
    writeWorkingDocument("{\\rtf1\\ansi\\ansicpg1251 \\'c2\\'f2\\'ee\\'f0\\'ee\\'e9\\par}");
    show();
    EXPECT_EQ(text(), QStringLiteral("Второй"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();
}

TEST_F(InstructionWindowTest, UnreadableDocumentIsReportedAndTheOldTextStays)
{
    const QDir data(folder.filePath("data"));
    ASSERT_TRUE(data.mkpath("."));
    const QString working = QDir(folder.path()).filePath(kDocumentName);
    // What the system says when a folder is opened as a file.
    QFile folderAsFile(folder.path());
    ASSERT_FALSE(folderAsFile.open(QIODevice::ReadOnly));

    struct Case {
        const char* what;
        std::function<void()> prepare;
        QString message;
    };
    const Case cases[] = {
        {"missing in both places", [] {},
         "«о программе.rtf»: " + QString::fromLocal8Bit(std::strerror(ENOENT))},
        // A document that is there but cannot be read tells why, not that nothing was found.
        {"a folder by that name in the data folder", [&] { data.mkdir(kDocumentName); },
         "«о программе.rtf»: " + folderAsFile.errorString()},
        {"not rich text", [&] { writeWorkingDocument("plain words"); }, "\nФайл «о программе.rtf»."},
    };
    writeWorkingDocument("{\\rtf1 Old text\\par}");
    show();
    ASSERT_EQ(text(), "Old text");
    data_files::SetFolders({data.path()});

    for (const Case& test : cases) {
        window->hide();
        QFile::remove(working);
        data.rmdir(kDocumentName);
        test.prepare();
        errors.clear();
        show();
        ASSERT_EQ(errors.size(), 1) << test.what;
        EXPECT_TRUE(errors.front().contains(test.message))
            << test.what << ": " << errors.front().toStdString();
        EXPECT_EQ(text(), "Old text") << test.what;
    }
}

TEST_F(InstructionWindowTest, OkButtonIsCentredWithHalvesRoundedToEven)
{
    show();
    struct Case {
        int width;
        int left;
    };
    // The button is 75 wide: an even panel width leaves half a pixel.
    const Case cases[] = {{597, 261}, {596, 260}, {598, 262}, {600, 262}, {301, 113}};
    for (const Case& test : cases) {
        window->resize(test.width, 449);
        QTRY_COMPARE(window->Panel1->width(), test.width);
        EXPECT_EQ(window->BitBtn1->geometry(), QRect(test.left, 8, 75, 25)) << test.width;
    }
    EXPECT_EQ(window->Panel1->height(), 41);
    EXPECT_EQ(window->Panel1->geometry().bottom(), window->height() - 1);
    EXPECT_FALSE(window->BitBtn1->icon().isNull());

    window->BitBtn1->click();
    EXPECT_FALSE(window->isVisible());
}

using AboutBoxTest = GuiTest;

TEST_F(AboutBoxTest, NamesThePurposeAndClosesWithOk)
{
    TAboutBox1 box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_EQ(box.windowTitle(), QStringLiteral("О программе"));
    EXPECT_EQ(box.size(), QSize(297, 137));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    EXPECT_EQ(box.Panel1->geometry(), QRect(8, 8, 281, 89));
    EXPECT_EQ(box.Label14->geometry(), QRect(5, 8, 263, 69));
    EXPECT_EQ(box.Label14->text(),
              QStringLiteral("Программа для составления произвоственной функции Кобба-Дугласа"));
    EXPECT_TRUE(box.Label14->wordWrap());
    EXPECT_TRUE(box.Label14->alignment() & Qt::AlignHCenter);
    EXPECT_TRUE(box.Label14->font().bold());
    EXPECT_EQ(box.Label14->font().pixelSize(), 20);
    EXPECT_EQ(box.Label14->font().families().front(), "Times New Roman");
    // All three lines of the text fit in the label.
    EXPECT_LE(box.Label14->heightForWidth(263), 69);
    EXPECT_EQ(box.OKButton->geometry(), QRect(107, 104, 75, 25));
    EXPECT_TRUE(box.OKButton->isDefault());

    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

}  // namespace
