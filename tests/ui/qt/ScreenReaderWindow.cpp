// The main window for the screen-reader test: a fixed source drive and a card reader with a
// card. Each line read from stdin picks the destination drive by name ("card" or "fixed"),
// so the test can see Label4 in both states; the window's own timer does the rest.

#include "support/FakeSystem.h"
#include "ui/qt/frmForm1/DriveList.h"
#include "ui/qt/frmForm1/frmForm1.h"

#include <QApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QTemporaryDir>

#include <unistd.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QTemporaryDir card;
    velk::test::FakeSystem system;
    system.addFixed("fixed", QDir::currentPath().toStdString());
    system.addCard("card", card.path().toStdString());
    system.current = "fixed";
    velk::qt::frmForm1 form(system);
    form.show();

    auto* destination = form.findChild<velk::qt::DriveList*>(QStringLiteral("Drive1"));
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char line[64] = {};
        const ssize_t got = read(STDIN_FILENO, line, sizeof line - 1);
        if (got <= 0)
            return QCoreApplication::exit(0);
        destination->setDrive(QString::fromLatin1(line, got).trimmed());
    });
    return QApplication::exec();
}
