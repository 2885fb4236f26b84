#include "frmForm1.h"

#include "DesignedControl.h"
#include "DriveList.h"
#include "FileDialog.h"
#include "FileList.h"
#include "FolderList.h"
#include "core/AccessibleText.h"
#include "core/Colours.h"
#include "core/Form1Design.h"
#include "core/ReadableColours.h"
#include "core/Texts.h"
#include "platform/linux/DriveWatch.h"
#include "ui/qt/hlpform/hlpform.h"
#include "ui/qt/widgets/ColourButton.h"
#include "ui/qt/widgets/FileDrop.h"
#include "ui/qt/widgets/Guarded.h"
#include "ui/qt/widgets/Layout.h"
#include "ui/qt/widgets/ProgressBar.h"
#include "ui/qt/widgets/StateLabel.h"
#include "ui/qt/widgets/WarningFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSocketNotifier>
#include <QTimer>

#include <functional>
#include <stdexcept>

namespace velk::qt {

namespace {

template <typename T> T* child(const QWidget& window, std::string_view name) {
    auto* found = window.findChild<T*>(qtText(name));
    if (!found)
        throw std::logic_error("the main window has no " + std::string(name));
    return found;
}

} // namespace

frmForm1::frmForm1(const SystemPort& system, QWidget* parent)
    : QWidget(parent), m_system(system), m_c(buildControls()), m_port(*this, m_c),
      m_handlers(m_port, m_system) {
    bindHandlers();
    arrangeTabOrder();
    nameControls();
    addCardListActions();
    watchDrives();
    addEjectCommand();
    m_handlers.Form_Load();
}

frmForm1::~frmForm1() = default;

Form1Controls frmForm1::buildControls() {
    setObjectName(QStringLiteral("frmForm1"));
    setWindowTitle(qtText(text::mainCaption));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(px(form1Client.width), px(form1Client.height));
    // The layout was drawn for a small 8-point face; a common 11-pixel sans keeps captions inside.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    move(0, 0);

    for (const ControlDesign& d : form1Design()) {
        QWidget* w =
            buildControl(d, m_system, d.parent.empty() ? this : child<QWidget>(*this, d.parent));
        w->setObjectName(qtText(d.name));
        if (d.kind != ControlKind::line)
            w->setGeometry(pixels(d.box));
        if (d.tooltip)
            w->setToolTip(qtText(d.tooltip));
        if (d.backColour && d.kind == ControlKind::label)
            paintBack(w, QPalette::Window, *d.backColour);
        else if (d.backColour && d.kind == ControlKind::textBox)
            paintBack(w, QPalette::Base, *d.backColour);
    }

    Form1Controls c;
    c.drvDrive1 = child<DriveList>(*this, "drvDrive1");
    c.Dir1 = child<FolderList>(*this, "Dir1");
    c.File1 = child<FileList>(*this, "File1");
    c.Drive1 = child<DriveList>(*this, "Drive1");
    c.Label4 = child<StateLabel>(*this, "Label4");
    c.Frame1 = child<QGroupBox>(*this, "Frame1");
    c.File2 = child<FileList>(*this, "File2");
    c.Command1 = child<QPushButton>(*this, "Command1");
    c.Command2 = child<QPushButton>(*this, "Command2");
    c.Command3 = child<QPushButton>(*this, "Command3");
    c.cmdFinish = child<QPushButton>(*this, "cmdFinish");
    c.Label7 = child<QLabel>(*this, "Label7");
    c.ProgressBar1 = child<ProgressBar>(*this, "ProgressBar1");
    c.txtTEXT1 = child<QPlainTextEdit>(*this, "txtTEXT1");
    c.labHelp = child<QLabel>(*this, "labHelp");
    c.lstList1 = child<QListWidget>(*this, "lstList1");
    c.lstList2 = child<QListWidget>(*this, "lstList2");
    c.lstListMode = child<QListWidget>(*this, "lstListMode");
    c.cmdMode0 = child<ColourButton>(*this, "cmdMode0");
    c.cmdMode1 = child<ColourButton>(*this, "cmdMode1");
    c.cmdMode2 = child<ColourButton>(*this, "cmdMode2");
    c.cmdDel = child<ColourButton>(*this, "cmdDel");
    c.newbut = child<QPushButton>(*this, "newbut");
    c.quit1 = child<QPushButton>(*this, "quit1");

    // Three lines must fit the guidance box's 41 pixels: the longest texts wrap to three.
    QFont guidanceFont = c.txtTEXT1->font();
    guidanceFont.setPixelSize(10);
    c.txtTEXT1->setFont(guidanceFont);
    c.txtTEXT1->document()->setDocumentMargin(1);
    // Two lines of the guidance face do not fit Label7's 23 pixels; two of 9 pixels do.
    QFont copyingFont = guidanceFont;
    copyingFont.setPixelSize(9);
    c.Label7->setFont(copyingFont);
    // Only the frame's own caption uses the bold font.
    for (QWidget* inside : c.Frame1->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        inside->setFont(font());
    auto* warning = child<QLabel>(*this, "Label3");
    warning->setAlignment(Qt::AlignCenter);
    // It stands on the frame's red, not on the window.
    QPalette onFrame = warning->palette();
    onFrame.setColor(QPalette::WindowText,
                     toQColor(textColourOn(form1Control("Frame1").backColour.value())));
    warning->setPalette(onFrame);
    c.Frame1->hide();

    c.Timer1 = new QTimer(this);
    c.Timer1->setObjectName(QStringLiteral("Timer1"));
    c.Timer1->setInterval(0);

    // Start where the process stands, as the drive and folder lists do when nothing sets them.
    c.Dir1->setPath(QDir::currentPath());
    c.File1->followFolderList(c.Dir1);
    c.File1->setPath(c.Dir1->path());
    return c;
}

void frmForm1::bindHandlers() {
    const auto bind = [this](auto* sender, auto signal, void (Form1Handlers::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { guarded(this, [this, handler] { (m_handlers.*handler)(); }); });
    };
    bind(m_c.Timer1, &QTimer::timeout, &Form1Handlers::Timer1_Timer);
    bind(m_c.quit1, &QPushButton::clicked, &Form1Handlers::quit1_Click);
    connect(m_c.Command3, &QPushButton::clicked, this,
            [this] { guarded(this, [this] { Command3_Click(); }); });
    bind(m_c.File1, &QListWidget::itemClicked, &Form1Handlers::File1_Click);
    bind(m_c.File1, &QListWidget::itemDoubleClicked, &Form1Handlers::File1_DblClick);
    bind(m_c.cmdDel, &QPushButton::clicked, &Form1Handlers::cmdDel_Click);
    bind(m_c.cmdMode0, &QPushButton::clicked, &Form1Handlers::cmdMode0_Click);
    bind(m_c.cmdMode1, &QPushButton::clicked, &Form1Handlers::cmdMode1_Click);
    bind(m_c.cmdMode2, &QPushButton::clicked, &Form1Handlers::cmdMode2_Click);
    bind(m_c.lstList1, &QListWidget::itemClicked, &Form1Handlers::lstList1_Click);
    m_c.lstList1->installEventFilter(this);
    m_c.File1->installEventFilter(this);
    // A shortcut works only while its widget shows: Escape is CANCEL exactly while the frame asks.
    auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), m_c.Frame1);
    cancel->setContext(Qt::WindowShortcut);
    connect(cancel, &QShortcut::activated, m_c.Command2, &QPushButton::click);
    bind(m_c.newbut, &QPushButton::clicked, &Form1Handlers::newbut_Click);
    bind(m_c.cmdFinish, &QPushButton::clicked, &Form1Handlers::cmdFinish_Click);
    bind(m_c.Command1, &QPushButton::clicked, &Form1Handlers::Command1_Click);
    bind(m_c.Command2, &QPushButton::clicked, &Form1Handlers::Command2_Click);
    bind(m_c.drvDrive1, &DriveList::Change, &Form1Handlers::drvDrive1_Change);
    bind(m_c.Dir1, &FolderList::Change, &Form1Handlers::Dir1_Change);
    bind(m_c.txtTEXT1, &QPlainTextEdit::textChanged, &Form1Handlers::txtTEXT1_Change);
}

