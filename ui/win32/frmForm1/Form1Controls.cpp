#include "Form1Controls.h"

#include <algorithm>

namespace velk::win32 {

namespace {

const ControlDesign& row(std::string_view name) { return form1Control(name); }

Twips box(std::string_view name) {
    const TwipsBox& b = row(name).box;
    return {b.left, b.top, b.width, b.height};
}

LabelCtrl label(std::string_view name) {
    const ControlDesign& d = row(name);
    const auto align = d.breaksWords ? LabelCtrl::Align::wrapped
                       : d.centred   ? LabelCtrl::Align::centre
                                     : LabelCtrl::Align::left;
    // A label with a back colour of its own shows a state by it (Label4).
    return {std::string(name), box(name), align, d.bordered ? LabelCtrl::Border::single : LabelCtrl::Border::none,
            d.backColour.has_value()};
}

ColourButton colourButton(std::string_view name) {
    return {std::string(name), box(name), row(name).backColour.value()};
}

} // namespace

Form1Controls::Form1Controls(const SystemPort& system)
    : Label6(label("Label6")),
      labSourceDrive(label("labSourceDrive")),
      drvDrive1("drvDrive1", box("drvDrive1"), system),
      labLabel_folder1(label("labLabel_folder1")),
      Dir1("Dir1", box("Dir1")),
      labSourceFile(label("labSourceFile")),
      File1("File1", box("File1"), row("File1").pattern, &Dir1),
      Label2(label("Label2")),
      Drive1("Drive1", box("Drive1"), system),
      Label4(label("Label4")),
      Image1("Image1", box("Image1")),
      Command3("Command3", box("Command3")),
      cmdFinish("cmdFinish", box("cmdFinish")),
      Label7(label("Label7")),
      ProgressBar1("ProgressBar1", box("ProgressBar1")),
      labHelp(label("labHelp")),
      txtTEXT1("txtTEXT1", box("txtTEXT1"), EditCtrl::Scroll::none),
      Label5(label("Label5")),
      labLabel_Track(label("labLabel_Track")),
      labOutLIst(label("labOutLIst")),
      labLabelMode(label("labLabelMode")),
      lstList2("lstList2", box("lstList2")),
      lstList1("lstList1", box("lstList1")),
      lstListMode("lstListMode", box("lstListMode")),
      labNodeSet(label("labNodeSet")),
      cmdMode0(colourButton("cmdMode0")),
      labUninterrupt(label("labUninterrupt")),
      cmdMode1(colourButton("cmdMode1")),
      labInterrupt(label("labInterrupt")),
      cmdMode2(colourButton("cmdMode2")),
      labPlayButton(label("labPlayButton")),
      Label1(label("Label1")),
      cmdDel(colourButton("cmdDel")),
      newbut("newbut", box("newbut")),
      quit1("quit1", box("quit1")),
      Frame1("Frame1", box("Frame1"), row("Frame1").backColour.value(), row("Frame1").captionColour.value()),
      File2("File2", box("File2"), row("File2").pattern),
      labCard(label("labCard")),
      Label3(label("Label3")),
      Command1("Command1", box("Command1")),
      Command2("Command2", box("Command2")) {}

std::vector<Ctrl*> Form1Controls::all() {
    return {&Label6,   &labSourceDrive, &drvDrive1,    &labLabel_folder1, &Dir1,           &labSourceFile,
            &File1,    &Label2,         &Drive1,       &Label4,           &Image1,         &Command3,
            &cmdFinish, &Label7,        &ProgressBar1, &labHelp,          &txtTEXT1,       &Label5,
            &labLabel_Track, &labOutLIst, &labLabelMode, &lstList2,       &lstList1,       &lstListMode,
            &labNodeSet, &cmdMode0,     &labUninterrupt, &cmdMode1,       &labInterrupt,   &cmdMode2,
            &labPlayButton, &Label1,    &cmdDel,       &newbut,           &quit1,          &Frame1,
            &File2,    &labCard,        &Label3,       &Command1,         &Command2};
}

Ctrl* Form1Controls::find(std::string_view name) {
    const std::vector<Ctrl*> controls = all();
    const auto at = std::ranges::find_if(controls, [name](const Ctrl* c) { return c->name() == name; });
    return at == controls.end() ? nullptr : *at;
}

} // namespace velk::win32
