#include "core/IndexReader.h"
#include "core/Texts.h"
#include "support/FakeSystem.h"
#include "support/QtFiles.h"
#include "ui/qt/frmForm1/DriveList.h"
#include "ui/qt/frmForm1/FileList.h"
#include "ui/qt/frmForm1/frmForm1.h"
#include "ui/qt/hlpform/hlpform.h"
#include "ui/qt/widgets/OkMessageBox.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace velk;
using namespace velk::test;

// The window worked with the keyboard alone: no mouse event is sent anywhere here.
class KeyboardWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_start;
    QTemporaryDir m_card;
    QString m_previous;
    test::FakeSystem m_system;
    std::unique_ptr<qt::frmForm1> m_form;
    QStringList m_messages;

    template <typename T = QWidget> T* find(const char* name) { return control<T>(*m_form, name); }
    // Tab from wherever the focus is until it reaches `name`, as the operator would.
    void tabTo(const char* name) {
        QWidget* target = find(name);
        for (int presses = 0; presses < 25 && m_form->focusWidget() != target; ++presses)
            QTest::keyClick(m_form->focusWidget(), Qt::Key_Tab);
        QVERIFY2(m_form->focusWidget() == target, name);
    }
    // Each key is handled, and what it queued, before the next, as the event loop does.
    void press(Qt::Key key) {
        QTest::keyClick(m_form->focusWidget(), key);
        QCoreApplication::processEvents();
    }
    // The programming run asks from inside its own wait; `answer` is typed then.
    void whenAsked(std::function<void()> answer) {
        QTimer::singleShot(20, this, [this, answer] {
            if (find<QGroupBox>("Frame1")->isHidden())
                return whenAsked(answer);
            answer();
        });
    }