void frmForm1::arrangeTabOrder() {
    QWidget* previous = nullptr;
    for (const std::string_view name : form1TabOrder()) {
        QWidget* next = child<QWidget>(*this, name);
        if (previous)
            QWidget::setTabOrder(previous, next);
        previous = next;
    }
    // Labels, drawings, the bar and the picture never take the focus.
    for (const ControlDesign& d : form1Design())
        if (d.tabIndex < 0 && d.kind != ControlKind::frame)
            child<QWidget>(*this, d.name)->setFocusPolicy(Qt::NoFocus);
    m_c.Dir1->setFocus();
}

void frmForm1::nameControls() {
    for (const NamingLabel& n : namingLabels) {
        auto* target = child<QWidget>(*this, n.control);
        // A combo box on Linux is named by its current entry; its label reaches a screen reader
        // through the buddy's labelled-by relation.
        if (auto* caption = qobject_cast<QLabel*>(child<QWidget>(*this, n.label))) {
            target->setAccessibleName(caption->text());
            caption->setBuddy(target);
        } else if (auto* frame = qobject_cast<QGroupBox*>(child<QWidget>(*this, n.label))) {
            target->setAccessibleName(frame->title());
        }
    }
    m_c.ProgressBar1->setAccessibleName(qtText(text::progressName));
    auto* image = child<QLabel>(*this, "Image1");
    image->setAccessibleName(image->toolTip());
    // Label4 was painted red before the port existed; through the port its state is told too.
    m_port.setBackColour(Control::Label4, colour::red);
    m_port.setColoursInWords(coloursInWords(palette()));
}

