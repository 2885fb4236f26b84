#include "DesignedControl.h"

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "ui/qt/widgets/ColourButton.h"
#include "ui/qt/widgets/Layout.h"
#include "ui/qt/widgets/Outline.h"
#include "ui/qt/widgets/PngPicture.h"
#include "ui/qt/widgets/ProgressBar.h"
#include "ui/qt/widgets/StateLabel.h"
#include "ui/qt/widgets/WarningFrame.h"
#include "ui/qt/widgets/WrapButton.h"
#include "ui/qt/widgets/WrapLabel.h"

#include <QListWidget>
#include <QPlainTextEdit>

#include <stdexcept>

// Resources of a static library are linked in only when something names them.
static void loadResources() {
    Q_INIT_RESOURCE(resources);
}

namespace velk::qt {

namespace {

QLabel* label(const ControlDesign& d, QWidget* parent) {
    QLabel* l = nullptr;
    if (d.breaksWords)
        l = new WrapLabel(parent);
    else if (d.backColour) // its colour shows a state
        l = new StateLabel(parent);
    else
        l = new QLabel(qtText(d.caption), parent);
    l->setWordWrap(true);
    l->setAlignment(d.centred ? Qt::AlignHCenter | Qt::AlignTop : Qt::AlignLeft | Qt::AlignTop);
    if (d.bordered)
        l->setFrameStyle(QFrame::Box | QFrame::Plain);
    return l;
}

QListWidget* listBox(QWidget* parent) {
    auto* l = new QListWidget(parent);
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setSortingEnabled(false);
    return l;
}

QPlainTextEdit* textBox(QWidget* parent) {
    auto* t = new QPlainTextEdit(parent);
    t->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    t->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    t->setTabChangesFocus(true);
    return t;
}

// Scaled once to the pixels it covers: held at its full size and scaled at each paint, the
// logo kept 300 KB for a box of 121 x 89.
QLabel* picture(QSize shown, QWidget* parent) {
    loadResources();
    auto* image = new QLabel(parent);
    const qreal ratio = image->devicePixelRatioF();
    QPixmap logo = pngPicture(QStringLiteral(":/images/logo.png"), shown * ratio);
    logo.setDevicePixelRatio(ratio);
    image->setPixmap(logo);
    return image;
}

} // namespace

QWidget* buildControl(const ControlDesign& d, const SystemPort& system, QWidget* parent) {
    using K = ControlKind;
    const QRect box = pixels(d.box);
    switch (d.kind) {
    case K::rectangle:
        return Outline::rectangle(box, parent);
    case K::line:
        return Outline::line(box.topLeft(), box.topLeft() + QPoint(box.width(), box.height()),
                             parent);
    case K::label:
        return label(d, parent);
    case K::button:
        return new WrapButton(qtText(d.caption), parent);
    case K::colourButton:
        return new ColourButton(qtText(d.caption), d.backColour.value(), parent);
    case K::driveList:
        return new DriveList(system, parent);
    case K::folderList:
        return new FolderList(parent);
    case K::fileList:
        return new FileList(qtText(d.pattern), parent);
    case K::listBox:
        return listBox(parent);
    case K::textBox:
        return textBox(parent);
    case K::progressBar:
        return new ProgressBar(parent);
    case K::picture:
        return picture(box.size(), parent);
    case K::frame:
        return new WarningFrame(qtText(d.caption), d.backColour.value(), d.captionColour.value(),
                                parent);
    }
    throw std::logic_error("unknown kind of control");
}

} // namespace velk::qt
