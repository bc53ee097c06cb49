#include "app/startup.h"
#include "forms/application.h"
#include "forms/translations.h"

#include <QIcon>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt's own message for a missing display names a plugin, not the remedy.
bool HasDisplay()
{
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value && *value)
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (!HasDisplay()) {
        std::fputs(
            "cobb-douglas: нет графического дисплея (переменные DISPLAY и WAYLAND_DISPLAY не заданы).\n"
            "cobb-douglas: no graphical display (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "Start it inside a desktop session, or under a virtual display: xvfb-run -a cobb-douglas\n",
            stderr);
        return 1;
    }
    Q_INIT_RESOURCE(resources);
    // cppcheck-suppress unreadVariable ; the application object lives for the whole run
    Application application(argc, argv);
    Application::setApplicationName(QStringLiteral("cobb-douglas"));
    Application::setOrganizationName(QStringLiteral("cobb-douglas"));
    // No display name: the platform would append it to every window title.
    // The desktop entry gives the taskbar its icon and name.
    Application::setDesktopFileName(QStringLiteral("cobb-douglas"));
    Application::setWindowIcon(QIcon(QStringLiteral(":/icons/cobb-douglas.svg")));
    // Numbers follow the user's regional settings; every text is Russian.
    QLocale::setDefault(QLocale::system());
    InstallRussianTranslations();

    CreateWindows();
    OpenStartFile(Application::arguments());
    const int status = Application::exec();
    DestroyWindows();
    return status;
}
