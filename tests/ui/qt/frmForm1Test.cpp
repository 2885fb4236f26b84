#include "ui/qt/frmForm1/frmForm1.h"
#include "core/Colours.h"
#include "core/Form1Design.h"
#include "core/Texts.h"
#include "support/FakeSystem.h"
#include "support/QtFiles.h"
#include "ui/qt/frmForm1/DriveList.h"
#include "ui/qt/frmForm1/FileList.h"
#include "ui/qt/frmForm1/FolderList.h"
#include "ui/qt/hlpform/hlpform.h"
#include "ui/qt/widgets/ColourButton.h"
#include "ui/qt/widgets/OkMessageBox.h"
#include "ui/qt/widgets/ProgressBar.h"
#include "ui/qt/widgets/StateLabel.h"
#include "ui/qt/widgets/WrapLabel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextLayout>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace velk;
using namespace velk::test;
using velk::qt::frmForm1;

namespace {

void touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
}

/// A desktop's dark scheme, and a high-contrast one: white on black with a cyan highlight.
QPalette scheme(QColor window, QColor ink, QColor highlight) {
    QPalette p(window, window);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, ink);
    p.setColor(QPalette::Base, window.darker(120));
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, window);
    return p;
}

} // namespace

class frmForm1Test : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_previous;
    test::FakeSystem m_system;
    std::unique_ptr<frmForm1> m_form;

    template <typename T> T* find(const char* name) { return control<T>(*m_form, name); }
    QString label4() { return find<QLabel>("Label4")->text(); }
    uint colourOf(const char* name) { return find<QWidget>(name)->property("backColour").toUInt(); }

