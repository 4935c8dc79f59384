// An empty Qt window of Quorrin's size, started the same way: the yardstick for start-up time.
#include <QApplication>
#include <QWidget>

#include "Window.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(quorrin::Pixels(quorrin::kClientArea.Width), quorrin::Pixels(quorrin::kClientArea.Height));
    window.show();
    return QApplication::exec();
}
