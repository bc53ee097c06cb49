#pragma once

#include "forms/Unit1.h"
#include "tests/forms/gui_fixture.h"

#include <QTest>

#include <memory>

// A main window of its own, shown, for every test.
class MainWindowFixture : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        window = std::make_unique<TForm1>();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void TearDown() override
    {
        window.reset();
        GuiTest::TearDown();
    }

    std::unique_ptr<TForm1> window;
};
