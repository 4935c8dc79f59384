// Starts the program: one window, run until it is closed or a fatal error ends it.
#include <QApplication>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

#include "MainWindow.h"

namespace {

// Without a display Qt aborts with several lines of its own and a core dump; one clear line and
// status 1 are better. Returns false after printing that line. Qt has no check that does not
// abort, so when it would use X (no other platform asked for, no Wayland) the display is tried
// here first, with the library Qt itself reaches X through.
bool DisplayReachable(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "-platform") == 0) {
            return true;
        }
    }
    const QByteArray display = qgetenv("DISPLAY");
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (display.isEmpty() && platform.isEmpty() && !wayland) {
        std::fputs("quorrin: no display to show the window on (DISPLAY is not set)\n", stderr);
        return false;
    }
    if (display.isEmpty() || wayland || !(platform.isEmpty() || platform.startsWith("xcb"))) {
        return true;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reached = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    if (!reached) {
        std::fprintf(stderr, "quorrin: no display to show the window on (the display %s cannot be opened)\n",
                     display.constData());
    }
    return reached;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (!DisplayReachable(argc, argv)) {
        return EXIT_FAILURE;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorrin"));
    QApplication::setApplicationVersion(QStringLiteral(QUORRIN_DISPLAY_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORRIN_APP_ID));

    quorrin::MainWindow window;
    window.show();
    return QApplication::exec();
}