void frmForm1::addCardListActions() {
    const std::function<void()> handlers[] = {[this] { m_handlers.lstList1_LoadFromCard(); },
                                              [this] { lstList1_SaveList(); },
                                              [this] { lstList1_OpenList(); }};
    static_assert(std::size(handlers) == std::size(listCommands));
    for (std::size_t i = 0; i < std::size(listCommands); ++i) {
        auto* action = new QAction(qtText(listCommands[i].caption), m_c.lstList1);
        action->setObjectName(qtText(listCommands[i].name));
        action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(listCommands[i].key)));
        // Anywhere in the window, as the list itself rarely has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
        action->setShortcutVisibleInContextMenu(true);
        m_c.lstList1->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, handler = handlers[i]] { guarded(this, handler); });
    }
    m_c.lstList1->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto* drop = new FileDrop(m_c.lstList1->viewport());
    connect(drop, &FileDrop::dropped, this, [this](const QStringList& paths) {
        std::vector<std::string> files;
        for (const QString& path : paths)
            files.push_back(path.toStdString());
        guarded(this, [this, &files] { m_handlers.lstList1_DropFiles(files); });
    });
}

void frmForm1::watchDrives() {
    m_drives = std::make_unique<DriveWatch>();
    if (m_drives->deviceEvents() >= 0) {
        auto* devices = new QSocketNotifier(m_drives->deviceEvents(), QSocketNotifier::Read, this);
        connect(devices, &QSocketNotifier::activated, this, [this] {
            if (m_drives->blockDeviceEvent())
                guarded(this, [this] { m_handlers.Form_DeviceChange(); });
        });
    }
    if (m_drives->mountEvents() >= 0) {
        auto* mounts =
            new QSocketNotifier(m_drives->mountEvents(), QSocketNotifier::Exception, this);
        connect(mounts, &QSocketNotifier::activated, this,
                [this] { guarded(this, [this] { m_handlers.Form_DeviceChange(); }); });
    }
}

void frmForm1::addEjectCommand() {
    // The key works anywhere in the window; whether it does anything is core's decision.
    auto* key =
        new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(ejectCommand.key)), this);
    key->setObjectName(qtText(ejectCommand.name));
    key->setContext(Qt::WindowShortcut);
    connect(key, &QShortcut::activated, this,
            [this] { guarded(this, [this] { m_handlers.Drive1_EjectCard(); }); });
    m_c.Drive1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_c.Drive1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(m_c.Drive1);
        QAction* eject = menu.addAction(
            qtText(std::string(ejectCommand.caption) + '\t' + text::ctrlKey + ejectCommand.key));
        eject->setObjectName(qtText(ejectCommand.name));
        eject->setEnabled(m_handlers.Drive1_EjectEnabled());
        if (menu.exec(m_c.Drive1->mapToGlobal(at)) == eject)
            guarded(this, [this] { m_handlers.Drive1_EjectCard(); });
    });
}

bool frmForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool pressed = key == Qt::Key_Return || key == Qt::Key_Enter ||
                         (key == Qt::Key_Space && watched == m_c.lstList1);
    // Return acts on the row the keyboard is on, as a click there would: on a file it adds it
    // as a double-click does, on a track it applies the armed edit.
    if (pressed && (watched == m_c.File1 || watched == m_c.lstList1)) {
        auto* list = static_cast<QListWidget*>(watched);
        if (QListWidgetItem* row = list->currentItem()) {
            list->setCurrentItem(row);
            guarded(this, [this, watched] {
                watched == m_c.File1 ? m_handlers.File1_DblClick() : m_handlers.lstList1_Click();
            });
        }
        return true;
    }
    // A row chosen with the arrow keys is a selection like a click; the list moves its current
    // row only after this filter, so the check waits until the key has been handled.
    if (watched == m_c.lstList1) {
        const int before = m_c.lstList1->currentRow();
        QMetaObject::invokeMethod(
            this,
            [this, before] {
                if (m_c.lstList1->currentRow() != before && m_c.lstList1->currentRow() >= 0)
                    guarded(this, [this] { m_handlers.lstList1_Click(); });
            },
            Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void frmForm1::changeEvent(QEvent* event) {
    // A scheme chosen while the program runs: system colours and the words follow it.
    if (event->type() == QEvent::PaletteChange)
        m_port.setColoursInWords(coloursInWords(palette()));
    QWidget::changeEvent(event);
}

void frmForm1::closeEvent(QCloseEvent* event) {
    guarded(this, [this] { m_handlers.endProgram(); });
    event->accept();
}

void frmForm1::Command3_Click() {
    if (!m_helpWindow)
        m_helpWindow = new hlpform(this);
    m_helpWindow->display();
}

void frmForm1::lstList1_SaveList() {
    if (const QString path = FileDialog::ask(this, FileDialog::Purpose::save); !path.isEmpty())
        m_handlers.lstList1_SaveList(path.toStdString());
}

void frmForm1::lstList1_OpenList() {
    if (const QString path = FileDialog::ask(this, FileDialog::Purpose::open); !path.isEmpty())
        m_handlers.lstList1_OpenList(path.toStdString());
}

} // namespace velk::qt
