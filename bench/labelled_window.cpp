// The bare window of minimal_window.cpp with one label whose text is set before the window
// shows: what any window with text pays at start over one without (the font set-up, and Qt's
// accessibility bridge, which the first text wakes before the window maps).

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(506, 427);
    QLabel label(QStringLiteral("Message File Selection"), &window);
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &window, [] {});
    timer.start(100);
    window.show();
    return QApplication::exec();
}
