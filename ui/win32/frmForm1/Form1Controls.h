#pragma once

#include "DriveList.h"
#include "FileList.h"
#include "FolderList.h"
#include "core/Colours.h"
#include "ui/win32/wingui/ButtonCtrl.h"
#include "ui/win32/wingui/ColourButton.h"
#include "ui/win32/wingui/EditCtrl.h"
#include "ui/win32/wingui/FrameCtrl.h"
#include "ui/win32/wingui/LabelCtrl.h"
#include "ui/win32/wingui/ListBoxCtrl.h"
#include "ui/win32/wingui/PictureCtrl.h"
#include "ui/win32/wingui/ProgressCtrl.h"

namespace velk::win {

/// Every control of the main window with its name and its box in twips (left, top, width,
/// height; inside Frame1 from the frame's corner). Rectangles and lines are painted by the
/// window itself.
struct Form1Controls {
    using A = LabelCtrl::Align;
    using B = LabelCtrl::Border;

    explicit Form1Controls(const SystemPort& system)
        : drvDrive1("drvDrive1", {240, 720, 1815, 315}, system), Drive1("Drive1", {240, 3360, 1815, 315}, system) {}

    // Area 1: message file selection.
    LabelCtrl Label6{"Label6", {480, 195, 2895, 255}, A::centre, B::none};
    LabelCtrl labSourceDrive{"labSourceDrive", {240, 480, 1815, 255}, A::centre, B::single};
    DriveList drvDrive1;
    LabelCtrl labLabel_folder1{"labLabel_folder1", {240, 1080, 1815, 255}, A::centre, B::single};
    FolderList Dir1{"Dir1", {240, 1320, 1815, 1665}};
    LabelCtrl labSourceFile{"labSourceFile", {2160, 480, 1815, 255}, A::centre, B::single};
    FileList File1{"File1", {2160, 720, 1815, 2235}, "*.mp3;*.nvr"};
    LabelCtrl Label2{"Label2", {240, 3120, 1815, 255}, A::centre, B::single};
    DriveList Drive1;
    LabelCtrl Label4{"Label4", {240, 3720, 1815, 735}, A::left, B::single};
    PictureCtrl Image1{"Image1", {2160, 3120, 1815, 1335}};
    FrameCtrl Frame1{"Frame1", {480, 480, 3375, 3615}, colour::red, colour::highlight};
    FileList File2{"File2", {120, 360, 3135, 1845}, "*.*"};
    LabelCtrl Label3{"Label3", {120, 2280, 3135, 615}, A::centre, B::single};
    ButtonCtrl Command1{"Command1", {120, 3000, 975, 375}};
    ButtonCtrl Command2{"Command2", {2280, 3000, 975, 375}};

    // Area 2: commands, gauge and guidance box.
    ButtonCtrl Command3{"Command3", {120, 4680, 1215, 615}};
    ButtonCtrl cmdFinish{"cmdFinish", {120, 5400, 1215, 855}};
    LabelCtrl Label7{"Label7", {1440, 4680, 2655, 375}, A::wrapped, B::single};
    ProgressCtrl ProgressBar1{"ProgressBar1", {1440, 5040, 2655, 255}};
    LabelCtrl labHelp{"labHelp", {1440, 5400, 2655, 255}, A::centre, B::single};
    EditCtrl txtTEXT1{"txtTEXT1", {1440, 5640, 2655, 615}, EditCtrl::Scroll::none};

    // Area 3: message tracks list.
    LabelCtrl Label5{"Label5", {5040, 195, 1695, 255}, A::centre, B::none};
    LabelCtrl labLabel_Track{"labLabel_Track", {4440, 446, 615, 255}, A::centre, B::single};
    LabelCtrl labOutLIst{"labOutLIst", {5160, 446, 1575, 255}, A::centre, B::single};
    LabelCtrl labLabelMode{"labLabelMode", {6840, 446, 495, 255}, A::centre, B::single};
    ListBoxCtrl lstList2{"lstList2", {4560, 720, 375, 3180}};
    ListBoxCtrl lstList1{"lstList1", {5160, 720, 1575, 3180}};
    ListBoxCtrl lstListMode{"lstListMode", {6960, 720, 255, 3180}};

    // Area 4: mode buttons.
    LabelCtrl labNodeSet{"labNodeSet", {4440, 4145, 1935, 255}, A::centre, B::single};
    ColourButton cmdMode0{"cmdMode0", {4440, 4440, 615, 495}, colour::buttonFace};
    LabelCtrl labUninterrupt{"labUninterrupt", {5040, 4440, 1335, 495}, A::centre, B::single};
    ColourButton cmdMode1{"cmdMode1", {4440, 5040, 615, 495}, colour::buttonFace};
    LabelCtrl labInterrupt{"labInterrupt", {5040, 5040, 1335, 495}, A::centre, B::single};
    ColourButton cmdMode2{"cmdMode2", {4440, 5640, 615, 495}, colour::buttonFace};
    LabelCtrl labPlayButton{"labPlayButton", {5040, 5640, 1335, 495}, A::centre, B::single};

    // Area 5: edit list.
    LabelCtrl Label1{"Label1", {6600, 4145, 735, 255}, A::centre, B::single};
    ColourButton cmdDel{"cmdDel", {6646, 4440, 615, 495}, colour::buttonFace};
    ButtonCtrl newbut{"newbut", {6646, 5040, 615, 495}};
    ButtonCtrl quit1{"quit1", {6720, 5760, 495, 375}};
};

} // namespace velk::win
