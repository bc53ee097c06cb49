// Linked with the program's own main (app/main.cpp) into startup_probe: the
// program starts exactly as it does for a user, and this file ends the
// process as soon as the main window has been painted once. The process's
// run time is then the time to the main window shown, and its peak memory
// is the memory the shown window needed (bench/figures.sh measures both).

#include "forms/Unit1.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>

namespace {

class FirstPaint : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType() && Form1 != nullptr
            && static_cast<QWidget*>(watched)->window() == Form1) {
            m_seen = true;
            // Ends after this paint and those of the other widgets of the same update.
            QTimer::singleShot(0, [] {
                std::fflush(nullptr);
                std::_Exit(0);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

// Runs inside the application object's constructor, before main goes on.
void InstallProbe()
{
    QCoreApplication::instance()->installEventFilter(new FirstPaint(QCoreApplication::instance()));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallProbe)
