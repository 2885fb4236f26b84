#pragma once

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "core/Form1Design.h"
#include "ui/win32/wingui/ButtonCtrl.h"
#include "ui/win32/wingui/ColourButton.h"
#include "ui/win32/wingui/EditCtrl.h"
#include "ui/win32/wingui/FrameCtrl.h"
#include "ui/win32/wingui/LabelCtrl.h"
#include "ui/win32/wingui/ListBoxCtrl.h"
#include "ui/win32/wingui/PictureCtrl.h"
#include "ui/win32/wingui/ProgressCtrl.h"

#include <string_view>
#include <vector>

namespace velk::win32 {

/// Every control of the main window, each made from its designed row; the rectangles and
/// lines are painted by the window itself. Creating their windows is the window's work.
struct Form1Controls {
    explicit Form1Controls(const SystemPort& system);

    /// Every control, in the order of the design.
    [[nodiscard]] std::vector<Ctrl*> all();
    /// The control with that name, or null.
    [[nodiscard]] Ctrl* find(std::string_view name);

    LabelCtrl Label6;
    LabelCtrl labSourceDrive;
    DriveList drvDrive1;
    LabelCtrl labLabel_folder1;
    FolderList Dir1;
    LabelCtrl labSourceFile;
    FileList File1;
    LabelCtrl Label2;
    DriveList Drive1;
    LabelCtrl Label4;
    PictureCtrl Image1;

    ButtonCtrl Command3;
    ButtonCtrl cmdFinish;
    LabelCtrl Label7;
    ProgressCtrl ProgressBar1;
    LabelCtrl labHelp;
    EditCtrl txtTEXT1;

    LabelCtrl Label5;
    LabelCtrl labLabel_Track;
    LabelCtrl labOutLIst;
    LabelCtrl labLabelMode;
    ListBoxCtrl lstList2;
    ListBoxCtrl lstList1;
    ListBoxCtrl lstListMode;

    LabelCtrl labNodeSet;
    ColourButton cmdMode0;
    LabelCtrl labUninterrupt;
    ColourButton cmdMode1;
    LabelCtrl labInterrupt;
    ColourButton cmdMode2;
    LabelCtrl labPlayButton;

    LabelCtrl Label1;
    ColourButton cmdDel;
    ButtonCtrl newbut;
    ButtonCtrl quit1;

    FrameCtrl Frame1;
    FileList File2;
    LabelCtrl labCard;
    LabelCtrl Label3;
    ButtonCtrl Command1;
    ButtonCtrl Command2;
};

} // namespace velk::win32
