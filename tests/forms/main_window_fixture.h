#pragma once

#include "forms/Unit1.h"
#include "tests/forms/gui_fixture.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
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

    // Types the small data set whose fit is a = 0.5, A = 2.147193.
    void typeSmallDataSet() const
    {
        typeIntoField(window->LabeledEdit1, "3");
        const QStringList rows[] = {{"2", "1", "1"}, {"3,5", "2", "1"}, {"8", "8", "2"}};
        for (int row = 1; row <= 3; ++row)
            for (int column = model::ObservationColumn::kY; column <= model::ObservationColumn::kL; ++column)
                typeIntoCell(window->StringGrid1, column, row, rows[row - 1][column - 1]);
    }

    static void write(const QString& file, const QByteArray& bytes)
    {
        QFile writing(file);
        ASSERT_TRUE(writing.open(QIODevice::WriteOnly));
        writing.write(bytes);
    }

    // Drags `urls` onto the window and drops them when the drag was accepted.
    bool dropOnto(const QList<QUrl>& urls) const
    {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = window->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &drop);
        return drop.isAccepted();
    }

    std::unique_ptr<TForm1> window;
};
