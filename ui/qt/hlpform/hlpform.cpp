#include "hlpform.h"

#include "core/HelpDesign.h"
#include "core/TextFit.h"
#include "platform/HelpFolder.h"
#include "ui/qt/widgets/Guarded.h"
#include "ui/qt/widgets/Layout.h"

#include <QEvent>
#include <QFont>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <algorithm>

namespace velk::qt {

namespace {

// Each size is tried on the buttons themselves: a button's width hint counts its circle too.
void fitCaptions(const std::array<QRadioButton*, velk::HelpTopic::count>& buttons, int width) {
    QFont font = buttons.front()->font();
    const auto setSize = [&](double points) {
        font.setPointSizeF(points);
        for (QRadioButton* b : buttons)
            b->setFont(font);
    };
    setSize(velk::fittingPointSize(velk::helpCaptionSteps, width, [&](double points) {
        setSize(points);
        int widest = 0;
        for (const QRadioButton* b : buttons)
            widest = std::max(widest, b->sizeHint().width());
        return widest;
    }));
}

} // namespace

hlpform::hlpform(QWidget* owner) : QWidget(owner, Qt::Window) {
    setObjectName(QStringLiteral("hlpform"));
    setWindowTitle(qtText(velk::hlpformCaption));
    setFixedSize(px(velk::hlpformClient.width), px(velk::hlpformClient.height));

    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(qtText(velk::helpText.name));
    m_text1->setGeometry(pixels(velk::helpText.box));
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Tab leads on to the topic buttons rather than typing a tab into the text.
    m_text1->installEventFilter(this);

    QWidget* previous = m_text1;
    for (std::size_t i = 0; i < m_hbut.size(); ++i) {
        const velk::HelpControl& design = velk::helpButtons[i];
        auto* button = new QRadioButton(qtText(design.caption), this);
        button->setObjectName(qtText(design.name));
        button->setGeometry(pixels(design.box));
        connect(button, &QRadioButton::clicked, this,
                [this, click = velk::HelpHandlers::hbutClicks[i]] {
                    guarded(this, [this, click] { (m_handlers.*click)(); });
                });
        button->installEventFilter(this);
        setTabOrder(previous, button);
        previous = button;
        m_hbut[i] = button;
    }
    fitCaptions(m_hbut, px(velk::helpButtons[0].box.width));

    // A child window outlives its parent's close in Qt; an owned window must not.
    if (owner)
        owner->installEventFilter(this);
}

bool hlpform::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched->parent() == this) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* button = qobject_cast<QRadioButton*>(watched);
        // An option button takes only Space; Return chooses the topic too.
        if (button && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
        // Qt's Tab would reach only the chosen topic of the group; every topic is a stop.
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            std::array<QWidget*, velk::HelpTopic::count + 1> order{m_text1};
            std::copy(m_hbut.begin(), m_hbut.end(), order.begin() + 1);
            const auto at = std::find(order.begin(), order.end(), watched) - order.begin();
            const auto step = key == Qt::Key_Tab ? 1 : static_cast<long>(order.size()) - 1;
            order[static_cast<std::size_t>((at + step) % static_cast<long>(order.size()))]
                ->setFocus(key == Qt::Key_Tab ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    // Minimising sends a spontaneous hide; the window system minimises us along with it.
    if (watched == parent() && event->type() == QEvent::Hide && !event->spontaneous())
        close();
    return QWidget::eventFilter(watched, event);
}

void hlpform::display() {
    if (!isVisible()) {
        m_handlers.Form_Load(velk::helpFolder());
        m_text1->setFocus();
        show();
    } else if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
}

void hlpform::checkTopic(int topic) {
    // The buttons are one exclusive group: checking one clears the other eight.
    m_hbut.at(static_cast<std::size_t>(topic - 1))->setChecked(true);
}

void hlpform::showTopic(const std::string& text, const std::string& placeholder) {
    m_text1->setPlaceholderText(qtText(placeholder));
    m_text1->setPlainText(qtText(text));
}

} // namespace velk::qt
