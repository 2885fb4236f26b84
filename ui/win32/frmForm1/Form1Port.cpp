#include "Form1Port.h"

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "OkMessageBox.h"
#include "core/AccessibleText.h"
#include "core/Colours.h"
#include "core/Form1Design.h"
#include "core/ProgressShown.h"
#include "core/Texts.h"
#include "ui/win32/hlpform/hlpform.h"
#include "ui/win32/wingui/ColourButton.h"
#include "ui/win32/wingui/EditCtrl.h"
#include "ui/win32/wingui/FrameCtrl.h"
#include "ui/win32/wingui/LabelCtrl.h"
#include "ui/win32/wingui/MessagePump.h"
#include "ui/win32/wingui/ProgressCtrl.h"

#include <stdexcept>

namespace velk::win32 {

namespace {

const char* tooltipOf(Control c) {
    const char* tip = form1Control(nameOf(c)).tooltip;
    return tip ? tip : "";
}

// What a property means for a control follows from its kind, as the design made it.
template <typename T> T* as(Ctrl& c) {
    return dynamic_cast<T*>(&c);
}

} // namespace

Form1Port::Form1Port(Form1Controls& controls, const std::unique_ptr<hlpform>& helpWindow,
                     Accessibility& access)
    : m_c(controls), m_helpWindow(helpWindow), m_access(access) {
    for (int i = 0; i < controlCount; ++i)
        m_controls[static_cast<std::size_t>(i)] = &controls.get(nameOf(static_cast<Control>(i)));
}

Ctrl& Form1Port::control(Control c) const {
    return *m_controls.at(static_cast<std::size_t>(c));
}

ListBoxCtrl& Form1Port::list(Control c) const {
    auto* rows = as<ListBoxCtrl>(control(c));
    if (!rows)
        throw std::invalid_argument("control is not a list");
    return *rows;
}

EditCtrl& Form1Port::guidance() const {
    return m_c.get<EditCtrl>(nameOf(Control::txtTEXT1));
}

std::string Form1Port::text(Control c) const {
    Ctrl& w = control(c);
    if (const auto* edit = as<EditCtrl>(w))
        return edit->text();
    if (const auto* drives = as<DriveList>(w))
        return drives->drive();
    if (const auto* folders = as<FolderList>(w))
        return folders->path();
    if (const auto* files = as<FileList>(w))
        return files->path();
    if (const auto* label = as<LabelCtrl>(w))
        return label->caption();
    // The window texts of these may carry words for a screen reader that no one sees.
    if (const auto* button = as<ColourButton>(w))
        return button->caption();
    if (as<ListBoxCtrl>(w))
        return {};
    return w.text();
}

void Form1Port::setText(Control c, const std::string& value) {
    Ctrl& w = control(c);
    if (auto* edit = as<EditCtrl>(w)) {
        // The monitor writes the same text ten times a second; only a change is spoken.
        if (edit->text() != value) {
            edit->setText(value);
            speakGuidance();
        }
    } else if (auto* drives = as<DriveList>(w)) {
        drives->setDrive(value);
    } else if (auto* folders = as<FolderList>(w)) {
        folders->setPath(value);
    } else if (auto* files = as<FileList>(w)) {
        files->setPath(value);
    } else if (auto* label = as<LabelCtrl>(w); label && label->caption() != value) {
        label->setCaption(value);
        Accessibility::nameChanged(w.hwnd());
        // Spoken where the label is a live region, as Label4 is.
        Accessibility::liveRegionChanged(w.hwnd());
    }
}

std::uint32_t Form1Port::backColour(Control c) const {
    Ctrl& w = control(c);
    if (const auto* label = as<LabelCtrl>(w))
        return label->backColour();
    if (const auto* edit = as<EditCtrl>(w))
        return edit->backColour();
    if (const auto* button = as<ColourButton>(w))
        return button->backColour();
    if (const auto* frame = as<FrameCtrl>(w))
        return frame->backColour();
    if (const auto* rows = as<ListBoxCtrl>(w))
        return rows->backColour();
    return colour::buttonFace;
}

void Form1Port::setBackColour(Control c, std::uint32_t colour) {
    const bool changed = backColour(c) != colour;
    Ctrl& w = control(c);
    if (auto* label = as<LabelCtrl>(w))
        label->setBackColour(colour);
    else if (auto* edit = as<EditCtrl>(w))
        edit->setBackColour(colour);
    else if (auto* button = as<ColourButton>(w))
        button->setBackColour(colour);
    else if (auto* frame = as<FrameCtrl>(w))
        frame->setBackColour(colour);
    else if (auto* rows = as<ListBoxCtrl>(w))
        rows->setBackColour(colour);
    else
        throw std::invalid_argument(w.name() + " shows no back colour");
    if (!changed)
        return;
    showWord(c, colour);
    describe(c, colour);
}

void Form1Port::describe(Control c, std::uint32_t colour) {
    if (c == Control::txtTEXT1)
        return speakGuidance();
    const std::string meaning(colourMeaning(c, colour));
    // With no state to tell, a reader falls back on what the tooltip says.
    const bool told =
        m_access.setDescription(control(c).hwnd(), meaning.empty() ? tooltipOf(c) : meaning);
    const std::string_view fallback = told ? std::string_view() : meaning;
    if (auto* label = as<LabelCtrl>(control(c)))
        label->setStateWords(fallback, text::stateSeparator);
    else if (auto* button = as<ColourButton>(control(c)))
        button->setStateWords(fallback, text::stateSeparator);
}

void Form1Port::speakGuidance() {
    EditCtrl& box = guidance();
    const std::string heading = guidanceHeading(colourWord(Control::txtTEXT1, box.backColour()));
    const std::string said = box.text();
    // A live region is spoken by its name: the heading and what the box says now.
    m_access.setName(box.hwnd(),
                     said.empty() ? heading : heading + text::runReasonSeparator + said);
    Accessibility::liveRegionChanged(box.hwnd());
}

void Form1Port::showWord(Control c, std::uint32_t colour) {
    if (!m_small)
        return;
    const std::string word(m_inWords ? colourWord(c, colour) : "");
    if (c == Control::txtTEXT1)
        m_c.get<LabelCtrl>("labHelp").setText(guidanceHeading(word));
    else if (auto* label = as<LabelCtrl>(control(c)))
        label->setWord(word, *m_small);
    else if (auto* button = as<ColourButton>(control(c)))
        button->setWord(word, *m_small);
}

void Form1Port::setColoursInWords(bool inWords, const Font& small) {
    m_inWords = inWords;
    m_small = &small;
    for (const Control c : {Control::txtTEXT1, Control::Label4, Control::cmdDel, Control::cmdMode0,
                            Control::cmdMode1, Control::cmdMode2}) {
        showWord(c, backColour(c));
        describe(c, backColour(c));
    }
    // A system colour is looked up when its brush is made: a new scheme needs new brushes.
    for (Ctrl* c : m_controls) {
        if (auto* label = as<LabelCtrl>(*c))
            label->refreshColours();
        else if (auto* edit = as<EditCtrl>(*c))
            edit->refreshColours();
        else if (auto* button = as<ColourButton>(*c))
            button->refreshColours();
    }
}

bool Form1Port::isVisible(Control c) const {
    return control(c).isVisible();
}

void Form1Port::setVisible(Control c, bool visible) {
    if (c == Control::Frame1)
        return visible ? ask() : endQuestion();
    control(c).setVisible(visible);
}

void Form1Port::ask() {
    if (frame().isVisible())
        return;
    if (const HWND focus = GetFocus(); !m_focusBefore && focus && IsChild(m_window, focus))
        m_focusBefore = focus;
    std::vector<HWND> covered;
    for (const std::string_view name : coveredBy(wipeQuestion.frame))
        covered.push_back(m_c.get(name).hwnd());
    if (m_tabs)
        m_tabs->leaveOut(std::move(covered));
    frame().show(true);
    std::vector<std::string> labels;
    for (const std::string_view name : labelsIn(wipeQuestion.frame))
        labels.push_back(m_c.get(name).text());
    const std::string words = questionWords(frame().text(), labels);
    // The frame is an alert that a reader speaks as it appears, and the focus moving to the
    // answer says the question again.
    m_access.setDescription(frame().hwnd(), words);
    const HWND answer = m_c.get(wipeQuestion.safeAnswer).hwnd();
    m_access.setDescription(answer, words);
    SetFocus(answer);
    Accessibility::alert(frame().hwnd());
}

void Form1Port::endQuestion() {
    const Ctrl& answer = m_c.get(wipeQuestion.safeAnswer);
    m_access.setDescription(answer.hwnd(), form1Control(answer.name()).tooltip);
    frame().show(false);
    if (m_tabs)
        m_tabs->leaveOut({});
    m_focusMovedTo = GetFocus();
    giveFocusBack();
}

FrameCtrl& Form1Port::frame() const {
    return m_c.get<FrameCtrl>(wipeQuestion.frame);
}

ProgressCtrl& Form1Port::bar() const {
    return m_c.get<ProgressCtrl>("ProgressBar1");
}

void Form1Port::giveFocusBack() {
    if (!m_focusBefore || !IsWindowEnabled(m_focusBefore) || !IsWindowVisible(m_focusBefore))
        return;
    if (GetFocus() == m_focusMovedTo)
        SetFocus(m_focusBefore);
    m_focusBefore = nullptr;
}

int Form1Port::rowCount(Control c) const {
    return list(c).count();
}

std::string Form1Port::rowText(Control c, int row) const {
    return list(c).row(row);
}

int Form1Port::selectedRow(Control c) const {
    return list(c).selected();
}

void Form1Port::addRow(Control c, const std::string& row) {
    list(c).add(row);
}

void Form1Port::removeRow(Control c, int row) {
    list(c).remove(row);
}

void Form1Port::clearRows(Control c) {
    list(c).clear();
}

float Form1Port::progress() const {
    return bar().value();
}

void Form1Port::setProgress(float value) {
    bar().setValue(value, progressShown(value));
}

void Form1Port::setTimer(int intervalMs, bool enabled) {
    m_interval = intervalMs;
    m_timerOn = enabled && intervalMs > 0;
    if (m_timerOn)
        SetTimer(m_window, timerId, static_cast<UINT>(intervalMs), nullptr);
    else
        KillTimer(m_window, timerId);
}

void Form1Port::refresh(Control c) {
    if (auto* drives = as<DriveList>(control(c)))
        drives->refresh();
}

void Form1Port::setEnabled(Control c, bool enabled) {
    const HWND w = control(c).hwnd();
    // The Programme button that was pressed is locked until its run ends: it gets the focus back
    // then.
    const bool hadFocus = !enabled && GetFocus() == w && !m_focusBefore;
    control(c).setEnabled(enabled);
    if (hadFocus) {
        m_focusBefore = w;
        m_focusMovedTo = GetFocus();
    }
    if (enabled && !frame().isVisible())
        giveFocusBack();
}

bool Form1Port::isEnabled(Control c) const {
    return control(c).isEnabled();
}

bool Form1Port::yield() {
    return MessagePump::drain() && !m_ending;
}

bool Form1Port::waitForEvents() {
    return MessagePump::waitThenDrain() && !m_ending;
}

void Form1Port::messageBox(const std::string& message) {
    OkMessageBox::show(m_window, message);
}

void Form1Port::beep() {
    MessageBeep(MB_OK);
}

void Form1Port::closeHelp() {
    if (m_helpWindow)
        m_helpWindow->close();
}

void Form1Port::showRun(RunShown shown, float percent) {
    if (!m_taskbar)
        return;
    switch (shown) {
    case RunShown::none:
        m_taskbar->show(TaskbarProgress::State::none, percent);
        return;
    case RunShown::progress:
        m_taskbar->show(TaskbarProgress::State::normal, percent);
        return;
    case RunShown::failed:
        m_taskbar->show(TaskbarProgress::State::error, percent);
        return;
    }
}

void Form1Port::quit() {
    m_ending = true;
    ShowWindow(m_window, SW_HIDE);
    PostQuitMessage(0);
}

} // namespace velk::win32
