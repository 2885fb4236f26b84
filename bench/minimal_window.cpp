// The yardstick for the window's start: a bare Qt Widgets window of the same size with a
// 100 ms timer, as little as any Qt window of that kind can do.

#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(506, 427);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    timer.start(100);
    window.show();
    return QApplication::exec();
}
