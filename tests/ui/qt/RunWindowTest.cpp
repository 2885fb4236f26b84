#include "core/Texts.h"
#include "support/FakeSystem.h"
#include "support/QtFiles.h"
#include "ui/qt/frmForm1/DriveList.h"
#include "ui/qt/frmForm1/FileList.h"
#include "ui/qt/frmForm1/frmForm1.h"
#include "ui/qt/hlpform/hlpform.h"
#include "ui/qt/widgets/OkMessageBox.h"
#include "ui/qt/widgets/ProgressBar.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using namespace velk;
using namespace velk::test;

// The programming run through the real window: the frame, its buttons and the message box, and
// the card ejected after it.
class RunWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_source;
    QTemporaryDir m_card;
    QTemporaryDir m_staging;
    QString m_previous;
    test::FakeSystem m_system;
    std::unique_ptr<qt::frmForm1> m_form;
    QStringList m_messages;
    // What the operator does while the frame asks; run from a timer during the wait.
    std::function<void()> m_operator;

    template <typename T> T* find(const char* name) { return control<T>(*m_form, name); }
    void addTrack(const char* name) {
        auto* files = find<qt::FileList>("File1");
        const auto items = files->findItems(s(name), Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        files->setCurrentItem(items.first());
        m_form->handlers().File1_DblClick();
    }
    void answerWhenAsked() {
        QTimer::singleShot(20, this, [this] {
            if (find<QGroupBox>("Frame1")->isHidden())
                return answerWhenAsked();
            QVERIFY(
                !find<qt::FileList>("File2")->findItems(s("OLD.TXT"), Qt::MatchExactly).isEmpty());
            m_operator();
        });
    }

    /// Right-clicks Drive1 and chooses its menu's entry where it is enabled; what it showed.
    /// With `shot`, and VELK_SCREENSHOTS naming a folder, the screen is saved there with the
    /// menu open, for a person to look at (on a real display, not offscreen).
    QPair<QString, bool> chooseFromDriveMenu(const char* shot = nullptr) {
        QPair<QString, bool> shown;
        QTimer::singleShot(0, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QAction* eject = menu ? menu->findChild<QAction*>(s("mnuEjectCard")) : nullptr;
            if (!eject) {
                if (menu)
                    menu->close();
                return;
            }
            shown = {eject->text(), eject->isEnabled()};
            if (shot && qEnvironmentVariableIsSet("VELK_SCREENSHOTS") &&
                QTest::qWaitForWindowExposed(menu)) {
                QTest::qWait(100);
                QGuiApplication::primaryScreen()
                    ->grabWindow(0, 0, 0, m_form->width(), m_form->height())
                    .save(qEnvironmentVariable("VELK_SCREENSHOTS") + s("/") + s(shot));
            }
            if (!eject->isEnabled()) {
                menu->close();
                return;
            }
            menu->setActiveAction(eject);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        auto* drive = find<qt::DriveList>("Drive1");
        const QPoint at = drive->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, drive->mapToGlobal(at));
        QApplication::sendEvent(drive, &event);
        return shown;
    }

private slots:
    void init() {
        for (const QString& left : QDir(m_card.path()).entryList(QDir::Files))
            QVERIFY(QFile::remove(m_card.filePath(left)));
        writeBytes(m_source.filePath(s("a.mp3")), QByteArray(100, 'a'));
        writeBytes(m_source.filePath(s("b.nvr")), QByteArray(300, 'b'));
        writeBytes(m_card.filePath(s("OLD.TXT")), "old");
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_staging.path());
        m_system.table.clear();
        m_system.order.clear();
        m_system.ejected.clear();
        m_system.ejectsAsked.clear();
        m_system.addFixed("src", QDir(m_source.path()).canonicalPath().toStdString());
        m_system.addCard("/dev/sdy", m_card.path().toStdString());
        m_system.current = "src";
        m_messages.clear();
        qt::OkMessageBox::setAnswerer([this](const QString& message) { m_messages << message; });
        m_form = std::make_unique<qt::frmForm1>(m_system);
        m_form->show();
        find<qt::DriveList>("Drive1")->setDrive(s("/dev/sdy"));
        m_form->handlers().Timer1_Timer();
        find<qt::FileList>("File1")->setPath(QDir(m_source.path()).canonicalPath());
        addTrack("a.mp3");
        addTrack("b.nvr");
        QCOMPARE(find<QListWidget>("lstList1")->count(), 2);
    }
    void cleanup() {
        m_form.reset();
        qt::OkMessageBox::setAnswerer({});
        QDir::setCurrent(m_previous);
    }

    // After DOWNLOAD COMPLETE one action ejects the card: Drive1's menu, or Ctrl+E wherever the
    // focus is. The menu shows the command greyed while no card is ready.
    void ejectCardByMenuAndKeyAfterDownloadComplete() {
        m_operator = [this] { QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton); };
        answerWhenAsked();
        QTest::mouseClick(find<QPushButton>("cmdFinish"), Qt::LeftButton);
        QCOMPARE(m_messages, QStringList{s(text::downloadComplete)});
        m_messages.clear();

        const auto shown = chooseFromDriveMenu("qt-eject-menu.png");
        QCOMPARE(shown.first, s("Eject card\tCtrl+E"));
        QVERIFY(shown.second);
        QCOMPARE(m_system.ejectsAsked, std::vector<std::string>{"/dev/sdy"});
        QCOMPARE(m_messages,
                 QStringList{s("The MMC card in /dev/sdy can now be taken out of the reader")});

        m_form->handlers().Timer1_Timer();
        QCOMPARE(find<QLabel>("Label4")->text(), s("Please insert MMC card"));
        QCOMPARE(chooseFromDriveMenu(), qMakePair(s("Eject card\tCtrl+E"), false));

        QCOMPARE(m_system.mountCard("/dev/sdy"), std::string());
        m_form->handlers().Timer1_Timer();
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        auto* guidance = find<QPlainTextEdit>("txtTEXT1");
        guidance->setFocus();
        QTest::keyClick(guidance, Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(m_system.ejectsAsked, (std::vector<std::string>{"/dev/sdy", "/dev/sdy"}));
    }

    void okProgrammesTheCard() {
        bool editsDisabled = false;
        QString cardAsked;
        m_operator = [&] {
            editsDisabled = !find<QPushButton>("cmdDel")->isEnabled() &&
                            !find<QPushButton>("cmdFinish")->isEnabled() &&
                            !find<QListWidget>("File1")->isEnabled() &&
                            find<QPushButton>("quit1")->isEnabled();
            cardAsked = find<QLabel>("labCard")->text();
            // For a person to look at: VELK_SCREENSHOTS names a folder.
            if (qEnvironmentVariableIsSet("VELK_SCREENSHOTS"))
                m_form->grab().save(qEnvironmentVariable("VELK_SCREENSHOTS") +
                                    s("/qt-confirm.png"));
            QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        };
        answerWhenAsked();
        QTest::mouseClick(find<QPushButton>("cmdFinish"), Qt::LeftButton);

        QVERIFY(editsDisabled);
        QCOMPARE(cardAsked, s("Card /dev/sdy"));
        QCOMPARE(m_messages, QStringList{s(text::downloadComplete)});
        QCOMPARE(bytesOf(m_card.filePath(s("M0000001.MP3"))), QByteArray(100, 'a'));
        QVERIFY(find<QGroupBox>("Frame1")->isHidden());
        QVERIFY(find<QPushButton>("cmdFinish")->isEnabled());
    }

    void cancelLeavesTheCard() {
        m_operator = [&] { QTest::mouseClick(find<QPushButton>("Command2"), Qt::LeftButton); };
        answerWhenAsked();
        m_form->handlers().cmdFinish_Click();
        QVERIFY(m_messages.isEmpty());
        QCOMPARE(bytesOf(m_card.filePath(s("OLD.TXT"))), QByteArray("old"));
        QVERIFY(!QFile::exists(m_card.filePath(s("M0000001.MP3"))));
    }

    void quitDuringTheConfirmationTouchesNothing() {
        m_operator = [&] { QTest::mouseClick(find<QPushButton>("quit1"), Qt::LeftButton); };
        answerWhenAsked();
        m_form->handlers().cmdFinish_Click();
        QVERIFY(m_form->handlers().ending());
        QCOMPARE(bytesOf(m_card.filePath(s("OLD.TXT"))), QByteArray("old"));
        QVERIFY(!QFile::exists(m_card.filePath(s("M0000001.MP3"))));
    }

    // A card that takes its time: between chunks the window answers, HELP opens, the bar moves.
    void helpOpensWhileATrackIsCopied() {
        writeBytes(m_source.filePath(s("long.mp3")), QByteArray(2 << 20, 'l'));
        find<qt::FileList>("File1")->setPath(QDir(m_source.path()).canonicalPath());
        addTrack("long.mp3");
        m_system.writeFaults.delayPerWrite = std::chrono::milliseconds(30);
        // Samples taken while the track is half copied, HELP open.
        int answeredMidTrack = 0;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&] {
            if (!find<QLabel>("Label7")->text().endsWith(s("long.mp3")))
                return;
            if (!m_form->helpWindow())
                QTest::mouseClick(find<QPushButton>("Command3"), Qt::LeftButton);
            const float bar = find<qt::ProgressBar>("ProgressBar1")->exactValue();
            if (bar > 1.0f && bar < 99.0f && m_form->helpWindow() &&
                m_form->helpWindow()->isVisible())
                ++answeredMidTrack;
        });
        watcher.start(5);
        m_operator = [&] { QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton); };
        answerWhenAsked();
        m_form->handlers().cmdFinish_Click();
        m_system.writeFaults.delayPerWrite = {};

        QCOMPARE(m_messages, QStringList{s(text::downloadComplete)});
        QVERIFY2(answeredMidTrack >= 2,
                 "the window did not answer while the track was half copied");
    }
};

QTEST_MAIN(RunWindowTest)
#include "RunWindowTest.moc"
