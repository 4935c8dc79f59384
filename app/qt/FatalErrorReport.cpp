// The one report of a fatal error, and the end of the program.
#include "FatalErrorReport.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

#include "MainWindow.h"

namespace quorrin {

void EndProgramOnFatalError(MainWindow& window)
{
    QObject::connect(&window, &MainWindow::FatalErrorRaised, &window, [&window](const QString& message) {
        std::fprintf(stderr, "quorrin: fatal error: %s\n", qUtf8Printable(message));
        const QString platform = QGuiApplication::platformName();
        if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
            QMessageBox::critical(&window, QApplication::applicationName(),
                                  QStringLiteral("Quorrin must end: %1.").arg(message));
        }
        QCoreApplication::exit(EXIT_FAILURE);
    });
}

}  // namespace quorrin
