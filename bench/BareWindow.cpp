// An empty Qt window of Quorrin's size, started the same way: the yardstick for start-up time.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(525, 550);
    window.show();
    return QApplication::exec();
}