private slots:
    void init() {
        QVERIFY(m_dir.isValid());
        touch(m_dir.filePath(s("a.mp3")));
        touch(m_dir.filePath(s("B.NVR")));
        touch(m_dir.filePath(s("c.txt")));
        QVERIFY(QDir(m_dir.path()).mkpath(s("sub")));
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        m_system.table.clear();
        m_system.order.clear();
        m_system.addFixed("/", "/");
        m_system.addEmptyReader("/dev/sdz");
        m_system.addCard("/dev/sdy", m_dir.path().toStdString());
        m_system.current = "/";
        m_form = std::make_unique<frmForm1>(m_system);
    }
    void cleanup() {
        m_form.reset();
        QDir::setCurrent(m_previous);
    }

    void startsAsDesigned() {
        QCOMPARE(m_form->windowTitle(), s(text::mainCaption));
        QCOMPARE(m_form->windowTitle().indexOf(s("Marrick")), 18);
        QCOMPARE(m_form->size(), QSize(506, 427));
        QVERIFY(find<QGroupBox>("Frame1")->isHidden());
        QCOMPARE(find<QPlainTextEdit>("txtTEXT1")->toPlainText(), QString());
        QCOMPARE(colourOf("txtTEXT1"), colour::yellow);
        QCOMPARE(label4(), QString());
        QCOMPARE(colourOf("Label4"), colour::red);
        QCOMPARE(find<QLabel>("Label7")->text(), QString());
        QCOMPARE(find<qt::ProgressBar>("ProgressBar1")->exactValue(), 0.0f);
        for (const char* list : {"lstList1", "lstList2", "lstListMode"})
            QCOMPARE(find<QListWidget>(list)->count(), 0);
        QCOMPARE(find<qt::DriveList>("drvDrive1")->drive(), s("/"));
        QCOMPARE(find<qt::DriveList>("Drive1")->drive(), s("/"));
        QCOMPARE(find<qt::FolderList>("Dir1")->path(), QDir(m_dir.path()).canonicalPath());
        auto* files = find<qt::FileList>("File1");
        QCOMPARE(files->path(), QDir(m_dir.path()).canonicalPath());
        QCOMPARE(files->count(), 2);
        QCOMPARE(files->item(0)->text(), s("a.mp3"));
        QCOMPARE(files->item(1)->text(), s("B.NVR"));
        QCOMPARE(m_form->focusWidget(), find<QWidget>("Dir1"));
        // The logo is held at the size of its box, 1815 x 1335 twips.
        QCOMPARE(find<QLabel>("Image1")->pixmap().size(), QSize(121, 89));
        auto* timer = find<QTimer>("Timer1");
        QCOMPARE(timer->interval(), 100);
        QVERIFY(timer->isActive());
        for (const char* button : {"cmdDel", "cmdMode0", "cmdMode1", "cmdMode2"})
            QCOMPARE(find<qt::ColourButton>(button)->backColour(), colour::buttonFace);
        for (QPushButton* b : m_form->findChildren<QPushButton*>()) {
            QVERIFY2(!b->isDefault() && !b->autoDefault(), qPrintable(b->objectName()));
            QVERIFY2(!b->text().contains(QLatin1Char('&')), qPrintable(b->objectName()));
        }
    }

    // Each control is built from its designed row: box, caption, tooltip and place in the frame.
    void controlsSitWhereDesigned() {
        for (const ControlDesign& d : form1Design()) {
            const QString name =
                QString::fromUtf8(d.name.data(), static_cast<qsizetype>(d.name.size()));
            auto* w = m_form->findChild<QWidget*>(name);
            QVERIFY2(w, qPrintable(name));
            const auto px = [](int t) { return qRound(t / 15.0); }; // 15 twips a pixel at 96 dpi
            const QRect box(px(d.box.left), px(d.box.top), px(d.box.width), px(d.box.height));
            if (d.kind == ControlKind::line)
                QVERIFY2(w->geometry().contains(box.center()), qPrintable(name));
            else
                QCOMPARE(w->geometry(), box);
            if (auto* label = qobject_cast<QLabel*>(w); label && d.kind == ControlKind::label)
                QCOMPARE(label->text(), s(d.caption));
            if (auto* button = qobject_cast<QAbstractButton*>(w))
                QCOMPARE(button->text(), s(d.caption));
            QCOMPARE(w->toolTip(), s(d.tooltip ? d.tooltip : ""));
            QCOMPARE(w->parentWidget()->objectName(),
                     d.parent.empty() ? s("frmForm1") : s("Frame1"));
        }
    }

    void frameHoldsItsControlsAndCaption() {
        auto* frame = find<QGroupBox>("Frame1");
        QCOMPARE(frame->title(), s("Deleting Existing Files"));
        QCOMPARE(frame->property("backColour").toUInt(), colour::red);
        for (const char* inside : {"File2", "Label3", "Command1", "Command2"})
            QCOMPARE(find<QWidget>(inside)->parentWidget(), frame);
    }

    // What the monitor makes of each drive is core's; the window's part is the tick and what
    // Label4 and the guidance box show.
    void timerDrivesTheMonitor() {
        find<qt::DriveList>("Drive1")->setDrive(s("/dev/sdy"));
        QTRY_COMPARE_WITH_TIMEOUT(colourOf("Label4"), colour::buttonFace, 2000);
        QCOMPARE(label4(), s("Removeable Drive   Capacity =  64MBytes"));
        QCOMPARE(find<QPlainTextEdit>("txtTEXT1")->toPlainText(), s(text::selectSource));
    }

    // A tick that finds the card reads the drives again, which fail here.
    void aThrowingHandlerIsReportedAndTheWindowGoesOn() {
        QStringList shown;
        qt::OkMessageBox::setAnswerer([&](const QString& message) { shown << message; });
        m_system.drivesFault = "the drive list broke";
        find<qt::DriveList>("Drive1")->setDrive(s("/dev/sdy"));
        QTRY_COMPARE_WITH_TIMEOUT(
            shown, QStringList{s(text::windowFault) + s("the drive list broke")}, 2000);

        m_system.drivesFault.clear();
        find<qt::DriveList>("Drive1")->setDrive(s("/dev/sdz"));
        QTRY_COMPARE_WITH_TIMEOUT(label4(), s(text::insertCard), 2000);
        QCOMPARE(shown.size(), 1);
        qt::OkMessageBox::setAnswerer({});
    }

    void quitEndsTheProgram() {
        m_form->show();
        QTest::mouseClick(find<QPushButton>("quit1"), Qt::LeftButton);
        QVERIFY(m_form->handlers().ending());
        QVERIFY(!m_form->isVisible());
        QVERIFY(!find<QTimer>("Timer1")->isActive());
    }

    // The longest texts the program writes must not lose their last line.
    void guidanceBoxShowsThreeLines() {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        auto* box = find<QPlainTextEdit>("txtTEXT1");
        const QStringList longest = {
            s(text::driveUnavailable),
            s("You may now remove the MMC card - capacity used 2147483647 bytes"),
            s(text::failedCardIncomplete),
            s(text::creatingIndex),
        };
        for (const QString& t : longest) {
            box->setPlainText(t);
            QCoreApplication::processEvents();
            int lines = 0;
            qreal height = 2 * box->document()->documentMargin();
            for (QTextBlock b = box->document()->firstBlock(); b.isValid(); b = b.next()) {
                lines += b.layout()->lineCount();
                height += b.layout()->boundingRect().height();
            }
            QVERIFY2(lines >= 2 && lines <= 3, qPrintable(t));
            QVERIFY2(height <= box->viewport()->height(),
                     qPrintable(t + s(": ") + QString::number(height) + s(" > ") +
                                QString::number(box->viewport()->height())));
        }
    }

    // A path of two lines is shown whole; a longer one keeps its start and its file name.
    void copyingPathWrapsInTwoLines() {
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        auto* label = qobject_cast<qt::WrapLabel*>(find<QLabel>("Label7"));
        QVERIFY(label);
        const QString twoLines =
            s(text::copyingPrefix) + s("/home/operator/Musik/Ansagen/Empfang.mp3");
        label->setText(twoLines);
        QVERIFY(QFontMetrics(label->font()).horizontalAdvance(twoLines) >
                label->contentsRect().width());
        QCOMPARE(label->shownText(), twoLines);
        QString deep = s("/home/operator");
        while (deep.size() < 300)
            deep += s("/Unterordner");
        label->setText(s(text::copyingPrefix) + deep + s("/Willkommen.mp3"));
        const QString shown = label->shownText();
        QVERIFY2(shown.startsWith(s("Copying /home/operator")), qPrintable(shown));
        QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
        QVERIFY2(shown.endsWith(s("Willkommen.mp3")), qPrintable(shown));
        // For a person to look at: VELK_SCREENSHOTS names a folder.
        if (qEnvironmentVariableIsSet("VELK_SCREENSHOTS"))
            m_form->grab().save(qEnvironmentVariable("VELK_SCREENSHOTS") + s("/qt-copying.png"));
    }

    // On a dark palette the fixed light colours keep dark text, and each coloured state is
    // shown in words as well; the logic still reads Label4's caption alone.
    void darkSchemesTellColoursInWords() {
        const QPalette light = QApplication::palette();
        const std::pair<const char*, QPalette> schemes[] = {
            {"qt-dark",
             scheme(QColor(0x30, 0x30, 0x30), QColor(0xE0, 0xE0, 0xE0), QColor(0x30, 0x8C, 0xC6))},
            {"qt-high-contrast", scheme(Qt::black, Qt::white, QColor(0x1A, 0xEB, 0xFF))}};
        m_system.addFixed("/music", m_dir.path().toStdString());
        m_form->show();
        for (const auto& [name, palette] : schemes) {
            QApplication::setPalette(palette);
            QCoreApplication::processEvents(); // the change arrives as a posted event
            find<qt::DriveList>("drvDrive1")->setDrive(s("/music"));
            m_form->handlers().drvDrive1_Change();
            m_form->handlers().Timer1_Timer();
            auto* status = find<qt::StateLabel>("Label4");
            QCOMPARE(status->caption(), s(text::notFlashCard));
            QCOMPARE(status->text(), s(text::notFlashCard) + s("\nDestination not ready"));
            QCOMPARE(status->palette().color(QPalette::WindowText), QColor(Qt::black));
            QCOMPARE(find<QPlainTextEdit>("txtTEXT1")->palette().color(QPalette::Text),
                     QColor(Qt::black));
            QCOMPARE(find<QLabel>("labHelp")->text(), s("Guidance Box"));

            find<qt::DriveList>("drvDrive1")->setDrive(s("/dev/sdz"));
            m_form->handlers().drvDrive1_Change();
            QCOMPARE(find<QLabel>("labHelp")->text(), s("Guidance Box - Warning"));
            QTest::mouseClick(find<QPushButton>("cmdMode1"), Qt::LeftButton);
            QCOMPARE(find<qt::ColourButton>("cmdMode1")->shownCaption(), s("Mode 1\nArmed"));
            if (qEnvironmentVariableIsSet("VELK_SCREENSHOTS"))
                m_form->grab().save(qEnvironmentVariable("VELK_SCREENSHOTS") + s("/") + s(name) +
                                    s(".png"));
            QTest::mouseClick(find<QPushButton>("cmdMode1"), Qt::LeftButton);
        }
        QApplication::setPalette(light);
        QCoreApplication::processEvents();
        QCOMPARE(find<QLabel>("Label4")->text(), s(text::notFlashCard));
        QCOMPARE(find<QLabel>("labHelp")->text(), s("Guidance Box"));
    }

    void closingTheWindowEndsTheProgramWithItsHelp() {
        m_form->show();
        m_form->Command3_Click();
        QVERIFY(m_form->helpWindow());
        QVERIFY(m_form->helpWindow()->isVisible());
        m_form->close();
        QVERIFY(m_form->handlers().ending());
        QVERIFY(!m_form->helpWindow()->isVisible());
    }
};

QTEST_MAIN(frmForm1Test)
#include "frmForm1Test.moc"
