#include "Form1Port.h"

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "OkMessageBox.h"
#include "core/AccessibleText.h"
#include "core/Form1Design.h"
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

} // namespace

Form1Port::Form1Port(Form1Controls& controls, const std::unique_ptr<hlpform>& helpWindow, Accessibility& access)
    : m_c(controls), m_helpWindow(helpWindow), m_access(access) {
    for (int i = 0; i < controlCount; ++i)
        m_controls[static_cast<std::size_t>(i)] = controls.find(nameOf(static_cast<Control>(i)));
}

Ctrl& Form1Port::control(Control c) const {
    Ctrl* found = m_controls.at(static_cast<std::size_t>(c));
    if (!found)
        throw std::invalid_argument("unknown control");
    return *found;
}

ListBoxCtrl& Form1Port::list(Control c) const {
    auto* rows = dynamic_cast<ListBoxCtrl*>(&control(c));
    if (!rows)
        throw std::invalid_argument("control is not a list");
    return *rows;
}

std::string Form1Port::text(Control c) const {
    switch (c) {
    case Control::txtTEXT1:
        return m_c.get<EditCtrl>("txtTEXT1").text();
    case Control::drvDrive1:
        return m_c.get<DriveList>("drvDrive1").drive();
    case Control::Drive1:
        return m_c.get<DriveList>("Drive1").drive();
    case Control::Dir1:
        return m_c.get<FolderList>("Dir1").path();
    case Control::File1:
        return m_c.get<FileList>("File1").path();
    case Control::File2:
        return m_c.get<FileList>("File2").path();
    case Control::Label4:
        return m_c.get<LabelCtrl>("Label4").caption();
    default: return control(c).text();
    }
}

void Form1Port::setText(Control c, const std::string& value) {
    switch (c) {
    case Control::txtTEXT1:
        // The monitor writes the same text ten times a second; only a change is spoken.
        if (m_c.get<EditCtrl>("txtTEXT1").text() != value) {
            m_c.get<EditCtrl>("txtTEXT1").setText(value);
            speakGuidance();
        }
        return;
    case Control::drvDrive1:
        m_c.get<DriveList>("drvDrive1").setDrive(value);
        return;
    case Control::Drive1:
        m_c.get<DriveList>("Drive1").setDrive(value);
        return;
    case Control::Dir1:
        m_c.get<FolderList>("Dir1").setPath(value);
        return;
    case Control::File1:
        m_c.get<FileList>("File1").setPath(value);
        return;
    case Control::File2:
        m_c.get<FileList>("File2").setPath(value);
        return;
    case Control::Label4:
        if (m_c.get<LabelCtrl>("Label4").caption() != value) {
            m_c.get<LabelCtrl>("Label4").setCaption(value);
            Accessibility::nameChanged(m_c.get<LabelCtrl>("Label4").hwnd());
            Accessibility::liveRegionChanged(m_c.get<LabelCtrl>("Label4").hwnd());
        }
        return;
    case Control::Label7:
    case Control::labCard: control(c).setText(value); return;
    default: return;
    }
}

std::uint32_t Form1Port::backColour(Control c) const {
    switch (c) {
    case Control::txtTEXT1:
        return m_c.get<EditCtrl>("txtTEXT1").backColour();
    case Control::Label4:
        return m_c.get<LabelCtrl>("Label4").backColour();
    case Control::Label7:
        return m_c.get<LabelCtrl>("Label7").backColour();
    case Control::Frame1:
        return m_c.get<FrameCtrl>("Frame1").backColour();
    case Control::cmdDel:
        return m_c.get<ColourButton>("cmdDel").backColour();
    case Control::cmdMode0:
        return m_c.get<ColourButton>("cmdMode0").backColour();
    case Control::cmdMode1:
        return m_c.get<ColourButton>("cmdMode1").backColour();
    case Control::cmdMode2:
        return m_c.get<ColourButton>("cmdMode2").backColour();
    default: return colour::buttonFace;
    }
}

