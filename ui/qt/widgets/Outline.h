#pragma once

#include <QWidget>

namespace velk::qt {

/// A rectangle outline or a straight line drawn on the window surface, 3 px wide in the
/// window-text colour. It takes no input and lies beneath the controls.
class Outline : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Outline)
public:
    /// A rectangle whose outer edge is `box`.
    static Outline* rectangle(const QRect& box, QWidget* parent);
    /// A horizontal or vertical line between two points.
    static Outline* line(QPoint from, QPoint to, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Outline(bool isLine, QWidget* parent);
    bool m_isLine;
};

} // namespace velk::qt
