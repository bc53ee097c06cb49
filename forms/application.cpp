#include "forms/application.h"

#include "forms/window_helpers.h"

#include <QMessageBox>

#include <exception>

namespace {

void ShowMessageBox(QMessageBox::Icon icon, const QString& message)
{
    QMessageBox box(icon, ProgramName(), message, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

void ShowErrorBox(const QString& message)
{
    ShowMessageBox(QMessageBox::Critical, message);
}

void ShowWarningBox(const QString& message)
{
    ShowMessageBox(QMessageBox::Warning, message);
}

}  // namespace

QString ProgramName()
{
    return QStringLiteral("Производственная функция Кобба-Дугласа");
}

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv), m_reporter(ShowErrorBox), m_warningReporter(ShowWarningBox)
{
    // Set before any window is built: a style sheet on a window's client area stops a
    // font set on the window from reaching its controls, the application's font does not.
    setFont(WindowFont());
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        reportError(QString::fromUtf8(error.what()));
    }
    return true;
}

Application::ErrorReporter Application::setErrorReporter(ErrorReporter reporter)
{
    return std::exchange(m_reporter, std::move(reporter));
}

void Application::reportError(const QString& message)
{
    if (m_reporter)
        m_reporter(message);
}

Application::WarningReporter Application::setWarningReporter(WarningReporter reporter)
{
    return std::exchange(m_warningReporter, std::move(reporter));
}

void Application::reportWarning(const QString& message)
{
    if (m_warningReporter)
        m_warningReporter(message);
}

Application* Application::instance()
{
    return static_cast<Application*>(QCoreApplication::instance());
}
