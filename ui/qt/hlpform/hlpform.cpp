#include "hlpform.h"

#include "core/HelpTopic.h"
#include "core/TextFit.h"
#include "core/Texts.h"
#include "platform/HelpFolder.h"
#include "ui/qt/frmForm1/Layout.h"

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
    setWindowTitle(QString::fromUtf8(velk::text::helpCaption));
    setFixedSize(px(6180), px(4845));

    m_text1 = new QPlainTextEdit(this);
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setGeometry(twips(2040, 120, 3975, 4455));
    m_text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Tab leads on to the topic buttons rather than typing a tab into the text.
    m_text1->installEventFilter(this);

    static constexpr std::array<void (hlpform::*)(), velk::HelpTopic::count> handlers = {
        &hlpform::hbut1_Click, &hlpform::hbut2_Click, &hlpform::hbut3_Click,
        &hlpform::hbut4_Click, &hlpform::hbut5_Click, &hlpform::hbut6_Click,
        &hlpform::hbut7_Click, &hlpform::hbut8_Click, &hlpform::hbut9_Click,
    };
    QWidget* previous = m_text1;
    for (int i = 0; i < velk::HelpTopic::count; ++i) {
        auto* button = new QRadioButton(QString::fromUtf8(velk::text::helpTopics[i]), this);
        button->setObjectName(QStringLiteral("hbut%1").arg(i + 1));
        button->setGeometry(twips(120, 240 + 480 * i, 1815, 255));
        connect(button, &QRadioButton::clicked, this, handlers[static_cast<std::size_t>(i)]);
        button->installEventFilter(this);
        setTabOrder(previous, button);
        previous = button;
        m_hbut[static_cast<std::size_t>(i)] = button;
    }
    fitCaptions(m_hbut, px(1815));

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
            order[static_cast<std::size_t>((at + step) % static_cast<long>(order.size()))]->setFocus(
                key == Qt::Key_Tab ? Qt::TabFocusReason : Qt::BacktabFocusReason);
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
        Form_Load();
        show();
    } else if (isMinimized()) {
        showNormal();
    }
    raise();
    activateWindow();
}

void hlpform::Form_Load() {
    m_helpFolder = velk::helpFolder();
    chooseTopic(1);
    m_text1->setFocus();
}

void hlpform::hbut1_Click() {
    chooseTopic(1);
}
void hlpform::hbut2_Click() {
    chooseTopic(2);
}
void hlpform::hbut3_Click() {
    chooseTopic(3);
}
void hlpform::hbut4_Click() {
    chooseTopic(4);
}
void hlpform::hbut5_Click() {
    chooseTopic(5);
}
void hlpform::hbut6_Click() {
    chooseTopic(6);
}
void hlpform::hbut7_Click() {
    chooseTopic(7);
}
void hlpform::hbut8_Click() {
    chooseTopic(8);
}
void hlpform::hbut9_Click() {
    chooseTopic(9);
}

void hlpform::chooseTopic(int topic) {
    // The buttons are one exclusive group: checking one clears the other eight.
    m_hbut[static_cast<std::size_t>(topic - 1)]->setChecked(true);
    m_helpPath = m_helpFolder / velk::helpTopicFile(topic);
    dsphlp();
}

void hlpform::dsphlp() {
    const velk::HelpTopic topic = velk::readHelpTopic(m_helpPath);
    m_text1->setPlaceholderText(QString::fromStdString(topic.error));
    m_text1->setPlainText(qtText(topic.text));
}

} // namespace velk::qt