void Form1Port::setBackColour(Control c, std::uint32_t colour) {
    const bool changed = backColour(c) != colour;
    switch (c) {
    case Control::txtTEXT1:
        m_c.get<EditCtrl>("txtTEXT1").setBackColour(colour);
        break;
    case Control::Label4:
        m_c.get<LabelCtrl>("Label4").setBackColour(colour);
        break;
    case Control::Label7:
        m_c.get<LabelCtrl>("Label7").setBackColour(colour);
        break;
    case Control::cmdDel:
        m_c.get<ColourButton>("cmdDel").setBackColour(colour);
        break;
    case Control::cmdMode0:
        m_c.get<ColourButton>("cmdMode0").setBackColour(colour);
        break;
    case Control::cmdMode1:
        m_c.get<ColourButton>("cmdMode1").setBackColour(colour);
        break;
    case Control::cmdMode2:
        m_c.get<ColourButton>("cmdMode2").setBackColour(colour);
        break;
    default: throw std::invalid_argument("control has no settable back colour");
    }
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
    const bool told = m_access.setDescription(control(c).hwnd(), meaning.empty() ? tooltipOf(c) : meaning);
    const std::string_view fallback = told ? std::string_view() : meaning;
    switch (c) {
    case Control::Label4:
        m_c.get<LabelCtrl>("Label4").setStateWords(fallback);
        return;
    case Control::cmdDel:
        m_c.get<ColourButton>("cmdDel").setStateWords(fallback);
        return;
    case Control::cmdMode0:
        m_c.get<ColourButton>("cmdMode0").setStateWords(fallback);
        return;
    case Control::cmdMode1:
        m_c.get<ColourButton>("cmdMode1").setStateWords(fallback);
        return;
    case Control::cmdMode2:
        m_c.get<ColourButton>("cmdMode2").setStateWords(fallback);
        return;
    default: return;
    }
}

void Form1Port::speakGuidance() {
    const std::string heading =
        guidanceHeading(colourWord(Control::txtTEXT1, m_c.get<EditCtrl>("txtTEXT1").backColour()));
    const std::string said = m_c.get<EditCtrl>("txtTEXT1").text();
    // A live region is spoken by its name: the heading and what the box says now.
    m_access.setName(m_c.get<EditCtrl>("txtTEXT1").hwnd(),
                     said.empty() ? heading : heading + text::runReasonSeparator + said);
    Accessibility::liveRegionChanged(m_c.get<EditCtrl>("txtTEXT1").hwnd());
}

void Form1Port::showWord(Control c, std::uint32_t colour) {
    if (!m_small)
        return;
    const std::string word(m_inWords ? colourWord(c, colour) : "");
    switch (c) {
    case Control::txtTEXT1:
        m_c.get<LabelCtrl>("labHelp").setText(guidanceHeading(word));
        return;
    case Control::Label4:
        m_c.get<LabelCtrl>("Label4").setWord(word, *m_small);
        return;
    case Control::cmdDel:
        m_c.get<ColourButton>("cmdDel").setWord(word, *m_small);
        return;
    case Control::cmdMode0:
        m_c.get<ColourButton>("cmdMode0").setWord(word, *m_small);
        return;
    case Control::cmdMode1:
        m_c.get<ColourButton>("cmdMode1").setWord(word, *m_small);
        return;
    case Control::cmdMode2:
        m_c.get<ColourButton>("cmdMode2").setWord(word, *m_small);
        return;
    default: return;
    }
}

void Form1Port::setColoursInWords(bool inWords, const Font& small) {
    m_inWords = inWords;
    m_small = &small;
    for (const Control c : {Control::txtTEXT1, Control::Label4, Control::cmdDel, Control::cmdMode0,
                            Control::cmdMode1, Control::cmdMode2}) {
        showWord(c, backColour(c));
        describe(c, backColour(c));
    }
    m_c.get<EditCtrl>("txtTEXT1").refreshColours();
    m_c.get<LabelCtrl>("Label4").refreshColours();
    for (ColourButton* b : {&m_c.get<ColourButton>("cmdDel"), &m_c.get<ColourButton>("cmdMode0"),
                            &m_c.get<ColourButton>("cmdMode1"), &m_c.get<ColourButton>("cmdMode2")})
        b->refreshColours();
}

bool Form1Port::isVisible(Control c) const { return control(c).isVisible(); }

void Form1Port::setVisible(Control c, bool visible) {
    if (c == Control::Frame1)
        return visible ? ask() : endQuestion();
    control(c).setVisible(visible);
}

