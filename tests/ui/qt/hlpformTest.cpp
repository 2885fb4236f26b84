#include "ui/qt/hlpform/hlpform.h"
#include "core/Texts.h"
#include "support/QtFiles.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

#include <memory>

using velk::qt::hlpform;
using velk::test::s;

namespace {

// What each topic file holds in these tests, as bytes on disk and as the box shows it.
QByteArray topicBytes(int n, const char* where = "") {
    return QByteArray("Topic ") + QByteArray::number(n) + where + "\r\nsecond line of " +
           QByteArray::number(n) + "\r\n";
}
QString topicText(int n, const char* where = "") {
    return QString::fromLatin1(topicBytes(n, where)).replace(s("\r\n"), s("\n"));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

void writeTopics(const QString& folder, const char* where = "") {
    for (int n = 1; n <= 9; ++n)
        writeFile(folder + s("/velkhlp%1.txt").arg(n), topicBytes(n, where));
}

} // namespace

class hlpformTest : public QObject {
    Q_OBJECT

    QString m_previous;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_owner;
    hlpform* m_help = nullptr;

    QRadioButton* hbut(int n) {
        auto* b = m_help->findChild<QRadioButton*>(s("hbut%1").arg(n));
        if (!b)
            qFatal("no hbut%d", n);
        return b;
    }
    QPlainTextEdit* text1() {
        auto* t = m_help->findChild<QPlainTextEdit*>(s("Text1"));
        if (!t)
            qFatal("no Text1");
        return t;
    }
    // The radio indicator is inside every button's click area whatever its caption's width.
    void click(int n) { QTest::mouseClick(hbut(n), Qt::LeftButton, {}, QPoint(6, 8)); }
    int checkedTopic() {
        int found = 0;
        for (int n = 1; n <= 9; ++n)
            if (hbut(n)->isChecked())
                found = found ? -1 : n;
        return found;
    }
    QString topicPath(int n) const { return m_dir->filePath(s("velkhlp%1.txt").arg(n)); }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        writeTopics(m_dir->path());
        m_previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        m_owner = std::make_unique<QWidget>();
        m_owner->resize(506, 427);
        m_owner->show();
        m_help = new hlpform(m_owner.get());
    }
    void cleanup() {
        m_owner.reset();
        m_help = nullptr;
        QDir::setCurrent(m_previous);
        m_dir.reset();
    }

    void isLaidOutAsDesigned() {
        QCOMPARE(m_help->windowTitle(), s(velk::text::helpCaption));
        QVERIFY(m_help->isWindow());
        QCOMPARE(m_help->parentWidget(), m_owner.get());
        QCOMPARE(m_help->minimumSize(), QSize(412, 323));
        QCOMPARE(m_help->maximumSize(), QSize(412, 323));
        QCOMPARE(text1()->geometry(), QRect(136, 8, 265, 297));
        QCOMPARE(text1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(text1()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        QVERIFY(!text1()->isReadOnly());
        for (int n = 1; n <= 9; ++n) {
            QCOMPARE(hbut(n)->text(), s(velk::text::helpTopics[n - 1]));
            QCOMPARE(hbut(n)->geometry(), QRect(8, 16 + 32 * (n - 1), 121, 17));
            QVERIFY2(hbut(n)->sizeHint().width() <= 121, "caption cut off");
            QVERIFY(!hbut(n)->isChecked());
        }
        QWidget* expected[10] = {text1()};
        for (int n = 1; n <= 9; ++n)
            expected[n] = hbut(n);
        QWidget* w = text1();
        for (int i = 1; i < 10; ++i) {
            do
                w = w->nextInFocusChain();
            while (!(w->focusPolicy() & Qt::TabFocus));
            QCOMPARE(w, expected[i]);
        }
    }

    void creatingLoadsNothing() {
        QDir::setCurrent(m_previous);
        QTemporaryDir empty;
        QVERIFY(QDir::setCurrent(empty.path()));
        auto* other = new hlpform(m_owner.get());
        QVERIFY(!other->isVisible());
        QVERIFY(QDir(empty.path()).entryList(QDir::Files).isEmpty());
    }

    void displayShowsTopicOneFromTheCurrentFolder() {
        m_help->display();
        QVERIFY(m_help->isVisible());
        QCOMPARE(checkedTopic(), 1);
        QCOMPARE(text1()->toPlainText(), topicText(1));
        QCOMPARE(m_help->focusWidget(), text1());
        // Owned: the window system keeps it above the owner and minimises it with it.
        QVERIFY(m_help->windowHandle());
        QCOMPARE(m_help->windowHandle()->transientParent(), m_owner->windowHandle());
        // For a person to look at: VELK_SCREENSHOTS names a folder.
        if (qEnvironmentVariableIsSet("VELK_SCREENSHOTS"))
            m_help->grab().save(qEnvironmentVariable("VELK_SCREENSHOTS") + s("/qt-help.png"));
    }

    void eachButtonShowsItsTopic() {
        m_help->display();
        for (int n : {9, 2, 3, 4, 5, 6, 7, 8, 1}) {
            click(n);
            QCOMPARE(checkedTopic(), n);
            QCOMPARE(text1()->toPlainText(), topicText(n));
        }
    }

    void displayWhileOpenKeepsTopicAndTypedText() {
        m_help->display();
        click(3);
        QTest::keyClicks(text1(), s("typed"));
        const QString shown = text1()->toPlainText();
        QVERIFY(shown.contains(s("typed")));
        writeTopics(m_dir->path(), " changed");
        m_help->display();
        QVERIFY(m_help->isVisible());
        QCOMPARE(checkedTopic(), 3);
        QCOMPARE(text1()->toPlainText(), shown);
    }

    void afterCloseDisplayLoadsAgainFromTheNewFolder() {
        m_help->display();
        click(3);
        QTemporaryDir second;
        writeTopics(second.path(), " second");
        QVERIFY(QDir::setCurrent(second.path()));
        QVERIFY(m_help->close());
        QVERIFY(!m_help->isVisible());
        m_help->display();
        QVERIFY(m_help->isVisible());
        QCOMPARE(checkedTopic(), 1);
        QCOMPARE(text1()->toPlainText(), topicText(1, " second"));
        QCOMPARE(m_owner->findChildren<hlpform*>().size(), 1);
    }

    // Why a topic cannot be shown stands in the empty box; the next topic's text replaces it.
    void aMissingTopicSaysSoInTheBox() {
        QVERIFY(QFile::remove(topicPath(4)));
        m_help->display();
        click(4);
        QCOMPARE(text1()->toPlainText(), QString());
        QCOMPARE(text1()->placeholderText(), s(velk::text::helpNotFound) + topicPath(4));
        click(5);
        QCOMPARE(text1()->toPlainText(), topicText(5));
        QVERIFY(text1()->placeholderText().isEmpty());
    }

    void closingTheOwnerClosesHelp() {
        m_help->display();
        QVERIFY(m_help->isVisible());
        QVERIFY(m_owner->close());
        QVERIFY(!m_help->isVisible());
    }
};

QTEST_MAIN(hlpformTest)
#include "hlpformTest.moc"
