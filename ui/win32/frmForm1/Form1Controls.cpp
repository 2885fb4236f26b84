#include "Form1Controls.h"

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "core/TextFit.h"
#include "ui/win32/wingui/ColourButton.h"
#include "ui/win32/wingui/EditCtrl.h"
#include "ui/win32/wingui/FrameCtrl.h"
#include "ui/win32/wingui/LabelCtrl.h"
#include "ui/win32/wingui/PictureCtrl.h"
#include "ui/win32/wingui/ProgressCtrl.h"

#include <algorithm>
#include <string>

namespace velk::win32 {

namespace {

std::unique_ptr<Ctrl> make(const ControlDesign& d, const SystemPort& system) {
    using K = ControlKind;
    std::string name(d.name);
    const Twips box{d.box.left, d.box.top, d.box.width, d.box.height};
    switch (d.kind) {
    case K::rectangle:
    case K::line:
        return nullptr;
    case K::label: {
        const auto align = d.breaksWords ? LabelCtrl::Align::wrapped
                           : d.centred   ? LabelCtrl::Align::centre
                                         : LabelCtrl::Align::left;
        // A label with a back colour of its own shows a state by it (Label4).
        const auto border = d.bordered ? LabelCtrl::Border::single : LabelCtrl::Border::none;
        auto label = std::make_unique<LabelCtrl>(std::move(name), box, align, border,
                                                 d.backColour.has_value());
        // A path too long keeps its start and its file name.
        if (d.breaksWords)
            label->setShorten(&elideMiddle);
        return label;
    }
    case K::button:
        return std::make_unique<ButtonCtrl>(std::move(name), box);
    case K::colourButton:
        return std::make_unique<ColourButton>(std::move(name), box, d.backColour.value());
    case K::driveList:
        return std::make_unique<DriveList>(std::move(name), box, system);
    case K::folderList:
        return std::make_unique<FolderList>(std::move(name), box);
    case K::fileList:
        return std::make_unique<FileList>(std::move(name), box, d.pattern);
    case K::listBox:
        return std::make_unique<ListBoxCtrl>(std::move(name), box);
    case K::textBox:
        return std::make_unique<EditCtrl>(std::move(name), box, EditCtrl::Scroll::none);
    case K::progressBar:
        return std::make_unique<ProgressCtrl>(std::move(name), box);
    case K::picture:
        return std::make_unique<PictureCtrl>(std::move(name), box);
    case K::frame:
        return std::make_unique<FrameCtrl>(std::move(name), box, d.backColour.value(),
                                           d.captionColour.value());
    }
    throw std::logic_error("unknown kind of control");
}

} // namespace

Form1Controls::Form1Controls(const SystemPort& system) {
    for (const ControlDesign& d : form1Design())
        if (std::unique_ptr<Ctrl> c = make(d, system))
            m_all.push_back(std::move(c));
}

void Form1Controls::create(HWND window, UINT dpi) {
    using K = ControlKind;
    for (const ControlDesign& d : form1Design()) {
        const HWND parent = d.parent.empty() ? window : get(d.parent).hwnd();
        switch (d.kind) {
        case K::rectangle:
        case K::line:
            continue;
        case K::label:
            get<LabelCtrl>(d.name).create(parent, d.caption, dpi);
            break;
        case K::button:
            get<ButtonCtrl>(d.name).create(parent, d.caption, dpi);
            break;
        case K::colourButton:
            get<ColourButton>(d.name).create(parent, d.caption, dpi);
            break;
        case K::driveList:
            get<DriveList>(d.name).create(parent, dpi);
            break;
        case K::folderList:
            get<FolderList>(d.name).create(parent, dpi);
            break;
        case K::fileList:
        case K::listBox:
            get<ListBoxCtrl>(d.name).create(parent, dpi);
            break;
        case K::textBox:
            get<EditCtrl>(d.name).create(parent, dpi);
            break;
        case K::progressBar:
            get<ProgressCtrl>(d.name).create(parent, dpi);
            break;
        case K::picture:
            get<PictureCtrl>(d.name).create(parent, L"LOGO", dpi);
            break;
        case K::frame:
            get<FrameCtrl>(d.name).create(parent, d.caption, dpi);
            break;
        }
        if (d.backColour && d.kind == K::label)
            get<LabelCtrl>(d.name).setBackColour(*d.backColour);
        else if (d.backColour && d.kind == K::textBox)
            get<EditCtrl>(d.name).setBackColour(*d.backColour);
    }
}

Ctrl* Form1Controls::find(std::string_view name) const {
    const auto at =
        std::ranges::find_if(m_all, [name](const auto& c) { return c->name() == name; });
    return at == m_all.end() ? nullptr : at->get();
}

void Form1Controls::notOfType(std::string_view name) {
    throw std::logic_error("the main window has no control " + std::string(name) + " of that kind");
}

} // namespace velk::win32
