#include "frmForm1.h"

#include "DriveList.h"
#include "FileDialog.h"
#include "FileList.h"
#include "FolderList.h"
#include "OkMessageBox.h"
#include "Outlines.h"

#include "core/AccessibleText.h"
#include "core/Form1Design.h"
#include "core/ReadableColours.h"
#include "core/Texts.h"
#include "platform/windows/WindowsText.h"
#include "ui/win32/hlpform/hlpform.h"
#include "ui/win32/wingui/ButtonCtrl.h"
#include "ui/win32/wingui/EditCtrl.h"
#include "ui/win32/wingui/FrameCtrl.h"
#include "ui/win32/wingui/Guarded.h"
#include "ui/win32/wingui/LabelCtrl.h"
#include "ui/win32/wingui/PictureCtrl.h"
#include "ui/win32/wingui/PopupMenu.h"
#include "ui/win32/wingui/ProgressCtrl.h"
#include "ui/win32/wingui/ShutdownBlock.h"
#include "ui/win32/wingui/TextSize.h"

#include <dbt.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace velk::win32 {

namespace {

constexpr const wchar_t* windowClass = L"VelkForm1";
constexpr DWORD windowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr Twips client{form1Client.left, form1Client.top, form1Client.width, form1Client.height};
/// A high-contrast scheme, or a window darker than its text.
bool schemeNeedsWords() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    const bool high = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                      (contrast.dwFlags & HCF_HIGHCONTRASTON);
    return coloursInWords(high, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT));
}

std::string currentFolder() {
    std::error_code ec;
    const std::u8string here = std::filesystem::current_path(ec).u8string();
    return {here.begin(), here.end()};
}

} // namespace