void Form1Port::ask() {
    if (m_c.get<FrameCtrl>("Frame1").isVisible())
        return;
    if (const HWND focus = GetFocus(); !m_focusBefore && focus && IsChild(m_window, focus))
        m_focusBefore = focus;
    std::vector<HWND> covered;
    for (const std::string_view name : coveredBy(wipeQuestion.frame))
        covered.push_back(m_c.find(name)->hwnd());
    if (m_tabs)
        m_tabs->leaveOut(std::move(covered));
    m_c.get<FrameCtrl>("Frame1").show(true);
    std::vector<std::string> labels;
    for (const std::string_view name : labelsIn(wipeQuestion.frame))
        labels.push_back(m_c.find(name)->text());
    const std::string words = questionWords(m_c.get<FrameCtrl>("Frame1").text(), labels);
    // The frame is an alert that a reader speaks as it appears, and the focus moving to the
    // answer says the question again.
    m_access.setDescription(m_c.get<FrameCtrl>("Frame1").hwnd(), words);
    const HWND answer = m_c.find(wipeQuestion.safeAnswer)->hwnd();
    m_access.setDescription(answer, words);
    SetFocus(answer);
    Accessibility::alert(m_c.get<FrameCtrl>("Frame1").hwnd());
}

void Form1Port::endQuestion() {
    const Ctrl& answer = *m_c.find(wipeQuestion.safeAnswer);
    m_access.setDescription(answer.hwnd(), form1Control(answer.name()).tooltip);
    m_c.get<FrameCtrl>("Frame1").show(false);
    if (m_tabs)
        m_tabs->leaveOut({});
    m_focusMovedTo = GetFocus();
    giveFocusBack();
}

void Form1Port::giveFocusBack() {
    if (!m_focusBefore || !IsWindowEnabled(m_focusBefore) || !IsWindowVisible(m_focusBefore))
        return;
    if (GetFocus() == m_focusMovedTo)
        SetFocus(m_focusBefore);
    m_focusBefore = nullptr;
}

int Form1Port::rowCount(Control c) const { return list(c).count(); }

std::string Form1Port::rowText(Control c, int row) const { return list(c).row(row); }

int Form1Port::selectedRow(Control c) const { return list(c).selected(); }

void Form1Port::addRow(Control c, const std::string& row) { list(c).add(row); }

void Form1Port::removeRow(Control c, int row) { list(c).remove(row); }

void Form1Port::clearRows(Control c) { list(c).clear(); }

float Form1Port::progress() const {
    return m_c.get<ProgressCtrl>("ProgressBar1").value();
}

void Form1Port::setProgress(float value) {
    m_c.get<ProgressCtrl>("ProgressBar1").setValue(value);
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
    if (auto* drives = dynamic_cast<DriveList*>(&control(c)))
        drives->refresh();
}

void Form1Port::setEnabled(Control c, bool enabled) {
    const HWND w = control(c).hwnd();
    // The Programme button that was pressed is locked until its run ends: it gets the focus back then.
    const bool hadFocus = !enabled && GetFocus() == w && !m_focusBefore;
    control(c).setEnabled(enabled);
    if (hadFocus) {
        m_focusBefore = w;
        m_focusMovedTo = GetFocus();
    }
    if (enabled && !m_c.get<FrameCtrl>("Frame1").isVisible())
        giveFocusBack();
}

bool Form1Port::isEnabled(Control c) const { return control(c).isEnabled(); }

bool Form1Port::yield() { return MessagePump::drain() && !m_ending; }

bool Form1Port::waitForEvents() { return MessagePump::waitThenDrain() && !m_ending; }

void Form1Port::messageBox(const std::string& message) { OkMessageBox::show(m_window, message); }

void Form1Port::beep() { MessageBeep(MB_OK); }

void Form1Port::closeHelp() {
    if (m_helpWindow)
        m_helpWindow->close();
}

void Form1Port::showRun(RunShown shown, float percent) {
    if (!m_taskbar)
        return;
    switch (shown) {
    case RunShown::none: m_taskbar->show(TaskbarProgress::State::none, percent); return;
    case RunShown::progress: m_taskbar->show(TaskbarProgress::State::normal, percent); return;
    case RunShown::failed: m_taskbar->show(TaskbarProgress::State::error, percent); return;
    }
}

void Form1Port::quit() {
    m_ending = true;
    ShowWindow(m_window, SW_HIDE);
    PostQuitMessage(0);
}

} // namespace velk::win32
