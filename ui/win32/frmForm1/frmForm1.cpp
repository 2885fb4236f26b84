#include "frmForm1.h"

#include "FileDialog.h"

#include "core/AccessibleText.h"
#include "core/Texts.h"
#include "ui/win32/hlpform/hlpform.h"
#include "ui/win32/wingui/Guarded.h"
#include "ui/win32/wingui/PopupMenu.h"
#include "ui/win32/wingui/ShutdownBlock.h"
#include "ui/win32/wingui/Text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace velk::win {

namespace {

constexpr const wchar_t* windowClass = L"VelkForm1";
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int clientWidth = 7590;
constexpr int clientHeight = 6405;
// The client area opens just inside the border and title bar of a window at the screen's corner.
constexpr int clientLeft = 60;
constexpr int clientTop = 345;

// The rectangles and lines drawn on the window surface, beneath every control.
constexpr Twips shapes[] = {
    {120, 120, 3975, 4455},  // Shape3, area 1
    {4320, 120, 3135, 3975}, // Shape1, area 3
    {4320, 4080, 2175, 2175}, // Shape2, area 4
};
struct LineTwips {
    POINT from;
    POINT to;
};
constexpr LineTwips lines[] = {
    {{120, 3048}, {4080, 3048}},  // Line1
    {{7440, 5576}, {7440, 4080}}, // Line2
    {{6480, 5576}, {7440, 5576}}, // Line3
};

std::string currentFolder() {
    std::error_code ec;
    const std::u8string here = std::filesystem::current_path(ec).u8string();
    return {here.begin(), here.end()};
}

} // namespace

frmForm1::frmForm1(const SystemPort& system)
    : m_system(system),
      m_c(system),
      m_port(m_c),
      m_tracks(m_state, m_port),
      m_editor(m_state, m_port, m_tracks),
      m_browser(m_port, m_system),
      m_monitor(m_state, m_port, m_system),
      m_run(m_state, m_port, m_system),
      m_loader(m_state, m_port, m_system, m_tracks, m_editor),
      m_lists(m_state, m_port, m_tracks, m_editor) {
    createWindow();
    m_port.setWindow(m_hwnd);
    buildControls();
    bindHandlers();
    arrangeTabOrder();
    addCardListCommands();
    Form_Load();
}

frmForm1::~frmForm1() {
    m_port.setTimer(0, false);
    m_helpWindow.reset();
    SetWindowLongPtrW(m_hwnd, 0, 0);
    DestroyWindow(m_hwnd);
}

