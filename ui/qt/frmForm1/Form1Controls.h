#pragma once

class QGroupBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace velk::qt {

class ColourButton;
class DriveList;
class FileList;
class FolderList;
class ProgressBar;
class StateLabel;

/// The main window's controls that behaviour reads or writes; owned by the window.
struct Form1Controls {
    DriveList* drvDrive1 = nullptr;
    FolderList* Dir1 = nullptr;
    FileList* File1 = nullptr;
    DriveList* Drive1 = nullptr;
    StateLabel* Label4 = nullptr;
    QGroupBox* Frame1 = nullptr;
    FileList* File2 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* cmdFinish = nullptr;
    QLabel* Label7 = nullptr;
    ProgressBar* ProgressBar1 = nullptr;
    QPlainTextEdit* txtTEXT1 = nullptr;
    /// The guidance box's heading, which carries the words for the box's colour.
    QLabel* labHelp = nullptr;
    QListWidget* lstList1 = nullptr;
    QListWidget* lstList2 = nullptr;
    QListWidget* lstListMode = nullptr;
    ColourButton* cmdMode0 = nullptr;
    ColourButton* cmdMode1 = nullptr;
    ColourButton* cmdMode2 = nullptr;
    ColourButton* cmdDel = nullptr;
    QPushButton* newbut = nullptr;
    QPushButton* quit1 = nullptr;
    QTimer* Timer1 = nullptr;
};

} // namespace velk::qt