frmForm1::frmForm1(const SystemPort& system)
    : m_system(system), m_c(system), m_port(m_c, m_helpWindow, m_access),
      m_handlers(m_port, m_system) {
    setFaultReport([](HWND owner, const std::string& what) {
        OkMessageBox::show(owner, std::string(text::windowFault) + what);
    });
    createWindow();
    m_port.setWindow(m_hwnd);
    m_taskbar = std::make_unique<TaskbarProgress>(m_hwnd);
    m_port.setTaskbar(*m_taskbar);
    buildControls();
    bindHandlers();
    arrangeTabOrder();
    addCardListCommands();
    m_handlers.Form_Load();
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
    m_hwnd = CreateWindowExW(0, windowClass, widen(text::mainCaption).c_str(), windowStyle, 0, 0, 0,
                             0, nullptr, nullptr, GetModuleHandleW(nullptr), this);
    m_dpi = layoutDpi(m_hwnd, GetDpiForWindow(m_hwnd), client);
    // The client area, not the frame, starts at the designed point.
    RECT r = toPixels(client, m_dpi);
    AdjustWindowRectExForDpi(&r, windowStyle, FALSE, 0, GetDpiForWindow(m_hwnd));
    SetWindowPos(m_hwnd, nullptr, std::max(0L, r.left), std::max(0L, r.top), r.right - r.left,
                 r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmForm1::followTextSize() {
    const UINT dpi = layoutDpi(m_hwnd, GetDpiForWindow(m_hwnd), client);
    if (dpi == m_dpi)
        return;
    applyDpi(dpi);
    RECT r = toPixels({0, 0, client.width, client.height}, dpi);
    AdjustWindowRectExForDpi(&r, windowStyle, FALSE, 0, GetDpiForWindow(m_hwnd));
    SetWindowPos(m_hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmForm1::buildControls() {
    m_c.create(m_hwnd, m_dpi);
    m_tips.create(m_hwnd);
    for (const ControlDesign& d : form1Design()) {
        if (!d.tooltip)
            continue;
        // A drop-down list shows its tip over its edit field and button alike.
        if (auto* drives = dynamic_cast<DriveList*>(find(d.name)))
            drives->setTip(m_tips, d.tooltip);
        else
            m_tips.add(m_c.get(d.name).hwnd(), d.tooltip);
    }
    applyDpi(m_dpi);
    describeControls();
    m_port.setColoursInWords(schemeNeedsWords(), m_guidanceFont);

    // Start where the process stands, as the drive and folder lists do when nothing sets them.
    auto& folders = m_c.get<FolderList>("Dir1");
    auto& files = m_c.get<FileList>("File1");
    files.followFolderList(&folders);
    folders.setPath(currentFolder());
    files.setPath(folders.path());
}

// Active Accessibility names a list box by its window text, or else by whichever label comes
// before it in the stacking order, which is the wrong one for the three track columns: each is
// named by its heading and described by its tooltip. Where the system cannot annotate (Wine), a
// list's window text, which it never shows, names it.
void frmForm1::describeControls() {
    for (const NamingLabel& n : namingLabels) {
        Ctrl* target = find(n.control);
        const std::string name = find(n.label)->text();
        if (auto* list = dynamic_cast<ListBoxCtrl*>(target);
            !m_access.setName(target->hwnd(), name) && list)
            list->setText(name);
        if (const char* tip = form1Control(n.control).tooltip)
            m_access.setDescription(target->hwnd(), tip);
    }
    const Ctrl& bar = m_c.get<ProgressCtrl>("ProgressBar1");
    if (!m_access.setName(bar.hwnd(), text::progressName))
        bar.setText(text::progressName);
    m_access.setName(m_c.get<PictureCtrl>("Image1").hwnd(), text::tipLogo);
    m_access.setAlertRole(m_c.get<FrameCtrl>(wipeQuestion.frame).hwnd());
    m_access.setLive(m_c.get<EditCtrl>("txtTEXT1").hwnd());
    m_access.setLive(m_c.get<LabelCtrl>("Label4").hwnd());
}

void frmForm1::bindHandlers() {
    using H = Form1Handlers;
    const std::pair<std::string_view, void (H::*)()> clicks[] = {
        {"quit1", &H::quit1_Click},       {"cmdDel", &H::cmdDel_Click},
        {"cmdMode0", &H::cmdMode0_Click}, {"cmdMode1", &H::cmdMode1_Click},
        {"cmdMode2", &H::cmdMode2_Click}, {"newbut", &H::newbut_Click},
        {"Command1", &H::Command1_Click}, {"Command2", &H::Command2_Click}};
    for (const auto& [name, handler] : clicks)
        m_c.get<ButtonCtrl>(name).onClick = [this, handler] { (m_handlers.*handler)(); };
    Form1Handlers& h = m_handlers;
    m_c.get<ButtonCtrl>("Command3").onClick = [this] { Command3_Click(); };
    auto& files = m_c.get<FileList>("File1");
    files.onSelect = [&h] { h.File1_Click(); };
    files.onDoubleClick = [&h] { h.File1_DblClick(); };
    // LBN_SELCHANGE comes for the mouse and the keyboard alike, so both apply an armed edit.
    m_c.get<ListBoxCtrl>("lstList1").onSelect = [&h] { h.lstList1_Click(); };
    m_c.get<ButtonCtrl>("cmdFinish").onClick = [this] {
        const ShutdownBlock block(m_hwnd, text::shutdownBlocked);
        m_handlers.cmdFinish_Click();
    };
    m_c.get<DriveList>("drvDrive1").onChange = [&h] { h.drvDrive1_Change(); };
    m_c.get<FolderList>("Dir1").onChange = [&h] { h.Dir1_Change(); };
    m_c.get<EditCtrl>("txtTEXT1").onChange = [&h] { h.txtTEXT1_Change(); };
}

void frmForm1::arrangeTabOrder() {
    m_tabs = std::make_unique<TabOrder>(m_hwnd);
    std::vector<HWND> order;
    for (const std::string_view name : form1TabOrder())
        order.push_back(find(name)->hwnd());
    m_tabs->set(std::move(order));
    m_port.setTabOrder(*m_tabs);
    // Escape is CANCEL while the confirmation frame asks.
    m_tabs->setCancel(m_c.get(wipeQuestion.safeAnswer).hwnd());
}

void frmForm1::addCardListCommands() {
    // Anywhere in the window, as the list itself rarely has the focus.
    std::vector<ACCEL> keys;
    for (UINT i = 0; i < std::size(listCommands); ++i)
        keys.push_back({FCONTROL | FVIRTKEY, static_cast<WORD>(listCommands[i].key),
                        static_cast<WORD>(mnuLoadFromCard + i)});
    keys.push_back({FCONTROL | FVIRTKEY, static_cast<WORD>(ejectCommand.key),
                    static_cast<WORD>(mnuEjectCard)});
    m_shortcuts = std::make_unique<Accelerators>(m_hwnd, std::move(keys));
    m_drop = std::make_unique<FileDrop>(
        m_c.get<ListBoxCtrl>("lstList1").hwnd(),
        [this](const std::vector<std::string>& paths) { m_handlers.lstList1_DropFiles(paths); });
}

void frmForm1::showListMenu(LPARAM lParam) {
    const POINT at = contextMenuPoint(m_c.get<ListBoxCtrl>("lstList1").hwnd(), lParam);
    std::vector<MenuEntry> entries;
    for (UINT i = 0; i < std::size(listCommands); ++i)
        entries.push_back({mnuLoadFromCard + i, std::string(listCommands[i].caption) + '\t' +
                                                    text::ctrlKey + listCommands[i].key});
    listCommand(showPopupMenu(m_hwnd, at, entries));
}

void frmForm1::showDriveMenu(LPARAM lParam) {
    const POINT at = contextMenuPoint(m_c.get<DriveList>("Drive1").hwnd(), lParam);
    listCommand(showPopupMenu(
        m_hwnd, at,
        {{mnuEjectCard, std::string(ejectCommand.caption) + '\t' + text::ctrlKey + ejectCommand.key,
          m_handlers.Drive1_EjectEnabled()}}));
}

void frmForm1::listCommand(UINT id) {
    if (id == mnuEjectCard)
        m_handlers.Drive1_EjectCard();
    else if (id == mnuLoadFromCard)
        m_handlers.lstList1_LoadFromCard();
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
    // The frame's caption face as a TrueType one: the bitmap "MS Sans Serif" is jagged when scaled.
    Font frameFont(L"Microsoft Sans Serif", L"Tahoma", 12, true, dpi);
    for (const auto& c : m_c.all()) {
        c->setFont(c->name() == "txtTEXT1" || c->name() == "Label7" ? guidanceFont.handle()
                                                                    : font.handle());
        c->place(dpi);
    }
    m_c.get<FrameCtrl>(wipeQuestion.frame).setCaptionFont(frameFont.handle());
    // The old fonts go only now that no control draws with them.
    m_font = std::move(font);
    m_guidanceFont = std::move(guidanceFont);
    m_frameFont = std::move(frameFont);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void frmForm1::show() const {
    ShowWindow(m_hwnd, SW_SHOWNORMAL);
    UpdateWindow(m_hwnd);
    SetFocus(m_c.get(form1TabOrder().front()).hwnd());
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
        if (reinterpret_cast<HWND>(wParam) == m_c.get<ListBoxCtrl>("lstList1").hwnd())
            showListMenu(lParam);
        else if (reinterpret_cast<HWND>(wParam) == m_c.get<DriveList>("Drive1").hwnd())
            showDriveMenu(lParam);
        else
            return DefWindowProcW(m_hwnd, message, wParam, lParam);
        return 0;
    case WM_TIMER:
        if (wParam == Form1Port::timerId)
            m_handlers.Timer1_Timer();
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        paintOutlines(dc, m_dpi);
        EndPaint(m_hwnd, &ps);
        return 0;
    }
    case WM_CLOSE:
        // Not intercepted: closing the window ends the program as Quit does.
        m_handlers.endProgram();
        return 0;
    case WM_QUERYENDSESSION:
        return m_handlers.state().runInProgress ? FALSE : TRUE;
    case WM_ENDSESSION:
        // The session ends regardless: a run stops at its next step rather than be cut off
        // mid-write.
        if (wParam)
            m_handlers.endProgram();
        return 0;
    case WM_ACTIVATE:
        keepFocus(LOWORD(wParam) != WA_INACTIVE);
        return 0;
    case WM_DEVICECHANGE:
        // A reader plugged in or out, a volume given a letter or losing it.
        if (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE ||
            wParam == DBT_DEVNODES_CHANGED)
            m_handlers.Form_DeviceChange();
        return TRUE;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        // A scheme chosen while the program runs: system colours and the words follow it.
        m_port.setColoursInWords(schemeNeedsWords(), m_guidanceFont);
        if (message == WM_SETTINGCHANGE)
            followTextSize();
        // A common control (the progress bar) hears of new colours only from its parent.
        if (message == WM_SYSCOLORCHANGE)
            SendMessageW(m_c.get<ProgressCtrl>("ProgressBar1").hwnd(), message, wParam, lParam);
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return DefWindowProcW(m_hwnd, message, wParam, lParam);
    case WM_DPICHANGED: {
        // The suggested frame grows with the DPI from the one the text size made.
        applyDpi(layoutDpi(m_hwnd, HIWORD(wParam), client));
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    default:
        // The window is placed before its button exists.
        if (m_taskbar && message == m_taskbar->buttonCreatedMessage()) {
            m_taskbar->buttonCreated();
            return 0;
        }
        return DefWindowProcW(m_hwnd, message, wParam, lParam);
    }
}

void frmForm1::keepFocus(bool activated) {
    if (!activated) {
        const HWND focus = GetFocus();
        if (focus && IsChild(m_hwnd, focus))
            m_lastFocus = focus;
        return;
    }
    // As a dialog does: the control that had the focus gets it back, else the first that can.
    for (const HWND candidate :
         {m_lastFocus, m_c.get(form1TabOrder().front()).hwnd(), m_c.get("quit1").hwnd()}) {
        if (candidate && IsWindow(candidate) && IsWindowVisible(candidate) &&
            IsWindowEnabled(candidate)) {
            SetFocus(candidate);
            return;
        }
    }
}

void frmForm1::Command3_Click() {
    if (!m_helpWindow)
        m_helpWindow = std::make_unique<hlpform>(m_hwnd);
    m_helpWindow->display();
}

void frmForm1::lstList1_SaveList() {
    if (const std::string path = FileDialog::ask(m_hwnd, FileDialog::Purpose::save); !path.empty())
        m_handlers.lstList1_SaveList(path);
}

void frmForm1::lstList1_OpenList() {
    if (const std::string path = FileDialog::ask(m_hwnd, FileDialog::Purpose::open); !path.empty())
        m_handlers.lstList1_OpenList(path);
}

} // namespace velk::win32