void frmForm1::createWindow() {
    static const ATOM registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &frmForm1::proc;
        wc.cbWndExtra = sizeof(frmForm1*);
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(wc.hInstance, L"VELK");
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = windowClass;
        return RegisterClassW(&wc);
    }();
    (void)registered;
    m_hwnd = CreateWindowExW(0, windowClass, widen(text::mainCaption).c_str(), windowStyle, 0, 0, 0, 0, nullptr,
                             nullptr, GetModuleHandleW(nullptr), this);
    m_dpi = GetDpiForWindow(m_hwnd);
    // The client area, not the frame, starts at the designed point.
    RECT r = toPixels({clientLeft, clientTop, clientWidth, clientHeight}, m_dpi);
    AdjustWindowRectExForDpi(&r, windowStyle, FALSE, 0, m_dpi);
    SetWindowPos(m_hwnd, nullptr, std::max(0L, r.left), std::max(0L, r.top), r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmForm1::buildControls() {
    m_tips.create(m_hwnd);
    const HWND w = m_hwnd;
    const UINT d = m_dpi;
    const auto tip = [this](const Ctrl& c, const char* text) { m_tips.add(c.hwnd(), text); };

    // Area 1: message file selection.
    m_c.Label6.create(w, "Message File Selection", d);
    m_c.labSourceDrive.create(w, "Source Drive", d);
    m_c.drvDrive1.create(w, d);
    m_c.drvDrive1.setTip(m_tips, "select a source disc drive");
    m_c.labLabel_folder1.create(w, "Source Folder", d);
    m_c.Dir1.create(w, d);
    tip(m_c.Dir1, "select a source folder");
    m_c.labSourceFile.create(w, "Source File", d);
    m_c.File1.create(w, d);
    tip(m_c.File1, "select a source file");
    m_c.Label2.create(w, "Destination Drive", d);
    m_c.Drive1.create(w, d);
    m_c.Drive1.setTip(m_tips, "Drive Letter for the MMC Card");
    m_c.Label4.create(w, "", d);
    m_c.Label4.setBackColour(colour::red);
    m_c.Image1.create(w, L"LOGO", d);
    tip(m_c.Image1, "VELK Message Assembler - builds message cards for the VELK player");

    // Area 2: commands, gauge and guidance box.
    m_c.Command3.create(w, "HELP", d);
    tip(m_c.Command3, "Display the HELP screen");
    m_c.cmdFinish.create(w, "Programme MMC Card", d);
    tip(m_c.cmdFinish, "download files to MMC");
    m_c.Label7.create(w, "", d);
    m_c.ProgressBar1.create(w, d);
    m_c.labHelp.create(w, "Guidance Box", d);
    m_c.txtTEXT1.create(w, d);
    m_c.txtTEXT1.setBackColour(colour::yellow);
    tip(m_c.txtTEXT1, "guidance info");

    // Area 3: message tracks list.
    m_c.Label5.create(w, "Message Tracks List", d);
    m_c.labLabel_Track.create(w, "Track", d);
    m_c.labOutLIst.create(w, "File Name", d);
    m_c.labLabelMode.create(w, "Mode", d);
    m_c.lstList2.create(w, d);
    tip(m_c.lstList2, "track number");
    m_c.lstList1.create(w, d);
    tip(m_c.lstList1, "Mpeg play list");
    m_c.lstListMode.create(w, d);
    tip(m_c.lstListMode, "mode for this track");

    // Area 4: mode buttons.
    m_c.labNodeSet.create(w, "Mode set buttons", d);
    m_c.cmdMode0.create(w, "Mode 0", d);
    tip(m_c.cmdMode0, "sets track for uninterrupted play");
    m_c.labUninterrupt.create(w, "Uninterrupted (default)", d);
    m_c.cmdMode1.create(w, "Mode 1", d);
    tip(m_c.cmdMode1, "track play may be interrupted");
    m_c.labInterrupt.create(w, "Interrupted", d);
    m_c.cmdMode2.create(w, "Mode 2", d);
    tip(m_c.cmdMode2, "track will play only when button is held down");
    m_c.labPlayButton.create(w, "Play while button pressed", d);

    // Area 5: edit list.
    m_c.Label1.create(w, "Edit List", d);
    m_c.cmdDel.create(w, "Delete", d);
    tip(m_c.cmdDel, "Delete item from Tracks List");
    m_c.newbut.create(w, "New", d);
    tip(m_c.newbut, "Clear Message Tracks List");
    m_c.quit1.create(w, "Quit", d);
    tip(m_c.quit1, "Quit program");

    // The confirmation frame; it is raised above the controls it covers when shown.
    m_c.Frame1.create(w, text::deletingFiles, d);
    const HWND f = m_c.Frame1.hwnd();
    m_c.File2.create(f, d);
    tip(m_c.File2, "List of Files in the ROOT Directory of the Destination Drive");
    m_c.Label3.create(f, text::deleteWarning, d);
    m_c.Command1.create(f, "O.K.", d);
    tip(m_c.Command1, "Click to Delete All Files in the ROOT Directory of the Destination Drive");
    m_c.Command2.create(f, "CANCEL", d);
    tip(m_c.Command2, "Cancel the Delete and Download Operation");

    m_all = {&m_c.Label6,   &m_c.labSourceDrive, &m_c.drvDrive1,   &m_c.labLabel_folder1, &m_c.Dir1,
             &m_c.labSourceFile, &m_c.File1,     &m_c.Label2,      &m_c.Drive1,        &m_c.Label4,
             &m_c.Image1,   &m_c.Frame1,         &m_c.File2,       &m_c.Label3,        &m_c.Command1,
             &m_c.Command2, &m_c.Command3,       &m_c.cmdFinish,   &m_c.Label7,        &m_c.ProgressBar1,
             &m_c.labHelp,  &m_c.txtTEXT1,       &m_c.Label5,      &m_c.labLabel_Track, &m_c.labOutLIst,
             &m_c.labLabelMode, &m_c.lstList2,   &m_c.lstList1,    &m_c.lstListMode,   &m_c.labNodeSet,
             &m_c.cmdMode0, &m_c.labUninterrupt, &m_c.cmdMode1,    &m_c.labInterrupt,  &m_c.cmdMode2,
             &m_c.labPlayButton, &m_c.Label1,    &m_c.cmdDel,      &m_c.newbut,        &m_c.quit1};
    applyDpi(m_dpi);
    nameLists();

    // Start where the process stands, as the drive and folder lists do when nothing sets them.
    m_c.Dir1.setPath(currentFolder());
    m_c.File1.setPath(m_c.Dir1.path());
}

// Active Accessibility names a list box by its window text, or else by whichever label comes
// before it in the stacking order, which is the wrong one for the three track columns.
void frmForm1::nameLists() const {
    for (const NamingLabel& n : namingLabels) {
        auto* list = dynamic_cast<ListBoxCtrl*>(find(n.control));
        if (const Ctrl* label = find(n.label); list && label)
            list->setText(label->text());
    }
}

void frmForm1::bindHandlers() {
    m_c.quit1.onClick = [this] { quit1_Click(); };
    m_c.Command3.onClick = [this] { Command3_Click(); };
    m_c.File1.onSelect = [this] { File1_Click(); };
    m_c.File1.onDoubleClick = [this] { File1_DblClick(); };
    m_c.cmdDel.onClick = [this] { cmdDel_Click(); };
    m_c.cmdMode0.onClick = [this] { cmdMode0_Click(); };
    m_c.cmdMode1.onClick = [this] { cmdMode1_Click(); };
    m_c.cmdMode2.onClick = [this] { cmdMode2_Click(); };
    // LBN_SELCHANGE comes for the mouse and the keyboard alike, so both apply an armed edit.
    m_c.lstList1.onSelect = [this] { lstList1_Click(); };
    m_c.newbut.onClick = [this] { newbut_Click(); };
    m_c.cmdFinish.onClick = [this] { cmdFinish_Click(); };
    m_c.Command1.onClick = [this] { Command1_Click(); };
    m_c.Command2.onClick = [this] { Command2_Click(); };
    m_c.drvDrive1.onChange = [this] { drvDrive1_Change(); };
    m_c.Dir1.onChange = [this] { Dir1_Change(); };
    m_c.txtTEXT1.onChange = [this] { txtTEXT1_Change(); };
}

void frmForm1::arrangeTabOrder() {
    m_tabs = std::make_unique<TabOrder>(m_hwnd);
    m_tabs->set({m_c.Dir1.hwnd(),     m_c.drvDrive1.hwnd(), m_c.txtTEXT1.hwnd(), m_c.cmdFinish.hwnd(),
                 m_c.cmdMode0.hwnd(), m_c.cmdMode1.hwnd(),  m_c.cmdMode2.hwnd(), m_c.lstList1.hwnd(),
                 m_c.cmdDel.hwnd(),   m_c.File1.hwnd(),     m_c.lstList2.hwnd(), m_c.lstListMode.hwnd(),
                 m_c.quit1.hwnd(),    m_c.Drive1.hwnd(),    m_c.File2.hwnd(),    m_c.Command1.hwnd(),
                 m_c.Command2.hwnd(), m_c.newbut.hwnd(),    m_c.Command3.hwnd()});
    // Escape is CANCEL while the confirmation frame asks.
    m_tabs->setCancel(m_c.Command2.hwnd());
}

void frmForm1::addCardListCommands() {
    // Anywhere in the window, as the list itself rarely has the focus.
    m_shortcuts = std::make_unique<Accelerators>(
        m_hwnd, std::vector<ACCEL>{{FCONTROL | FVIRTKEY, 'L', static_cast<WORD>(mnuLoadFromCard)},
                                   {FCONTROL | FVIRTKEY, 'S', static_cast<WORD>(mnuSaveList)},
                                   {FCONTROL | FVIRTKEY, 'O', static_cast<WORD>(mnuOpenList)}});
    m_drop = std::make_unique<FileDrop>(m_c.lstList1.hwnd(),
                                        [this](const std::vector<std::string>& paths) { lstList1_DropFiles(paths); });
}

void frmForm1::showListMenu(LPARAM lParam) {
    const POINT at = contextMenuPoint(m_c.lstList1.hwnd(), lParam);
    listCommand(showPopupMenu(m_hwnd, at,
                              {{mnuLoadFromCard, std::string(text::loadListFromCard) + "\tCtrl+L"},
                               {mnuSaveList, std::string(text::saveList) + "\tCtrl+S"},
                               {mnuOpenList, std::string(text::openList) + "\tCtrl+O"}}));
}

void frmForm1::listCommand(UINT id) {
    if (id == mnuLoadFromCard)
        lstList1_LoadFromCard();
    else if (id == mnuSaveList)
        lstList1_SaveList();
    else if (id == mnuOpenList)
        lstList1_OpenList();
}

void frmForm1::applyDpi(UINT dpi) {
    m_dpi = dpi;
    // The layout was drawn for a small 8-point face; Tahoma keeps every caption in its box.
    Font font(L"Tahoma", L"Arial", 8, false, dpi);
    // The longest guidance wraps to three lines and a "Copying " path to two: a smaller face
    // fits them into their boxes.
    Font guidanceFont(L"Tahoma", L"Arial", 7.5, false, dpi);
    Font frameFont(L"MS Sans Serif", L"Tahoma", 12, true, dpi);
    for (Ctrl* c : m_all) {
        c->setFont(c == &m_c.txtTEXT1 || c == &m_c.Label7 ? guidanceFont.handle() : font.handle());
        c->place(dpi);
    }
    m_c.Frame1.setCaptionFont(frameFont.handle());
    // The old fonts go only now that no control draws with them.
    m_font = std::move(font);
    m_guidanceFont = std::move(guidanceFont);
    m_frameFont = std::move(frameFont);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

Ctrl* frmForm1::find(std::string_view name) const {
    const auto at = std::find_if(m_all.begin(), m_all.end(), [name](const Ctrl* c) { return c->name() == name; });
    return at == m_all.end() ? nullptr : *at;
}

void frmForm1::show() const {
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
    UpdateWindow(m_hwnd);
    SetFocus(m_c.Dir1.hwnd());
}

void frmForm1::paintOutlines(HDC dc) const {
    const HBRUSH ink = GetSysColorBrush(COLOR_WINDOWTEXT);
    const int pen = MulDiv(3, static_cast<int>(m_dpi), 96);
    for (const Twips& shape : shapes) {
        const RECT r = toPixels(shape, m_dpi);
        const RECT sides[] = {{r.left, r.top, r.right, r.top + pen},
                              {r.left, r.bottom - pen, r.right, r.bottom},
                              {r.left, r.top, r.left + pen, r.bottom},
                              {r.right - pen, r.top, r.right, r.bottom}};
        for (const RECT& side : sides)
            FillRect(dc, &side, ink);
    }
    // A line's centre runs along its two points.
    for (const LineTwips& line : lines) {
        const int x1 = px(std::min(line.from.x, line.to.x), m_dpi);
        const int x2 = px(std::max(line.from.x, line.to.x), m_dpi);
        const int y1 = px(std::min(line.from.y, line.to.y), m_dpi);
        const int y2 = px(std::max(line.from.y, line.to.y), m_dpi);
        const RECT r{x1 - pen / 2, y1 - pen / 2, x2 - pen / 2 + pen, y2 - pen / 2 + pen};
        FillRect(dc, &r, ink);
    }
}

LRESULT CALLBACK frmForm1::proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<frmForm1*>(GetWindowLongPtrW(hwnd, 0));
    if (!self || !self->m_hwnd)
        return DefWindowProcW(hwnd, message, wParam, lParam);
    return guarded(hwnd, [&] { return self->handle(message, wParam, lParam); });
}

LRESULT frmForm1::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (Ctrl::route(message, wParam, lParam, result))
        return result;
    switch (message) {
    case WM_COMMAND:
        listCommand(LOWORD(wParam));
        return 0;
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != m_c.lstList1.hwnd())
            return DefWindowProcW(m_hwnd, message, wParam, lParam);
        showListMenu(lParam);
        return 0;
    case WM_TIMER:
        if (wParam == Form1Port::timerId)
            Timer1_Timer();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        paintOutlines(dc);
        EndPaint(m_hwnd, &ps);
        return 0;
    }
    case WM_CLOSE:
        // Not intercepted: closing the window ends the program as Quit does.
        endProgram();
        return 0;
    case WM_QUERYENDSESSION: return m_state.runInProgress ? FALSE : TRUE;
    case WM_ENDSESSION:
        // The session ends regardless: a run stops at its next step rather than be cut off mid-write.
        if (wParam)
            endProgram();
        return 0;
    case WM_ACTIVATE:
        keepFocus(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_DPICHANGED: {
        applyDpi(HIWORD(wParam));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default: return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}

void frmForm1::Form_Load() { m_port.setTimer(CardMonitor::intervalMs, true); }

void frmForm1::Timer1_Timer() {
    if (ending())
        return;
    m_monitor.Timer1_Timer();
    if (m_monitor.statusChanged())
        m_c.Drive1.refresh();
}

void frmForm1::endProgram() {
    if (ending())
        return;
    m_port.setEnding();
    m_port.setTimer(m_port.timerInterval(), false);
    if (m_helpWindow)
        m_helpWindow->close();
    ShowWindow(m_hwnd, SW_HIDE);
    PostQuitMessage(0);
}

void frmForm1::keepFocus(bool activated) {
    if (!activated) {
        const HWND focus = GetFocus();
        if (focus && IsChild(m_hwnd, focus))
            m_lastFocus = focus;
        return;
    }
    // As a dialog does: the control that had the focus gets it back, else the first that can.
    for (const HWND candidate : {m_lastFocus, m_c.Dir1.hwnd(), m_c.quit1.hwnd()}) {
        if (candidate && IsWindow(candidate) && IsWindowVisible(candidate) && IsWindowEnabled(candidate)) {
            SetFocus(candidate);
            return;
        }
    }
}

void frmForm1::quit1_Click() { endProgram(); }

void frmForm1::Command3_Click() {
    if (!m_helpWindow)
        m_helpWindow = std::make_unique<hlpform>(m_hwnd);
    m_helpWindow->display();
}

void frmForm1::File1_Click() { m_tracks.File1_Click(); }
void frmForm1::File1_DblClick() { m_tracks.File1_DblClick(); }
void frmForm1::cmdDel_Click() { m_editor.cmdDel_Click(); }
void frmForm1::cmdMode0_Click() { m_editor.cmdMode0_Click(); }
void frmForm1::cmdMode1_Click() { m_editor.cmdMode1_Click(); }
void frmForm1::cmdMode2_Click() { m_editor.cmdMode2_Click(); }
void frmForm1::lstList1_Click() { m_editor.lstList1_Click(); }
void frmForm1::newbut_Click() { m_editor.newbut_Click(); }
void frmForm1::cmdFinish_Click() {
    const ShutdownBlock block(m_hwnd, text::shutdownBlocked);
    m_run.cmdFinish_Click();
}
void frmForm1::Command1_Click() { m_run.Command1_Click(); }
void frmForm1::Command2_Click() { m_run.Command2_Click(); }
void frmForm1::drvDrive1_Change() { m_browser.drvDrive1_Change(); }
void frmForm1::Dir1_Change() { m_browser.Dir1_Change(); }
void frmForm1::txtTEXT1_Change() { m_browser.txtTEXT1_Change(); }
void frmForm1::lstList1_LoadFromCard() { m_loader.lstList1_LoadFromCard(); }

void frmForm1::lstList1_SaveList() {
    if (const std::string path = FileDialog::ask(m_hwnd, FileDialog::Purpose::save); !path.empty())
        m_lists.lstList1_SaveList(path);
}

void frmForm1::lstList1_OpenList() {
    if (const std::string path = FileDialog::ask(m_hwnd, FileDialog::Purpose::open); !path.empty())
        m_lists.lstList1_OpenList(path);
}
void frmForm1::lstList1_DropFiles(const std::vector<std::string>& paths) { m_tracks.lstList1_DropFiles(paths); }

} // namespace velk::win
