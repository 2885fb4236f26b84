#include "frmForm1.h"

#include "ColourButton.h"
#include "DriveList.h"
#include "FileDialog.h"
#include "FileDrop.h"
#include "FileList.h"
#include "FolderList.h"
#include "Layout.h"
#include "Outline.h"
#include "ProgressBar.h"
#include "WarningFrame.h"
#include "WrapButton.h"
#include "WrapLabel.h"
#include "core/AccessibleText.h"
#include "core/Colours.h"
#include "core/Texts.h"
#include "ui/qt/hlpform/hlpform.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>

// Resources of a static library are linked in only when something names them.
static void loadResources() { Q_INIT_RESOURCE(resources); }

namespace velk::ui {

namespace {

QString q(const char* utf8) { return QString::fromUtf8(utf8); }

template <typename W> W* place(W* w, const char* name, const QRect& box, const char* tip = nullptr) {
    w->setObjectName(q(name));
    w->setGeometry(box);
    if (tip)
        w->setToolTip(q(tip));
    return w;
}

enum class Border { none, single };

QLabel* label(QWidget* parent, const char* name, const char* caption, const QRect& box, Border border,
              bool centred = true) {
    auto* l = place(new QLabel(q(caption), parent), name, box);
    l->setWordWrap(true);
    l->setAlignment(centred ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
    if (border == Border::single)
        l->setFrameStyle(QFrame::Box | QFrame::Plain);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, const QRect& box,
                    const char* tip) {
    return place(new WrapButton(q(caption), parent), name, box, tip);
}

ColourButton* colourButton(QWidget* parent, const char* name, const char* caption, const QRect& box,
                           const char* tip) {
    return place(new ColourButton(q(caption), parent), name, box, tip);
}

QListWidget* listBox(QWidget* parent, const char* name, const QRect& box, const char* tip) {
    auto* l = place(new QListWidget(parent), name, box, tip);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setSortingEnabled(false);
    return l;
}

} // namespace

frmForm1::frmForm1(const SystemPort& system, QWidget* parent)
    : QWidget(parent),
      m_system(system),
      m_c(buildControls()),
      m_port(*this, m_c),
      m_tracks(m_state, m_port),
      m_editor(m_state, m_port, m_tracks),
      m_browser(m_port, m_system),
      m_monitor(m_state, m_port, m_system),
      m_run(m_state, m_port, m_system),
      m_loader(m_state, m_port, m_system, m_tracks, m_editor),
      m_lists(m_state, m_port, m_tracks, m_editor) {
    bindHandlers();
    arrangeTabOrder();
    nameControls();
    addCardListActions();
    Form_Load();
}

frmForm1::~frmForm1() = default;

Form1Controls frmForm1::buildControls() {
    setObjectName(QStringLiteral("frmForm1"));
    setWindowTitle(q(text::mainCaption));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(px(7590), px(6405));
    // The layout was drawn for a small 8-point face; a common 11-pixel sans keeps captions inside.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    move(0, 0);

    Form1Controls c;
    // Surface drawings first, so that every control lies above them.
    place(Outline::rectangle(twips(120, 120, 3975, 4455), this), "Shape3", twips(120, 120, 3975, 4455));
    place(Outline::rectangle(twips(4320, 120, 3135, 3975), this), "Shape1", twips(4320, 120, 3135, 3975));
    place(Outline::rectangle(twips(4320, 4080, 2175, 2175), this), "Shape2", twips(4320, 4080, 2175, 2175));
    Outline::line({px(120), px(3048)}, {px(4080), px(3048)}, this)->setObjectName(QStringLiteral("Line1"));
    Outline::line({px(7440), px(4080)}, {px(7440), px(5576)}, this)->setObjectName(QStringLiteral("Line2"));
    Outline::line({px(6480), px(5576)}, {px(7440), px(5576)}, this)->setObjectName(QStringLiteral("Line3"));

    // Area 1: message file selection.
    label(this, "Label6", "Message File Selection", twips(480, 195, 2895, 255), Border::none);
    label(this, "labSourceDrive", "Source Drive", twips(240, 480, 1815, 255), Border::single);
    c.drvDrive1 = place(new DriveList(m_system, this), "drvDrive1", twips(240, 720, 1815, 315),
                        "select a source disc drive");
    label(this, "labLabel_folder1", "Source Folder", twips(240, 1080, 1815, 255), Border::single);
    c.Dir1 = place(new FolderList(this), "Dir1", twips(240, 1320, 1815, 1665), "select a source folder");
    label(this, "labSourceFile", "Source File", twips(2160, 480, 1815, 255), Border::single);
    c.File1 = place(new FileList(QStringLiteral("*.mp3;*.nvr"), this), "File1", twips(2160, 720, 1815, 2235),
                    "select a source file");
    label(this, "Label2", "Destination Drive", twips(240, 3120, 1815, 255), Border::single);
    c.Drive1 = place(new DriveList(m_system, this), "Drive1", twips(240, 3360, 1815, 315),
                     "Drive Letter for the MMC Card");
    c.Label4 = label(this, "Label4", "", twips(240, 3720, 1815, 735), Border::single, false);
    loadResources();
    auto* image = place(new QLabel(this), "Image1", twips(2160, 3120, 1815, 1335),
                        "VELK Message Assembler - builds message cards for the VELK player");
    image->setPixmap(QPixmap(QStringLiteral(":/images/logo.png"), "PNG"));
    image->setScaledContents(true);

    // Area 2: commands, gauge and guidance box.
    c.Command3 = button(this, "Command3", "HELP", twips(120, 4680, 1215, 615), "Display the HELP screen");
    c.cmdFinish = button(this, "cmdFinish", "Programme MMC Card", twips(120, 5400, 1215, 855),
                         "download files to MMC");
    // A "Copying " path wraps to two lines.
    c.Label7 = place(new WrapLabel(this), "Label7", twips(1440, 4680, 2655, 375));
    c.Label7->setFrameStyle(QFrame::Box | QFrame::Plain);
    c.ProgressBar1 = place(new ProgressBar(this), "ProgressBar1", twips(1440, 5040, 2655, 255));
    label(this, "labHelp", "Guidance Box", twips(1440, 5400, 2655, 255), Border::single);
    c.txtTEXT1 = place(new QPlainTextEdit(this), "txtTEXT1", twips(1440, 5640, 2655, 615), "guidance info");
    c.txtTEXT1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    c.txtTEXT1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    c.txtTEXT1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    c.txtTEXT1->setTabChangesFocus(true);
    // Three lines must fit the box's 41 pixels: the longest texts wrap to three.
    QFont guidanceFont = c.txtTEXT1->font();
    guidanceFont.setPixelSize(10);
    c.txtTEXT1->setFont(guidanceFont);
    c.txtTEXT1->document()->setDocumentMargin(1);
    // Two lines of the guidance face do not fit the caption's 23 pixels; two of 9 pixels do.
    QFont copyingFont = guidanceFont;
    copyingFont.setPixelSize(9);
    c.Label7->setFont(copyingFont);

    // Area 3: message tracks list.
    label(this, "Label5", "Message Tracks List", twips(5040, 195, 1695, 255), Border::none);
    label(this, "labLabel_Track", "Track", twips(4440, 446, 615, 255), Border::single);
    label(this, "labOutLIst", "File Name", twips(5160, 446, 1575, 255), Border::single);
    label(this, "labLabelMode", "Mode", twips(6840, 446, 495, 255), Border::single);
    c.lstList2 = listBox(this, "lstList2", twips(4560, 720, 375, 3180), "track number");
    c.lstList1 = listBox(this, "lstList1", twips(5160, 720, 1575, 3180), "Mpeg play list");
    c.lstListMode = listBox(this, "lstListMode", twips(6960, 720, 255, 3180), "mode for this track");

    // Area 4: mode buttons.
    label(this, "labNodeSet", "Mode set buttons", twips(4440, 4145, 1935, 255), Border::single);
    c.cmdMode0 = colourButton(this, "cmdMode0", "Mode 0", twips(4440, 4440, 615, 495),
                              "sets track for uninterrupted play");
    label(this, "labUninterrupt", "Uninterrupted (default)", twips(5040, 4440, 1335, 495), Border::single);
    c.cmdMode1 = colourButton(this, "cmdMode1", "Mode 1", twips(4440, 5040, 615, 495),
                              "track play may be interrupted");
    label(this, "labInterrupt", "Interrupted", twips(5040, 5040, 1335, 495), Border::single);
    c.cmdMode2 = colourButton(this, "cmdMode2", "Mode 2", twips(4440, 5640, 615, 495),
                              "track will play only when button is held down");
    label(this, "labPlayButton", "Play while button pressed", twips(5040, 5640, 1335, 495), Border::single);

    // Area 5: edit list.
    label(this, "Label1", "Edit List", twips(6600, 4145, 735, 255), Border::single);
    c.cmdDel = colourButton(this, "cmdDel", "Delete", twips(6646, 4440, 615, 495),
                            "Delete item from Tracks List");
    c.newbut = button(this, "newbut", "New", twips(6646, 5040, 615, 495), "Clear Message Tracks List");
    c.quit1 = button(this, "quit1", "Quit", twips(6720, 5760, 495, 375), "Quit program");

    // The confirmation frame, above the source and destination controls it covers.
    c.Frame1 = place(new WarningFrame(q(text::deletingFiles), this), "Frame1", twips(480, 480, 3375, 3615));
    c.File2 = place(new FileList(QStringLiteral("*.*"), c.Frame1), "File2", twips(120, 360, 3135, 1845),
                    "List of Files in the ROOT Directory of the Destination Drive");
    auto* warning = label(c.Frame1, "Label3", text::deleteWarning, twips(120, 2280, 3135, 615), Border::single);
    warning->setAlignment(Qt::AlignCenter);
    c.Command1 = button(c.Frame1, "Command1", "O.K.", twips(120, 3000, 975, 375),
                        "Click to Delete All Files in the ROOT Directory of the Destination Drive");
    c.Command2 = button(c.Frame1, "Command2", "CANCEL", twips(2280, 3000, 975, 375),
                        "Cancel the Delete and Download Operation");
    // Only the frame's own caption uses the bold font.
    for (QWidget* inside : {static_cast<QWidget*>(c.File2), static_cast<QWidget*>(warning),
                            static_cast<QWidget*>(c.Command1), static_cast<QWidget*>(c.Command2)}) {
        inside->setFont(font());
    }
    c.Frame1->hide();

    c.Timer1 = new QTimer(this);
    c.Timer1->setObjectName(QStringLiteral("Timer1"));
    c.Timer1->setInterval(0);

    // Start where the process stands, as the drive and folder lists do when nothing sets them.
    const QString here = QDir::currentPath();
    c.Dir1->setPath(here);
    c.File1->setPath(c.Dir1->path());
    c.Label4->setProperty("backColour", static_cast<uint>(colour::red));
    c.Label4->setAutoFillBackground(true);
    QPalette red = c.Label4->palette();
    red.setColor(QPalette::Window, toQColor(colour::red));
    c.Label4->setPalette(red);
    c.txtTEXT1->setProperty("backColour", static_cast<uint>(colour::yellow));
    QPalette yellow = c.txtTEXT1->palette();
    yellow.setColor(QPalette::Base, toQColor(colour::yellow));
    c.txtTEXT1->setPalette(yellow);
    return c;
}

void frmForm1::bindHandlers() {
    connect(m_c.Timer1, &QTimer::timeout, this, &frmForm1::Timer1_Timer);
    connect(m_c.quit1, &QPushButton::clicked, this, &frmForm1::quit1_Click);
    connect(m_c.Command3, &QPushButton::clicked, this, &frmForm1::Command3_Click);
    connect(m_c.File1, &QListWidget::itemClicked, this, &frmForm1::File1_Click);
    connect(m_c.File1, &QListWidget::itemDoubleClicked, this, &frmForm1::File1_DblClick);
    connect(m_c.cmdDel, &QPushButton::clicked, this, &frmForm1::cmdDel_Click);
    connect(m_c.cmdMode0, &QPushButton::clicked, this, &frmForm1::cmdMode0_Click);
    connect(m_c.cmdMode1, &QPushButton::clicked, this, &frmForm1::cmdMode1_Click);
    connect(m_c.cmdMode2, &QPushButton::clicked, this, &frmForm1::cmdMode2_Click);
    connect(m_c.lstList1, &QListWidget::itemClicked, this, &frmForm1::lstList1_Click);
    m_c.lstList1->installEventFilter(this);
    m_c.File1->installEventFilter(this);
    // A shortcut works only while its widget shows: Escape is CANCEL exactly while the frame asks.
    auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), m_c.Frame1);
    cancel->setContext(Qt::WindowShortcut);
    connect(cancel, &QShortcut::activated, m_c.Command2, &QPushButton::click);
    connect(m_c.newbut, &QPushButton::clicked, this, &frmForm1::newbut_Click);
    connect(m_c.cmdFinish, &QPushButton::clicked, this, &frmForm1::cmdFinish_Click);
    connect(m_c.Command1, &QPushButton::clicked, this, &frmForm1::Command1_Click);
    connect(m_c.Command2, &QPushButton::clicked, this, &frmForm1::Command2_Click);
    connect(m_c.drvDrive1, &DriveList::Change, this, &frmForm1::drvDrive1_Change);
    connect(m_c.Dir1, &FolderList::Change, this, &frmForm1::Dir1_Change);
    connect(m_c.txtTEXT1, &QPlainTextEdit::textChanged, this, &frmForm1::txtTEXT1_Change);
}