private slots:
    void init() {
        const QDir start(m_start.path());
        QVERIFY(start.mkpath(s("tracks")));
        writeBytes(start.filePath(s("tracks/a.mp3")), QByteArray(100, 'a'));
        writeBytes(start.filePath(s("tracks/b.nvr")), QByteArray(300, 'b'));
        writeBytes(start.filePath(s("tracks/c.mp3")), QByteArray(50, 'c'));
        writeBytes(m_card.filePath(s("OLD.TXT")), "old");
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_start.path());
        m_system.addFixed("src", start.canonicalPath().toStdString());
        m_system.addCard("/dev/sdy", m_card.path().toStdString());
        m_system.current = "src";
        qt::OkMessageBox::setAnswerer([this](const QString& message) { m_messages << message; });
        m_form = std::make_unique<qt::frmForm1>(m_system);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        find<qt::DriveList>("Drive1")->setDrive(s("/dev/sdy"));
        m_form->handlers().Timer1_Timer();
    }
    void cleanup() {
        m_form.reset();
        qt::OkMessageBox::setAnswerer({});
        QDir::setCurrent(m_previous);
    }

    void threeTracksWithModesProgrammedFromTheKeyboard() {
        // Dir1 has the focus at start; its sub-folder sits below the open folder.
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        // Return takes the row the keyboard is on, then Down moves to the next.
        tabTo("File1");
        press(Qt::Key_Return);
        for (int i = 0; i < 2; ++i) {
            press(Qt::Key_Down);
            press(Qt::Key_Return);
        }
        QCOMPARE(rows(find<QListWidget>("lstList1")),
                 (QStringList{s("a.mp3"), s("b.nvr"), s("c.mp3")}));

        tabTo("cmdMode2");
        press(Qt::Key_Space);
        tabTo("lstList1");
        press(Qt::Key_Return);
        QCOMPARE(rows(find<QListWidget>("lstListMode")), (QStringList{s("2"), s("0"), s("0")}));
        tabTo("cmdMode1");
        press(Qt::Key_Return);
        tabTo("lstList1");
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        QCOMPARE(rows(find<QListWidget>("lstListMode")), (QStringList{s("2"), s("1"), s("1")}));

        whenAsked([this] {
            tabTo("Command1");
            press(Qt::Key_Return);
        });
        tabTo("cmdFinish");
        press(Qt::Key_Return);

        QCOMPARE(m_messages, QStringList{s(text::downloadComplete)});
        QCOMPARE(bytesOf(m_card.filePath(s("M0000003.MP3"))), QByteArray(50, 'c'));
        QVERIFY(!QFile::exists(m_card.filePath(s("OLD.TXT"))));
        const QByteArray index = bytesOf(m_card.filePath(s("INDEX123.VKM")));
        const IndexContent read = parseIndex({index.begin(), index.end()});
        QVERIFY(read.ok());
        QCOMPARE(read.records.size(), 3u);
        QCOMPARE(read.records[0].playMode, 2);
        QCOMPARE(read.records[2].playMode, 1);
    }

    void escapeWhileAskingIsCancel() {
        auto* files = find<qt::FileList>("File1");
        files->setPath(QDir(m_start.filePath(s("tracks"))).canonicalPath());
        files->setCurrentRow(0);
        m_form->handlers().File1_DblClick();
        whenAsked([this] { press(Qt::Key_Escape); });
        tabTo("cmdFinish");
        press(Qt::Key_Space);
        QVERIFY(find<QGroupBox>("Frame1")->isHidden());
        QCOMPARE(bytesOf(m_card.filePath(s("OLD.TXT"))), QByteArray("old"));
        QCOMPARE(m_form->handlers().state().edit.editState, 0);
    }

    // The question takes the keyboard to CANCEL, keeps Tab off what the frame covers, tells a
    // screen reader what it asks, and gives the focus back to the Programme button.
    void theQuestionHasTheFocusOnCancelAndGivesItBack() {
        auto* files = find<qt::FileList>("File1");
        files->setPath(QDir(m_start.filePath(s("tracks"))).canonicalPath());
        files->setCurrentRow(0);
        m_form->handlers().File1_DblClick();
        QStringList reached;
        QString told;
        whenAsked([&] {
            told = find("Command2")->accessibleDescription();
            for (int presses = 0; presses < 16; ++presses) {
                reached << m_form->focusWidget()->objectName();
                press(Qt::Key_Tab);
            }
            press(Qt::Key_Escape);
        });
        tabTo("cmdFinish");
        press(Qt::Key_Return);
        QCOMPARE(reached.first(), s("Command2"));
        for (const char* covered : {"Dir1", "drvDrive1", "File1", "Drive1"})
            QVERIFY2(!reached.contains(s(covered)), covered);
        QVERIFY(reached.contains(s("File2")) && reached.contains(s("Command1")) &&
                reached.contains(s("txtTEXT1")));
        QCOMPARE(told, s(text::deletingFiles) + s(" - Card /dev/sdy - ") + s(text::deleteWarning));
        QCOMPARE(m_form->focusWidget(), find("cmdFinish"));
        QCOMPARE(find("Command2")->accessibleDescription(), QString());
        tabTo("Dir1");
    }

    void returnChoosesAHelpTopic() {
        writeBytes(m_start.filePath(s("velkhlp9.txt")), "cards");
        tabTo("Command3");
        press(Qt::Key_Return);
        qt::hlpform* help = m_form->helpWindow();
        QVERIFY(help);
        auto* last = help->findChild<QRadioButton*>(s("hbut9"));
        // The window opens in Text1; Tab leaves it for the topics.
        for (int presses = 0; presses < 9; ++presses)
            QTest::keyClick(help->focusWidget(), Qt::Key_Tab);
        QCOMPARE(help->focusWidget(), last);
        QTest::keyClick(last, Qt::Key_Return);
        QVERIFY(last->isChecked());
        QCOMPARE(help->findChild<QPlainTextEdit*>(s("Text1"))->toPlainText(), s("cards"));
    }
};

QTEST_MAIN(KeyboardWindowTest)
#include "KeyboardWindowTest.moc"
