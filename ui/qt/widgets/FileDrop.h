#pragma once

#include <QObject>
#include <QStringList>

class QWidget;

namespace velk::qt {

/// Lets a widget take files dragged from a file manager: the drag is accepted when it
/// carries at least one local file, and the drop hands on every local file, in order.
class FileDrop : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileDrop)
public:
    /// `target` receives the drag events: the viewport of a list, not the list itself.
    explicit FileDrop(QWidget* target);

signals:
    /// Full paths of the files dropped, in the order the file manager gave them.
    void dropped(const QStringList& paths);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace velk::qt
