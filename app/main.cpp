// Starts the program: one window, run until it is closed or a fatal error ends it.
#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

#include "MainWindow.h"

namespace {

// Without a display Qt would abort with several lines of its own; one clear line is better.
bool DisplayMissing()
{
#if defined(Q_OS_LINUX)
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
#else
    return false;
#endif
}

// Reported once: always on standard error, and in a dialog when there is a screen to show it.
void ReportFatalError(QWidget* window, const QString& message)
{
    std::fprintf(stderr, "quorrin: fatal error: %s\n", qUtf8Printable(message));
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        QMessageBox::critical(window, QApplication::applicationName(),
                              QStringLiteral("The program must end: %1").arg(message));
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    if (DisplayMissing()) {
        std::fputs("quorrin: no display to show the window on (DISPLAY is not set)\n", stderr);
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorrin"));
    QApplication::setApplicationVersion(QStringLiteral(QUORRIN_DISPLAY_VERSION));

    quorrin::MainWindow window;
    QObject::connect(&window, &quorrin::MainWindow::FatalErrorRaised, &window,
                     [&window](const QString& message) {
                         ReportFatalError(&window, message);
                         QCoreApplication::exit(EXIT_FAILURE);
                     });
    window.show();
    return QApplication::exec();
}
