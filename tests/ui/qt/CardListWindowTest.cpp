// Files dropped on the tracks list, "Load list from card", and the destination entries read
// in full, through the real window.
#include "core/Colours.h"
#include "support/CardIndex.h"
#include "support/FakeSystem.h"
#include "support/QtFiles.h"
#include "ui/qt/frmForm1/DriveList.h"
#include "ui/qt/frmForm1/FileDialog.h"
#include "ui/qt/frmForm1/frmForm1.h"
#include "ui/qt/widgets/OkMessageBox.h"

#include <QAbstractItemView>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QToolTip>
#include <QUrl>
#include <QtTest>

#include <memory>

using namespace velk;
using namespace velk::test;

namespace {

const char* const refusedEntry =
    "/dev/sdy  (card not mounted: Not authorized to perform operation)";

/// The card reader's entry reads as the Linux system words it, a refused mount to begin with.
class WordySystem : public test::FakeSystem {
public:
    std::vector<DriveEntry> drives() const override {
        auto out = FakeSystem::drives();
        for (DriveEntry& d : out)
            if (d.designation == "/dev/sdy")
                d.label = readerLabel;
        return out;
    }
    std::string readerLabel = refusedEntry;
};

} // namespace

class CardListWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_source;
    QTemporaryDir m_card;
    QTemporaryDir m_work;
    QString m_previous;
    WordySystem m_system;
    std::unique_ptr<qt::frmForm1> m_form;
    QStringList m_messages;

    template <typename T> T* find(const char* name) { return control<T>(*m_form, name); }
    QString guidance() { return find<QPlainTextEdit>("txtTEXT1")->toPlainText(); }

    void drop(const QStringList& paths, bool expectAccepted = true) {
        QWidget* target = find<QListWidget>("lstList1")->viewport();
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &enter);
        QCOMPARE(enter.isAccepted(), expectAccepted);
        if (!expectAccepted)
            return;
        QDropEvent dropped(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(target, &dropped);
        QVERIFY(dropped.isAccepted());
        QCOMPARE(dropped.dropAction(), Qt::CopyAction);
    }

