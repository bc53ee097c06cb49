#include "forms/application.h"

#include <gtest/gtest.h>

#include <QLocale>

int main(int argc, char** argv)
{
    // Windows are real widgets, drawn offscreen on a desktop-sized screen (the
    // offscreen default, 800 × 800, is smaller than the main window); the
    // locale is pinned so that number texts read the same on every machine.
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" COBB_OFFSCREEN_SCREEN);
    ::testing::InitGoogleTest(&argc, argv);
    Application application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    return RUN_ALL_TESTS();
}
