#include "Form1Port.h"

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "core/AccessibleText.h"
#include "core/Form1Design.h"
#include "core/Texts.h"
#include "ui/qt/hlpform/hlpform.h"
#include "ui/qt/widgets/ColourButton.h"
#include "ui/qt/widgets/Layout.h"
#include "ui/qt/widgets/OkMessageBox.h"
#include "ui/qt/widgets/ProgressBar.h"
#include "ui/qt/widgets/StateLabel.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTimer>

#include <stdexcept>

namespace velk::qt {

namespace {

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

void announce(QWidget* w, QAccessible::Event change) {
    QAccessibleEvent event(w, change);
    QAccessible::updateAccessibility(&event);
}

// A state shown only by colour is told in words as well; an empty description lets a screen
// reader fall back to the tooltip.
void describeColour(QWidget* w, Control c, std::uint32_t colour) {
    const std::string_view meaning = colourMeaning(c, colour);
    const QString words = qtText(meaning);
    if (w->accessibleDescription() == words)
        return;
    w->setAccessibleDescription(words);
    announce(w, QAccessible::DescriptionChanged);
}

} // namespace

Form1Port::Form1Port(QWidget& window, const Form1Controls& controls)
    : m_window(window), m_c(controls) {
    for (int i = 0; i < controlCount; ++i)
        m_widgets[static_cast<std::size_t>(i)] =
            window.findChild<QWidget*>(qtText(nameOf(static_cast<Control>(i))));
}

QWidget* Form1Port::widget(Control c) const {
    QWidget* w = m_widgets.at(static_cast<std::size_t>(c));
    if (!w)
        throw std::invalid_argument("unknown control");
    return w;
}

QListWidget* Form1Port::list(Control c) const {
    auto* l = qobject_cast<QListWidget*>(widget(c));
    if (!l)
        throw std::invalid_argument("control is not a list");
    return l;
}

std::string Form1Port::text(Control c) const {
    switch (c) {
    case Control::txtTEXT1:
        return m_c.txtTEXT1->toPlainText().toStdString();
    case Control::drvDrive1:
        return m_c.drvDrive1->drive().toStdString();
    case Control::Drive1:
        return m_c.Drive1->drive().toStdString();
    case Control::Dir1:
        return m_c.Dir1->path().toStdString();
    case Control::File1:
        return m_c.File1->path().toStdString();
    case Control::File2:
        return m_c.File2->path().toStdString();
    case Control::Label4:
        return m_c.Label4->caption().toStdString();
    default:
        if (auto* label = qobject_cast<QLabel*>(widget(c)))
            return label->text().toStdString();
        if (auto* button = qobject_cast<QAbstractButton*>(widget(c)))
            return button->text().toStdString();
        return {};
    }
}

void Form1Port::setText(Control c, const std::string& value) {
    const QString v = q(value);
    switch (c) {
    case Control::txtTEXT1:
        // The monitor writes the same text ten times a second; only a change repaints.
        if (m_c.txtTEXT1->toPlainText() != v)
            m_c.txtTEXT1->setPlainText(v);
        return;
    case Control::drvDrive1:
        m_c.drvDrive1->setDrive(v);
        return;
    case Control::Drive1:
        m_c.Drive1->setDrive(v);
        return;
    case Control::Dir1:
        m_c.Dir1->setPath(v);
        return;
    case Control::File1:
        m_c.File1->setPath(v);
        return;
    case Control::File2:
        m_c.File2->setPath(v);
        return;
    case Control::Label4:
        if (m_c.Label4->caption() != v) {
            m_c.Label4->setCaption(v);
            announce(m_c.Label4, QAccessible::NameChanged);
        }
        return;
    default:
        if (auto* label = qobject_cast<QLabel*>(widget(c))) {
            if (label->text() != v) {
                label->setText(v);
                announce(label, QAccessible::NameChanged);
            }
        }
        return;
    }
}

std::uint32_t Form1Port::backColour(Control c) const {
    if (auto* button = qobject_cast<ColourButton*>(widget(c)))
        return button->backColour();
    return widget(c)->property("backColour").toUInt();
}

void Form1Port::setBackColour(Control c, std::uint32_t colour) {
    QWidget* w = widget(c);
    describeColour(w, c, colour);
    showWord(c, colour);
    if (auto* button = qobject_cast<ColourButton*>(w)) {
        button->setBackColour(colour);
        return;
    }
    if (w->property("backColour").toUInt() == colour && w->property("backColour").isValid())
        return;
    paintBack(w, c == Control::txtTEXT1 ? QPalette::Base : QPalette::Window, colour);
}

void Form1Port::showWord(Control c, std::uint32_t colour) {
    const QString word = m_inWords ? qtText(colourWord(c, colour)) : QString();
    // Words and caption share the box in the face of the step captions, Label7's.
    if (auto* button = qobject_cast<ColourButton*>(widget(c)))
        button->setWord(word, m_c.Label7->font());
    else if (c == Control::Label4)
        m_c.Label4->setWord(word, m_c.Label7->font());
    else if (c == Control::txtTEXT1)
        m_c.labHelp->setText(qtText(guidanceHeading(word.toStdString())));
}

void Form1Port::setColoursInWords(bool inWords) {
    m_inWords = inWords;
    for (const Control c : {Control::txtTEXT1, Control::Label4, Control::cmdDel, Control::cmdMode0,
                            Control::cmdMode1, Control::cmdMode2}) {
        const std::uint32_t colour = backColour(c);
        showWord(c, colour);
        // A system colour is looked up when painted: a new palette needs painting again.
        if (!qobject_cast<ColourButton*>(widget(c)))
            paintBack(widget(c), c == Control::txtTEXT1 ? QPalette::Base : QPalette::Window,
                      colour);
    }
}

bool Form1Port::isVisible(Control c) const {
    return !widget(c)->isHidden();
}

void Form1Port::setVisible(Control c, bool visible) {
    if (c == Control::Frame1)
        return visible ? ask() : endQuestion();
    widget(c)->setVisible(visible);
}

void Form1Port::ask() {
    if (!m_c.Frame1->isHidden())
        return;
    QWidget* focus = QApplication::focusWidget();
    if (!m_focusBefore && focus && m_window.isAncestorOf(focus))
        m_focusBefore = focus;
    for (const std::string_view name : coveredBy(wipeQuestion.frame)) {
        auto* covered = m_window.findChild<QWidget*>(qtText(name));
        m_covered.emplace_back(covered, covered->focusPolicy());
        covered->setFocusPolicy(Qt::NoFocus);
    }
    m_c.Frame1->show();
    m_c.Frame1->raise();
    std::vector<std::string> labels;
    for (const std::string_view name : labelsIn(wipeQuestion.frame))
        labels.push_back(m_window.findChild<QLabel*>(qtText(name))->text().toStdString());
    // The focus moving to the answer is what a screen reader speaks: the question goes with it.
    auto* answer = m_window.findChild<QWidget*>(qtText(wipeQuestion.safeAnswer));
    answer->setAccessibleDescription(
        qtText(questionWords(m_c.Frame1->title().toStdString(), labels)));
    answer->setFocus(Qt::OtherFocusReason);
}

void Form1Port::endQuestion() {
    m_window.findChild<QWidget*>(qtText(wipeQuestion.safeAnswer))->setAccessibleDescription({});
    m_c.Frame1->hide();
    for (const auto& [covered, policy] : m_covered)
        covered->setFocusPolicy(policy);
    m_covered.clear();
    m_focusMovedTo = QApplication::focusWidget();
    giveFocusBack();
}

void Form1Port::giveFocusBack() {
    if (!m_focusBefore || !m_focusBefore->isEnabled() || m_focusBefore->isHidden())
        return;
    if (QApplication::focusWidget() == m_focusMovedTo)
        m_focusBefore->setFocus(Qt::OtherFocusReason);
    m_focusBefore = nullptr;
}

int Form1Port::rowCount(Control c) const {
    return list(c)->count();
}

std::string Form1Port::rowText(Control c, int row) const {
    const QListWidgetItem* item = list(c)->item(row);
    return item ? item->text().toStdString() : std::string();
}

int Form1Port::selectedRow(Control c) const {
    const QListWidget* l = list(c);
    const QListWidgetItem* item = l->currentItem();
    return item && item->isSelected() ? l->row(item) : -1;
}

void Form1Port::addRow(Control c, const std::string& row) {
    list(c)->addItem(q(row));
}

void Form1Port::removeRow(Control c, int row) {
    delete list(c)->takeItem(row);
}

void Form1Port::clearRows(Control c) {
    list(c)->clear();
}

float Form1Port::progress() const {
    return m_c.ProgressBar1->exactValue();
}

void Form1Port::setProgress(float value) {
    m_c.ProgressBar1->setExactValue(value);
}

void Form1Port::setTimer(int intervalMs, bool enabled) {
    if (m_c.Timer1->interval() != intervalMs)
        m_c.Timer1->setInterval(intervalMs);
    if (enabled && !m_c.Timer1->isActive())
        m_c.Timer1->start();
    else if (!enabled)
        m_c.Timer1->stop();
}

void Form1Port::refresh(Control c) {
    if (auto* drives = qobject_cast<DriveList*>(widget(c)))
        drives->refresh();
}

void Form1Port::setEnabled(Control c, bool enabled) {
    QWidget* w = widget(c);
    // The Programme button that was pressed is locked until its run ends: it gets the focus back
    // then.
    const bool hadFocus = !enabled && w->hasFocus() && !m_focusBefore;
    w->setEnabled(enabled);
    if (hadFocus) {
        m_focusBefore = w;
        m_focusMovedTo = QApplication::focusWidget();
    }
    if (enabled && m_c.Frame1->isHidden())
        giveFocusBack();
}

bool Form1Port::isEnabled(Control c) const {
    return widget(c)->isEnabled();
}

bool Form1Port::yield() {
    QCoreApplication::processEvents();
    return !m_ending;
}

bool Form1Port::waitForEvents() {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return !m_ending;
}

void Form1Port::messageBox(const std::string& message) {
    OkMessageBox::show(&m_window, q(message));
}

void Form1Port::beep() {
    QApplication::beep();
}

void Form1Port::closeHelp() {
    if (auto* help = m_window.findChild<hlpform*>())
        help->close();
}

void Form1Port::quit() {
    m_ending = true;
    m_window.hide();
    QCoreApplication::exit(0);
}

} // namespace velk::qt
