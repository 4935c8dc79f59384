// Starts the program: one window, run until it is closed or a fatal error ends it.
#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "FatalErrorReport.h"
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
    QGuiApplication::setDesktopFileName(QStringLiteral("org.quorrin.Quorrin"));

    quorrin::MainWindow window;
    quorrin::EndProgramOnFatalError(window);
    window.show();
    return QApplication::exec();
}
