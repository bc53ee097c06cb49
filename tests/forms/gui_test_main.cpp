#include "forms/application.h"

#include <gtest/gtest.h>

#include <QLocale>

int main(int argc, char** argv)
{
    // Windows are real widgets, drawn offscreen; the locale is pinned so that
    // number texts read the same on every machine.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    Application application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    return RUN_ALL_TESTS();
}
