#pragma once

#include <QGroupBox>

#include <cstdint>

namespace velk::qt {

/// The red frame that asks before the card's files are deleted. Its look is a style sheet,
/// given when the frame first shows: styling it at start would load the style-sheet engine,
/// a good part of the window's start and memory, for a frame most sessions never show.
class WarningFrame : public QGroupBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(WarningFrame)
public:
    WarningFrame(const QString& title, std::uint32_t back, std::uint32_t captionColour,
                 QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;

private:
    std::uint32_t m_back;
    std::uint32_t m_captionColour;
};

} // namespace velk::qt
