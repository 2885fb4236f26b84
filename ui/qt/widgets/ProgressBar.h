#pragma once

#include <QProgressBar>

namespace velk::qt {

/// A 0 to 100 bar that keeps the exact value it was given; only the drawing rounds.
class ProgressBar : public QProgressBar {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ProgressBar)
public:
    explicit ProgressBar(QWidget* parent);

    [[nodiscard]] float exactValue() const { return m_value; }
    void setExactValue(float value);

private:
    static constexpr int steps = 1000; // drawn in tenths of a per cent
    float m_value = 0.0f;
};

} // namespace velk::qt