void frmForm1::arrangeTabOrder() {
    const QList<QWidget*> order = {m_c.Dir1,     m_c.drvDrive1, m_c.txtTEXT1,  m_c.cmdFinish, m_c.cmdMode0,
                                   m_c.cmdMode1, m_c.cmdMode2,  m_c.lstList1,  m_c.cmdDel,    m_c.File1,
                                   m_c.lstList2, m_c.lstListMode, m_c.quit1,   m_c.Drive1,    m_c.File2,
                                   m_c.Command1, m_c.Command2,  m_c.newbut,    m_c.Command3};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    // Labels, the bar and the picture never take the focus.
    for (QWidget* w : findChildren<QWidget*>())
        if (!order.contains(w) && w != m_c.Frame1 && !w->inherits("QScrollBar") && w->parentWidget() == this)
            w->setFocusPolicy(Qt::NoFocus);
    m_c.Dir1->setFocus();
}

void frmForm1::nameControls() {
    const auto named = [this](std::string_view name) {
        return findChild<QWidget*>(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    };
    for (const NamingLabel& n : namingLabels) {
        QWidget* target = named(n.control);
        // A combo box on Linux is named by its current entry; its label reaches a screen reader
        // through the buddy's labelled-by relation.
        if (auto* caption = qobject_cast<QLabel*>(named(n.label))) {
            target->setAccessibleName(caption->text());
            caption->setBuddy(target);
        } else if (auto* frame = qobject_cast<QGroupBox*>(named(n.label))) {
            target->setAccessibleName(frame->title());
        }
    }
    m_c.ProgressBar1->setAccessibleName(q(text::progressName));
    auto* image = findChild<QLabel*>(QStringLiteral("Image1"));
    image->setAccessibleName(image->toolTip());
    // Label4 was painted red before the port existed; through the port its state is told too.
    m_port.setBackColour(Control::Label4, colour::red);
}

void frmForm1::addCardListActions() {
    const struct {
        const char* caption;
        const char* name;
        QKeyCombination key;
        void (frmForm1::*handler)();
    } entries[] = {
        {text::loadListFromCard, "mnuLoadFromCard", Qt::CTRL | Qt::Key_L, &frmForm1::lstList1_LoadFromCard},
        {text::saveList, "mnuSaveList", Qt::CTRL | Qt::Key_S, &frmForm1::lstList1_SaveList},
        {text::openList, "mnuOpenList", Qt::CTRL | Qt::Key_O, &frmForm1::lstList1_OpenList},
    };
    for (const auto& e : entries) {
        auto* action = new QAction(q(e.caption), m_c.lstList1);
        action->setObjectName(q(e.name));
        action->setShortcut(QKeySequence(e.key));
        // Anywhere in the window, as the list itself rarely has the focus.
        action->setShortcutContext(Qt::WindowShortcut);
        action->setShortcutVisibleInContextMenu(true);
        m_c.lstList1->addAction(action);
        connect(action, &QAction::triggered, this, e.handler);
    }
    m_c.lstList1->setContextMenuPolicy(Qt::ActionsContextMenu);

    auto* drop = new FileDrop(m_c.lstList1->viewport());
    connect(drop, &FileDrop::dropped, this, &frmForm1::lstList1_DropFiles);
}

bool frmForm1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    const bool pressed =
        key == Qt::Key_Return || key == Qt::Key_Enter || (key == Qt::Key_Space && watched == m_c.lstList1);
    // Return acts on the row the keyboard is on, as a click there would: on a file it adds it
    // as a double-click does, on a track it applies the armed edit.
    if (pressed && (watched == m_c.File1 || watched == m_c.lstList1)) {
        auto* list = static_cast<QListWidget*>(watched);
        if (QListWidgetItem* row = list->currentItem()) {
            list->setCurrentItem(row);
            watched == m_c.File1 ? File1_DblClick() : lstList1_Click();
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
                    lstList1_Click();
            },
            Qt::QueuedConnection);
    }
    return QWidget::eventFilter(watched, event);
}

