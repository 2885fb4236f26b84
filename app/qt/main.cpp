#include "platform/System.h"
#include "ui/qt/frmForm1/frmForm1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const auto system = velk::makeSystem();
    velk::qt::frmForm1 window(*system);
    window.show();
    return QApplication::exec();
}
