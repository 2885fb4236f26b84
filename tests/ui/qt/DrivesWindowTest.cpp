// The drive lists follow the machine's drives without a click: a real mount, in a mount
// namespace of this test's own, makes the window read both lists again. Needs root.
#include "support/FakeSystem.h"
#include "support/MountNamespace.h"
#include "support/QtFiles.h"
#include "ui/qt/frmForm1/DriveList.h"
#include "ui/qt/frmForm1/frmForm1.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/mount.h>

using namespace velk;
using namespace velk::test;

namespace {

QStringList entries(const qt::DriveList* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->itemText(i);
    return out;
}

} // namespace

class DrivesWindowTest : public QObject {
    Q_OBJECT

private slots:
    void aNewDriveAppearsInBothListsWithoutAClick() {
        if (!whyNoPrivateMounts().empty())
            QSKIP(whyNoPrivateMounts().c_str());
        FakeSystem system;
        system.addFixed("/", "/");
        system.current = "/";
        qt::frmForm1 form(system);
        auto* source = control<qt::DriveList>(form, "drvDrive1");
        auto* destination = control<qt::DriveList>(form, "Drive1");
        QVERIFY(!entries(destination).contains(s("/media/reader")));

        // What the system answers once a reader's card is mounted, and the mount itself.
        system.addCard("/media/reader", "/media/reader");
        QTemporaryDir mountPoint;
        QVERIFY(::mount("/dev/velk-reader", mountPoint.path().toUtf8().constData(), "tmpfs", 0,
                        "size=1m") == 0);
        // Only a device change reads the source list again; the monitor's tick may read the
        // destination list for a change of its own.
        QTRY_VERIFY_WITH_TIMEOUT(entries(source).contains(s("/media/reader")), 5000);
        QVERIFY(entries(destination).contains(s("/media/reader")));
        ::umount2(mountPoint.path().toUtf8().constData(), MNT_DETACH);
    }
};

// The namespace is entered before Qt starts any thread of its own.
int main(int argc, char** argv) {
    (void)whyNoPrivateMounts();
    QApplication app(argc, argv);
    DrivesWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "DrivesWindowTest.moc"