private slots:
    void init() {
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_work.path());
        m_system.table.clear();
        m_system.order.clear();
        m_system.addFixed("/", "/");
        m_system.addCard("/dev/sdy", m_card.path().toStdString());
        m_system.current = "/";
        m_system.readerLabel = refusedEntry;
        m_messages.clear();
        qt::OkMessageBox::setAnswerer([this](const QString& message) { m_messages << message; });
        m_form = std::make_unique<qt::frmForm1>(m_system);
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        find<qt::DriveList>("Drive1")->setDrive(s("/dev/sdy"));
        m_form->handlers().Timer1_Timer();
        QCOMPARE(find<QWidget>("Label4")->property("backColour").toUInt(), colour::buttonFace);
    }
    void cleanup() {
        m_form.reset();
        qt::OkMessageBox::setAnswerer({});
        QDir::setCurrent(m_previous);
    }

    void dropThreeFilesOneOfThemText() {
        const QString a = m_source.filePath(s("intro.mp3"));
        const QString notes = m_source.filePath(s("notes.txt"));
        const QString b = m_source.filePath(s("beep.NVR"));
        writeBytes(a, "intro");
        writeBytes(notes, "not audio");
        writeBytes(b, "beep");
        drop({a, notes, b});
        auto* list = find<QListWidget>("lstList1");
        QCOMPARE(rows(list), (QStringList{s("intro.mp3"), s("beep.NVR")}));
        QCOMPARE(guidance(), s("Only .mp3 and .nvr files can be added - not added: notes.txt"));
        QCOMPARE(find<QWidget>("txtTEXT1")->property("backColour").toUInt(), colour::red);

        // Text dragged from an editor carries no file and is not taken.
        QMimeData text;
        text.setText(s("intro.mp3"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, {});
        QApplication::sendEvent(list->viewport(), &enter);
        QVERIFY(!enter.isAccepted());
        QCOMPARE(list->count(), 2);
    }

    void loadListFromCardByMenuAndShortcut() {
        writeBytes(m_card.filePath(s("INDEX123.VKM")),
                   QByteArray::fromStdString("\x02" + indexRecord(1, 2, "M0000001.MP3") +
                                             indexRecord(2, 1, "M0000002.MP3")));
        writeBytes(m_card.filePath(s("M0000001.MP3")), "first");
        writeBytes(m_card.filePath(s("M0000002.MP3")), "second");

        auto* list = find<QListWidget>("lstList1");
        QCOMPARE(list->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(list->actions().size(), 3);
        QAction* load = list->actions().first();
        QCOMPARE(load->text(), s("Load list from card"));
        QCOMPARE(load->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));

        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QTest::keyClick(find<QWidget>("cmdFinish"), Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(rows(list), (QStringList{s("M0000001.MP3"), s("M0000002.MP3")}));
        QCOMPARE(rows(find<QListWidget>("lstListMode")), (QStringList{s("2"), s("1")}));
        QVERIFY(m_messages.isEmpty());

        // A corrupted index is refused with its reason and leaves the list alone.
        writeBytes(m_card.filePath(s("INDEX123.VKM")),
                   QByteArray::fromStdString("\x03" + indexRecord(1, 0, "M0000001.MP3")));
        load->trigger();
        QCOMPARE(m_messages,
                 QStringList{QDir(m_card.path())
                                 .filePath(s("INDEX123.VKM"))
                                 .prepend(s("Loading the list from the MMC card failed: ")) +
                             s(": the INDEX file's count byte says 3 tracks, but it holds "
                               "records for 1")});
        QCOMPARE(rows(list), (QStringList{s("M0000001.MP3"), s("M0000002.MP3")}));
    }

    void saveAndOpenListByShortcuts() {
        const QString a = m_source.filePath(s("intro.mp3"));
        writeBytes(a, "intro");
        drop({a, a});
        const QString saved = m_work.filePath(s("tracks.txt"));
        QString chosen = saved;
        qt::FileDialog::setAnswerer([&](qt::FileDialog::Purpose) { return chosen; });
        auto* list = find<QListWidget>("lstList1");
        QCOMPARE(list->actions().at(1)->text(), s("Save list..."));
        QCOMPARE(list->actions().at(2)->text(), s("Open list..."));
        m_form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        QTest::keyClick(list, Qt::Key_S, Qt::ControlModifier);
        m_form->handlers().newbut_Click();
        QTest::keyClick(list, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(rows(list), (QStringList{s("intro.mp3"), s("intro.mp3")}));

        // A list past the card is refused with the window's text and changes nothing.
        const QString big = m_source.filePath(s("big.mp3"));
        writeBytes(big, "x");
        QFile::resize(big, 64'000'000);
        chosen = m_work.filePath(s("big.txt"));
        writeBytes(chosen, "0\t" + big.toUtf8() + "\n");
        QTest::keyClick(list, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(guidance(), s("Files exceed MMC card capacity"));
        QCOMPARE(rows(list), (QStringList{s("intro.mp3"), s("intro.mp3")}));
        qt::FileDialog::setAnswerer({});
    }

    // The chooser opens among the operator's documents, never in the folder the program
    // started in, which may hold help topics.
    void listChooserOpensInTheDocumentsFolder() {
        writeBytes(m_work.filePath(s("velkhlp1.txt")), "INTRODUCTION\r\n");
        QTemporaryDir config;
        const QString documents = config.filePath(s("Papers"));
        QVERIFY(QDir().mkpath(documents));
        writeBytes(config.filePath(s("user-dirs.dirs")),
                   "XDG_DOCUMENTS_DIR=\"" + documents.toUtf8() + "\"\n");
        const QByteArray before = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        QStringList shown;
        QTimer poll;
        connect(&poll, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                shown << dialog->directory().absolutePath();
                dialog->reject();
            }
        });
        poll.start(10);
        for (const auto purpose : {qt::FileDialog::Purpose::save, qt::FileDialog::Purpose::open})
            QCOMPARE(qt::FileDialog::ask(m_form.get(), purpose), QString());
        qputenv("XDG_CONFIG_HOME", before);
        QCOMPARE(shown, (QStringList{documents, documents}));
    }

    void theEntryFollowsTheCardWhenTheStatusChanges() {
        auto* drive = find<qt::DriveList>("Drive1");
        QCOMPARE(drive->currentText(), s(refusedEntry));
        m_system.readerLabel = "/dev/sdy  (no card)";
        m_form->handlers().Timer1_Timer();
        QCOMPARE(drive->currentText(), s(refusedEntry)); // the status did not change

        m_system.table["/dev/sdy"].space.reset();
        m_form->handlers().Timer1_Timer();
        QCOMPARE(find<QLabel>("Label4")->text(), s("Please insert MMC card"));
        QCOMPARE(drive->currentText(), s("/dev/sdy  (no card)"));
        QCOMPARE(drive->drive(), s("/dev/sdy"));
    }

    void aLongDestinationEntryCanBeReadInFull() {
        auto* drive = find<qt::DriveList>("Drive1");
        // Fusion sizes its pop-up to the entries by itself; the Windows look does not.
        std::unique_ptr<QStyle> windowsLook(QStyleFactory::create(s("Windows")));
        QVERIFY(windowsLook);
        drive->setStyle(windowsLook.get());
        drive->showPopup();
        QCOMPARE(drive->currentText(), s(refusedEntry));
        const int needed = drive->view()->fontMetrics().horizontalAdvance(s(refusedEntry));
        QVERIFY2(drive->view()->viewport()->width() >= needed,
                 qPrintable(QString::number(drive->view()->viewport()->width()) + u" < "_qs +
                            QString::number(needed)));
        QCOMPARE(drive->itemData(drive->currentIndex(), Qt::ToolTipRole).toString(),
                 s(refusedEntry));
        drive->hidePopup();
        drive->setStyle(nullptr);

        QCOMPARE(drive->toolTip(), s("Drive Letter for the MMC Card"));
        QHelpEvent hover(QEvent::ToolTip, QPoint(5, 5), drive->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(drive, &hover);
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), s("Drive Letter for the MMC Card\n") + s(refusedEntry));
    }
};

QTEST_MAIN(CardListWindowTest)
#include "CardListWindowTest.moc"
