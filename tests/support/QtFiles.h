#pragma once

// Small helpers of the Qt window tests: UTF-8 literals, controls by name, files written and
// read back, a list's rows.

#include <QByteArray>
#include <QFile>
#include <QListWidget>
#include <QString>
#include <QStringList>
#include <QtTest>

namespace velk::test {

inline QString s(const char* utf8) {
    return QString::fromUtf8(utf8);
}

/// The control of `window` named `name`; ends the test program when there is none.
template <typename T = QWidget> T* control(const QObject& window, const char* name) {
    T* w = window.findChild<T*>(s(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

inline QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline QStringList rows(const QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

} // namespace velk::test
