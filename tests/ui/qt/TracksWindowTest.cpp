#include "core/Colours.h"
#include "core/Texts.h"
#include "support/FakeSystem.h"
#include "support/QtFiles.h"
#include "ui/qt/frmForm1/DriveList.h"
#include "ui/qt/frmForm1/FileList.h"
#include "ui/qt/frmForm1/FolderList.h"
#include "ui/qt/frmForm1/frmForm1.h"
#include "ui/qt/widgets/ColourButton.h"
#include "ui/qt/widgets/ProgressBar.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace velk;
using namespace velk::test;

namespace {

void writeFile(const QString& path, qint64 bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QVERIFY(f.resize(bytes));
}

// In Qt 6.4 a list raises its double-click signal only after a press and release at the spot.
void doubleClick(QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    const QPoint at = list->visualItemRect(found.first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void clickRow(QListWidget* list, int row) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

} // namespace

class TracksWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_source;
    QTemporaryDir m_card;
    QString m_previous;
    test::FakeSystem m_system;
    std::unique_ptr<qt::frmForm1> m_form;

    template <typename T> T* find(const char* name) { return control<T>(*m_form, name); }
    QString guidance() { return find<QPlainTextEdit>("txtTEXT1")->toPlainText(); }

private slots:
    void init() {
        writeFile(m_source.filePath(s("intro.mp3")), 1'000'000);
        writeFile(m_source.filePath(s("LOUD.MP3")), 516'000);
        writeFile(m_source.filePath(s("notes.txt")), 10);
        QVERIFY(QDir(m_source.path()).mkpath(s("voice")));
        writeFile(m_source.filePath(s("voice/hello.nvr")), 250'000);
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_card.path());

        m_system.table.clear();
        m_system.order.clear();
        m_system.addFixed("/", "/");
        m_system.addFixed("src", QDir(m_source.path()).canonicalPath().toStdString());
        m_system.addEmptyReader("/dev/sdz");
        // 4 × 512 × 1953 clusters = 3,999,744 bytes, less the reserve.
        m_system.addCard("/dev/sdy", m_card.path().toStdString(), {4, 512, 0, 1978});
        m_system.current = "/";
        m_form = std::make_unique<qt::frmForm1>(m_system);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        find<qt::DriveList>("Drive1")->setDrive(s("/dev/sdy"));
        m_form->handlers().Timer1_Timer();
        QCOMPARE(m_form->handlers().state().cardBytes, 4 * 512 * 1978 - 50000);
    }
    void cleanup() {
        m_form.reset();
        QDir::setCurrent(m_previous);
    }

    void browsingADriveAndAFolder() {
        auto* drive = find<qt::DriveList>("drvDrive1");
        drive->setCurrentIndex(drive->findData(s("src")));
        QCOMPARE(find<qt::FolderList>("Dir1")->path(), QDir(m_source.path()).canonicalPath());
        QCOMPARE(rows(find<qt::FileList>("File1")), (QStringList{s("intro.mp3"), s("LOUD.MP3")}));
        QCOMPARE(guidance(), s(text::selectSource));
        QCOMPARE(find<QWidget>("txtTEXT1")->property("backColour").toUInt(), colour::yellow);

        find<QPlainTextEdit>("txtTEXT1")->setPlainText(s("left alone"));
        auto* folders = find<qt::FolderList>("Dir1");
        const auto voice = folders->findItems(s("voice"), Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(voice.size(), 1);
        folders->setCurrentItem(voice.first());
        QTest::keyClick(folders, Qt::Key_Return);
        QCOMPARE(folders->path(), QDir(m_source.filePath(s("voice"))).canonicalPath());
        QCOMPARE(rows(find<qt::FileList>("File1")), QStringList{s("hello.nvr")});
        QCOMPARE(guidance(), s("left alone"));
    }

    void readerWithoutCardKeepsTheFolder() {
        const QString before = find<qt::FolderList>("Dir1")->path();
        auto* drive = find<qt::DriveList>("drvDrive1");
        drive->setCurrentIndex(drive->findData(s("/dev/sdz")));
        QCOMPARE(guidance(), s(text::driveUnavailable));
        QCOMPARE(find<QWidget>("txtTEXT1")->property("backColour").toUInt(), colour::red);
        QCOMPARE(drive->drive(), s("/dev/sdz"));
        QCOMPARE(find<qt::FolderList>("Dir1")->path(), before);
    }

    void doubleClickAddsATrackToAllThreeLists() {
        auto* drive = find<qt::DriveList>("drvDrive1");
        drive->setCurrentIndex(drive->findData(s("src")));
        auto* files = find<qt::FileList>("File1");
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                          files->visualItemRect(files->item(0)).center());
        QVERIFY2(find<QListWidget>("lstList1")->count() == 0, "a single click adds nothing");

        doubleClick(files, s("intro.mp3"));
        doubleClick(files, s("LOUD.MP3"));
        QCOMPARE(rows(find<QListWidget>("lstList1")), (QStringList{s("intro.mp3"), s("LOUD.MP3")}));
        QCOMPARE(rows(find<QListWidget>("lstList2")), (QStringList{s("1"), s("2")}));
        QCOMPARE(rows(find<QListWidget>("lstListMode")), (QStringList{s("0"), s("0")}));
        // 1,516,000 bytes on a card of 4,050,944 less 50,000 kept free: 37.89 %.
        QCOMPARE(find<QLabel>("Label7")->text(), s("Message Size vs Card Size  37%"));
        QVERIFY(qAbs(find<qt::ProgressBar>("ProgressBar1")->exactValue() - 37.891f) < 0.001f);
    }

    void armedEditsChangeListsAndColours() {
        auto* drive = find<qt::DriveList>("drvDrive1");
        drive->setCurrentIndex(drive->findData(s("src")));
        auto* files = find<qt::FileList>("File1");
        for (int i = 0; i < 3; ++i)
            doubleClick(files, s("intro.mp3"));
        auto* tracks = find<QListWidget>("lstList1");
        QCOMPARE(tracks->count(), 3);

        QTest::mouseClick(find<QPushButton>("cmdMode2"), Qt::LeftButton);
        QCOMPARE(find<qt::ColourButton>("cmdMode2")->backColour(), colour::white);
        clickRow(tracks, 0);
        clickRow(tracks, 2);
        QCOMPARE(rows(find<QListWidget>("lstListMode")), (QStringList{s("2"), s("0"), s("2")}));

        QTest::mouseClick(find<QPushButton>("cmdDel"), Qt::LeftButton);
        clickRow(tracks, 1);
        QCOMPARE(rows(find<QListWidget>("lstListMode")), (QStringList{s("2"), s("2")}));

        // Moving through the rows with the keyboard selects them as a click does.
        QTest::mouseClick(find<QPushButton>("cmdMode1"), Qt::LeftButton);
        tracks->setFocus();
        QTest::keyClick(tracks, Qt::Key_Up);
        QTRY_COMPARE(rows(find<QListWidget>("lstListMode")), (QStringList{s("1"), s("2")}));
        QTest::keyClick(tracks, Qt::Key_Down);
        QTRY_COMPARE(rows(find<QListWidget>("lstListMode")), (QStringList{s("1"), s("1")}));

        QTest::mouseClick(find<QPushButton>("newbut"), Qt::LeftButton);
        QCOMPARE(tracks->count(), 0);
    }
};

QTEST_MAIN(TracksWindowTest)
#include "TracksWindowTest.moc"
