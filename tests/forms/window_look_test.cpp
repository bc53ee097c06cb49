#include "app/startup.h"
#include "forms/Unit1.h"
#include "forms/Unit2.h"
#include "forms/Unit3.h"
#include "forms/Unit4.h"
#include "tests/forms/gui_fixture.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

namespace {

// The program's four windows, as start-up makes them.
class WindowLookTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        CreateWindows();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
    }

    void TearDown() override
    {
        DestroyWindows();
        GuiTest::TearDown();
    }
};

struct Look {
    QStringList families;  // the first of them that is installed
    int pointSize;         // or 0 for a size in pixels
    int pixelSize;
    bool bold;
};

QString InstalledFamily(const QStringList& families)
{
    for (const QString& family : families)
        if (QFontDatabase::hasFamily(family))
            return family;
    return families.back();
}

TEST_F(WindowLookTest, EveryControlOfEveryWindowUsesTheLayoutsFont)
{
    const Look window{{"Liberation Sans", "DejaVu Sans"}, 8, 0, false};
    // Controls whose layout gives them a font of their own, and everything inside them.
    const std::pair<const QWidget*, Look> own[] = {
        {AboutBox1->Label14, {{"Liberation Serif", "DejaVu Serif"}, 0, 20, true}},
        {Form1->GroupBox2, {window.families, 8, 0, true}},
    };
    for (const QWidget* top : std::initializer_list<const QWidget*>{Form1, Form2, AboutBox1, Form4}) {
        QList<const QWidget*> widgets{top};
        for (const QWidget* child : top->findChildren<QWidget*>())
            widgets.append(child);
        for (const QWidget* widget : widgets) {
            Look expected = window;
            for (const auto& [owner, look] : own)
                if (owner == widget || owner->isAncestorOf(widget))
                    expected = look;
            const QFontInfo used(widget->font());
            const std::string name = top->objectName().toStdString() + "/" + widget->metaObject()->className()
                                     + " " + widget->objectName().toStdString();
            EXPECT_EQ(used.family().toStdString(), InstalledFamily(expected.families).toStdString()) << name;
            if (expected.pointSize)
                EXPECT_EQ(used.pointSize(), expected.pointSize) << name;
            else
                EXPECT_EQ(used.pixelSize(), expected.pixelSize) << name;
            EXPECT_EQ(used.bold(), expected.bold) << name;
        }
    }
}

}  // namespace
