// The yardstick for the window's start: a bare Qt Widgets window of the same size with a
// 100 ms timer, as little as any Qt window of that kind can do. Built as labelled_window it
// also holds one label whose text is set before the window shows: what any window with text
// pays at start over one without (the font set-up, and Qt's accessibility bridge, which the
// first text wakes before the window maps).

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(506, 427);
#ifdef VELK_WITH_LABEL
    QLabel label(QStringLiteral("Message File Selection"), &window);
#endif
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    timer.start(100);
    window.show();
    return QApplication::exec();
}