void frmForm1::Form_Load() { m_port.setTimer(CardMonitor::intervalMs, true); }

void frmForm1::Timer1_Timer() {
    if (ending())
        return;
    m_monitor.Timer1_Timer();
    if (m_monitor.statusChanged())
        m_c.Drive1->refresh();
}

void frmForm1::endProgram() {
    if (ending())
        return;
    m_port.setEnding();
    m_c.Timer1->stop();
    if (m_helpWindow)
        m_helpWindow->close();
    hide();
    QCoreApplication::exit(0);
}

void frmForm1::quit1_Click() { endProgram(); }

void frmForm1::closeEvent(QCloseEvent* event) {
    endProgram();
    event->accept();
}

void frmForm1::Command3_Click() {
    if (!m_helpWindow)
        m_helpWindow = new hlpform(this);
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
void frmForm1::cmdFinish_Click() { m_run.cmdFinish_Click(); }
void frmForm1::Command1_Click() { m_run.Command1_Click(); }
void frmForm1::Command2_Click() { m_run.Command2_Click(); }
void frmForm1::drvDrive1_Change() { m_browser.drvDrive1_Change(); }
void frmForm1::Dir1_Change() { m_browser.Dir1_Change(); }
void frmForm1::txtTEXT1_Change() { m_browser.txtTEXT1_Change(); }
void frmForm1::lstList1_LoadFromCard() { m_loader.lstList1_LoadFromCard(); }

void frmForm1::lstList1_SaveList() {
    if (const QString path = FileDialog::ask(this, FileDialog::Purpose::save); !path.isEmpty())
        m_lists.lstList1_SaveList(path.toStdString());
}

void frmForm1::lstList1_OpenList() {
    if (const QString path = FileDialog::ask(this, FileDialog::Purpose::open); !path.isEmpty())
        m_lists.lstList1_OpenList(path.toStdString());
}

void frmForm1::lstList1_DropFiles(const QStringList& paths) {
    std::vector<std::string> files;
    for (const QString& path : paths)
        files.push_back(path.toStdString());
    m_tracks.lstList1_DropFiles(files);
}

} // namespace velk::ui
