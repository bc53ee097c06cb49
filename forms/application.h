#pragma once

#include <QApplication>

#include <exception>
#include <functional>

// The program's name, for message boxes and the documents it writes.
QString ProgramName();

// The application object. An exception thrown by any event handler ends that
// handler only: it is caught here, where every event is delivered, and its
// message is shown; the program then goes on with whatever the handler had
// already changed.
class Application : public QApplication {
    Q_OBJECT
public:
    using ErrorReporter = std::function<void(const QString& message)>;
    using WarningReporter = std::function<void(const QString& message)>;

    // Gives every widget the windows' font.
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Replaces the message box, for tests. Returns the previous reporter.
    ErrorReporter setErrorReporter(ErrorReporter reporter);
    void reportError(const QString& message);
    // A warning box, for what went through but not wholly as the user may
    // think; replaceable for tests as the error box is.
    WarningReporter setWarningReporter(WarningReporter reporter);
    void reportWarning(const QString& message);

    static Application* instance();

private:
    ErrorReporter m_reporter;
    WarningReporter m_warningReporter;
};

// A slot for a signal of Qt's widgets, which reports what the slot throws as
// notify() reports what an event handler throws. Qt's widget code is built
// without exception support: an exception unwinding through it would skip
// its clean-up, leaking and leaving the emitting widget half-way through.
template <typename Object, typename... Arguments>
auto Reporting(Object* object, void (Object::*slot)(Arguments...))
{
    return [object, slot](Arguments... arguments) {
        try {
            (object->*slot)(arguments...);
        } catch (const std::exception& error) {
            Application::instance()->reportError(QString::fromUtf8(error.what()));
        }
    };
}
