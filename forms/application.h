#pragma once

#include <QApplication>

#include <functional>

// The application object. An exception thrown by any event handler ends that
// handler only: it is caught here, where every event is delivered, and its
// message is shown; the program then goes on with whatever the handler had
// already changed.
class Application : public QApplication {
    Q_OBJECT
public:
    using ErrorReporter = std::function<void(const QString& message)>;

    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Replaces the message box, for tests. Returns the previous reporter.
    ErrorReporter setErrorReporter(ErrorReporter reporter);
    void reportError(const QString& message);

    static Application* instance();

private:
    ErrorReporter m_reporter;
};
