#include "support/QtFiles.h"
#include "core/Colours.h"
#include "core/Texts.h"
#include "support/FakeSystem.h"
#include "ui/qt/frmForm1/ColourButton.h"
#include "ui/qt/frmForm1/DriveList.h"
#include "ui/qt/frmForm1/FileList.h"
#include "ui/qt/frmForm1/FolderList.h"
#include "ui/qt/frmForm1/ProgressBar.h"
#include "ui/qt/frmForm1/WrapLabel.h"
#include "ui/qt/frmForm1/frmForm1.h"
#include "ui/qt/hlpform/hlpform.h"

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
using velk::ui::frmForm1;

namespace {

void touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
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
        QCOMPARE(find<ui::ProgressBar>("ProgressBar1")->exactValue(), 0.0f);
        for (const char* list : {"lstList1", "lstList2", "lstListMode"})
            QCOMPARE(find<QListWidget>(list)->count(), 0);
        QCOMPARE(find<ui::DriveList>("drvDrive1")->drive(), s("/"));
        QCOMPARE(find<ui::DriveList>("Drive1")->drive(), s("/"));
        QCOMPARE(find<ui::FolderList>("Dir1")->path(), QDir(m_dir.path()).canonicalPath());
        auto* files = find<ui::FileList>("File1");
        QCOMPARE(files->path(), QDir(m_dir.path()).canonicalPath());
        QCOMPARE(files->count(), 2);
        QCOMPARE(files->item(0)->text(), s("a.mp3"));
        QCOMPARE(files->item(1)->text(), s("B.NVR"));
        QCOMPARE(m_form->focusWidget(), find<QWidget>("Dir1"));
        QCOMPARE(find<QLabel>("Image1")->pixmap().size(), QSize(320, 240));
        auto* timer = find<QTimer>("Timer1");
        QCOMPARE(timer->interval(), 100);
        QVERIFY(timer->isActive());
        for (const char* button : {"cmdDel", "cmdMode0", "cmdMode1", "cmdMode2"})
            QCOMPARE(find<ui::ColourButton>(button)->backColour(), colour::buttonFace);
        for (QPushButton* b : m_form->findChildren<QPushButton*>()) {
            QVERIFY2(!b->isDefault() && !b->autoDefault(), qPrintable(b->objectName()));
            QVERIFY2(!b->text().contains(QLatin1Char('&')), qPrintable(b->objectName()));
        }
    }

    void controlsSitWhereDesigned_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        const struct {
            const char* name;
            QRect box;
            const char* caption;
            const char* tip;
        } rows[] = {
            {"Label6", {480, 195, 2895, 255}, "Message File Selection", ""},
            {"labSourceDrive", {240, 480, 1815, 255}, "Source Drive", ""},
            {"drvDrive1", {240, 720, 1815, 315}, "", "select a source disc drive"},
            {"labLabel_folder1", {240, 1080, 1815, 255}, "Source Folder", ""},
            {"Dir1", {240, 1320, 1815, 1665}, "", "select a source folder"},
            {"labSourceFile", {2160, 480, 1815, 255}, "Source File", ""},
            {"File1", {2160, 720, 1815, 2235}, "", "select a source file"},
            {"Label2", {240, 3120, 1815, 255}, "Destination Drive", ""},
            {"Drive1", {240, 3360, 1815, 315}, "", "Drive Letter for the MMC Card"},
            {"Label4", {240, 3720, 1815, 735}, "", ""},
            {"Image1", {2160, 3120, 1815, 1335}, "", nullptr},
            {"Frame1", {480, 480, 3375, 3615}, "", ""},
            {"File2", {120, 360, 3135, 1845}, "", "List of Files in the ROOT Directory of the Destination Drive"},
            {"Label3", {120, 2280, 3135, 615}, text::deleteWarning, ""},
            {"Command1", {120, 3000, 975, 375}, "O.K.", "Click to Delete All Files in the ROOT Directory of the Destination Drive"},
            {"Command2", {2280, 3000, 975, 375}, "CANCEL", "Cancel the Delete and Download Operation"},
            {"Command3", {120, 4680, 1215, 615}, "HELP", "Display the HELP screen"},
            {"cmdFinish", {120, 5400, 1215, 855}, "Programme MMC Card", "download files to MMC"},
            {"Label7", {1440, 4680, 2655, 375}, "", ""},
            {"ProgressBar1", {1440, 5040, 2655, 255}, "", ""},
            {"labHelp", {1440, 5400, 2655, 255}, "Guidance Box", ""},
            {"txtTEXT1", {1440, 5640, 2655, 615}, "", "guidance info"},
            {"Shape1", {4320, 120, 3135, 3975}, "", ""},
            {"Shape2", {4320, 4080, 2175, 2175}, "", ""},
            {"Shape3", {120, 120, 3975, 4455}, "", ""},
            {"Label5", {5040, 195, 1695, 255}, "Message Tracks List", ""},
            {"labLabel_Track", {4440, 446, 615, 255}, "Track", ""},
            {"labOutLIst", {5160, 446, 1575, 255}, "File Name", ""},
            {"labLabelMode", {6840, 446, 495, 255}, "Mode", ""},
            {"lstList2", {4560, 720, 375, 3180}, "", "track number"},
            {"lstList1", {5160, 720, 1575, 3180}, "", "Mpeg play list"},
            {"lstListMode", {6960, 720, 255, 3180}, "", "mode for this track"},
            {"labNodeSet", {4440, 4145, 1935, 255}, "Mode set buttons", ""},
            {"cmdMode0", {4440, 4440, 615, 495}, "Mode 0", "sets track for uninterrupted play"},
            {"labUninterrupt", {5040, 4440, 1335, 495}, "Uninterrupted (default)", ""},
            {"cmdMode1", {4440, 5040, 615, 495}, "Mode 1", "track play may be interrupted"},
            {"labInterrupt", {5040, 5040, 1335, 495}, "Interrupted", ""},
            {"cmdMode2", {4440, 5640, 615, 495}, "Mode 2", "track will play only when button is held down"},
            {"labPlayButton", {5040, 5640, 1335, 495}, "Play while button pressed", ""},
            {"Label1", {6600, 4145, 735, 255}, "Edit List", ""},
            {"cmdDel", {6646, 4440, 615, 495}, "Delete", "Delete item from Tracks List"},
            {"newbut", {6646, 5040, 615, 495}, "New", "Clear Message Tracks List"},
            {"quit1", {6720, 5760, 495, 375}, "Quit", "Quit program"},
        };
        for (const auto& r : rows)
            QTest::newRow(r.name) << s(r.name) << r.box << s(r.caption) << (r.tip ? s(r.tip) : QString(QChar(1)));
    }

    void controlsSitWhereDesigned() {
        QFETCH(QString, name);
        QFETCH(QRect, twips);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        auto* w = m_form->findChild<QWidget*>(name);
        QVERIFY2(w, qPrintable(name));
        const auto px = [](int t) { return (t * 2 + 15) / 30; };
        QCOMPARE(w->geometry(), QRect(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height())));
        if (auto* label = qobject_cast<QLabel*>(w); label && name != s("Image1"))
            QCOMPARE(label->text(), caption);
        if (auto* button = qobject_cast<QAbstractButton*>(w))
            QCOMPARE(button->text(), caption);
        if (tip != QString(QChar(1)))
            QCOMPARE(w->toolTip(), tip);
        else
            QVERIFY(!w->toolTip().isEmpty());
    }

    void frameHoldsItsControlsAndCaption() {
        auto* frame = find<QGroupBox>("Frame1");
        QCOMPARE(frame->title(), s("Deleting Existing Files"));
        QCOMPARE(frame->property("backColour").toUInt(), colour::red);
        for (const char* inside : {"File2", "Label3", "Command1", "Command2"})
            QCOMPARE(find<QWidget>(inside)->parentWidget(), frame);
    }

    void monitorShowsTheThreeStates() {
        auto* drive = find<ui::DriveList>("Drive1");
        m_form->Timer1_Timer();
        QCOMPARE(label4(), s(text::notFlashCard));
        QCOMPARE(colourOf("Label4"), colour::red);
        QCOMPARE(find<QPlainTextEdit>("txtTEXT1")->toPlainText(), s(text::selectDestination));

        drive->setDrive(s("/dev/sdz"));
        m_form->Timer1_Timer();
        QCOMPARE(label4(), s(text::insertCard));
        QCOMPARE(colourOf("Label4"), colour::red);
        QCOMPARE(find<QPlainTextEdit>("txtTEXT1")->toPlainText(), s(text::insertCard));

        drive->setDrive(s("/dev/sdy"));
        m_form->Timer1_Timer();
        QCOMPARE(label4(), s("Removeable Drive   Capacity =  64MBytes"));
        QCOMPARE(colourOf("Label4"), colour::buttonFace);
        QCOMPARE(find<QPlainTextEdit>("txtTEXT1")->toPlainText(), s(text::selectSource));
        QCOMPARE(m_form->state().cardBytes, 63'438'000);
    }

    void timerDrivesTheMonitor() {
        find<ui::DriveList>("Drive1")->setDrive(s("/dev/sdy"));
        QTRY_COMPARE_WITH_TIMEOUT(colourOf("Label4"), colour::buttonFace, 2000);
    }

    void quitEndsTheProgram() {
        m_form->show();
        QTest::mouseClick(find<QPushButton>("quit1"), Qt::LeftButton);
        QVERIFY(m_form->ending());
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
            s(text::removeCardPrefix) + s("2147483647") + s(text::removeCardSuffix),
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
        auto* label = qobject_cast<ui::WrapLabel*>(find<QLabel>("Label7"));
        QVERIFY(label);
        const QString twoLines = s(text::copyingPrefix) + s("/home/operator/Musik/Ansagen/Empfang.mp3");
        label->setText(twoLines);
        QVERIFY(QFontMetrics(label->font()).horizontalAdvance(twoLines) > label->contentsRect().width());
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

    void closingTheWindowEndsTheProgramWithItsHelp() {
        m_form->show();
        m_form->Command3_Click();
        QVERIFY(m_form->helpWindow());
        QVERIFY(m_form->helpWindow()->isVisible());
        m_form->close();
        QVERIFY(m_form->ending());
        QVERIFY(!m_form->helpWindow()->isVisible());
    }
};

QTEST_MAIN(frmForm1Test)
#include "frmForm1Test.moc"
