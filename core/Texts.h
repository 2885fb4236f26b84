#pragma once

// Every text the operator reads in the windows, in one place so that the two windows and the
// logic cannot drift apart. Blanks are significant. The command line's own texts are in
// CommandLineTexts.h, the system's answers about drives and cards in PlatformTexts.h.
namespace velk::text {

inline constexpr const char* appTitle = "VELK Message Assembler";
inline constexpr const char* mainCaption =
    "                  Marrick  VELK - MMC Card Message Assembler";

// Captions and tooltips of the main window's controls, in the order the window lays them out.
inline constexpr const char* headingFileSelection = "Message File Selection";
inline constexpr const char* captionSourceDrive = "Source Drive";
inline constexpr const char* tipSourceDrive = "select a source disc drive";
inline constexpr const char* captionSourceFolder = "Source Folder";
inline constexpr const char* tipSourceFolder = "select a source folder";
inline constexpr const char* captionSourceFile = "Source File";
inline constexpr const char* tipSourceFile = "select a source file";
inline constexpr const char* captionDestinationDrive = "Destination Drive";
inline constexpr const char* tipDestinationDrive = "Drive Letter for the MMC Card";
inline constexpr const char* tipLogo =
    "VELK Message Assembler - builds message cards for the VELK player";
inline constexpr const char* tipRootFiles =
    "List of Files in the ROOT Directory of the Destination Drive";
inline constexpr const char* captionConfirmWipe = "O.K.";
inline constexpr const char* tipConfirmWipe =
    "Click to Delete All Files in the ROOT Directory of the Destination Drive";
inline constexpr const char* captionCancelWipe = "CANCEL";
inline constexpr const char* tipCancelWipe = "Cancel the Delete and Download Operation";
inline constexpr const char* captionHelp = "HELP";
inline constexpr const char* tipHelp = "Display the HELP screen";
inline constexpr const char* captionProgramme = "Programme MMC Card";
inline constexpr const char* tipProgramme = "download files to MMC";
inline constexpr const char* headingGuidance = "Guidance Box";
inline constexpr const char* tipGuidance = "guidance info";
inline constexpr const char* headingTracksList = "Message Tracks List";
inline constexpr const char* captionTrackColumn = "Track";
inline constexpr const char* captionFileColumn = "File Name";
inline constexpr const char* captionModeColumn = "Mode";
inline constexpr const char* tipTrackColumn = "track number";
inline constexpr const char* tipFileColumn = "Mpeg play list";
inline constexpr const char* tipModeColumn = "mode for this track";
inline constexpr const char* headingModeButtons = "Mode set buttons";
inline constexpr const char* captionMode0 = "Mode 0";
inline constexpr const char* tipMode0 = "sets track for uninterrupted play";
inline constexpr const char* captionMode0Meaning = "Uninterrupted (default)";
inline constexpr const char* captionMode1 = "Mode 1";
inline constexpr const char* tipMode1 = "track play may be interrupted";
inline constexpr const char* captionMode1Meaning = "Interrupted";
inline constexpr const char* captionMode2 = "Mode 2";
inline constexpr const char* tipMode2 = "track will play only when button is held down";
inline constexpr const char* captionMode2Meaning = "Play while button pressed";
inline constexpr const char* headingEditList = "Edit List";
inline constexpr const char* captionDelete = "Delete";
inline constexpr const char* tipDelete = "Delete item from Tracks List";
inline constexpr const char* captionNew = "New";
inline constexpr const char* tipNew = "Clear Message Tracks List";
inline constexpr const char* captionQuit = "Quit";
inline constexpr const char* tipQuit = "Quit program";

inline constexpr const char* selectSource = "Select a Source File by double clicking on it";
inline constexpr const char* maxTracks = "Reached Maximum Track Number";
inline constexpr const char* exceedsCard = "Files exceed MMC card capacity";
inline constexpr const char* gaugePrefix = "Message Size vs Card Size ";
/// A file that cannot be added.
inline constexpr const char* cannotRead = "Cannot read {file} - {reason}";
inline constexpr const char* notAFile = "not a file";
inline constexpr const char* cannotOpen = "cannot be opened";

inline constexpr const char* selectDestination = "Select a drive letter for the MMC card";
inline constexpr const char* notFlashCard = "ERROR - Selected Drive is NOT a FLASH CARD!";
inline constexpr const char* insertCard = "Please insert MMC card";
inline constexpr const char* capacity = "Removeable Drive   Capacity =  {megabytes}MBytes";

inline constexpr const char* driveUnavailable =
    "Drive unavailable - Please insert an MMC card into reader, exit Drive and retry";
/// A source drive that does not answer (a network drive whose server is gone).
inline constexpr const char* sourceNotAnswering =
    "Drive not answering - it opens when it answers, or select another drive";
/// Why a source root cannot be opened, where the system gave no reason.
inline constexpr const char* notAFolder = "not a folder";

inline constexpr const char* creatingIndex =
    "Creating INDEX file and downloading to MMC card  Please wait";
inline constexpr const char* downloading = "Downloading Please WAIT";
inline constexpr const char* incorrectDestination = "ERROR - INCORRECT DESTINATION DRIVE";
inline constexpr const char* deletingFiles = "Deleting Existing Files";
inline constexpr const char* copyingPrefix = "Copying ";
inline constexpr const char* copyingIndex = "Copying Index File";
inline constexpr const char* downloadComplete = "DOWNLOAD COMPLETE";
inline constexpr const char* removeCard =
    "You may now remove the MMC card - capacity used {bytes} bytes";
inline constexpr const char* deleteWarning =
    "WARNING! - THESE FILES WILL BE DELETED FROM THE DESTINATION DRIVE";

/// A step of a programming run, of loading or saving a list, that failed: with the file,
/// with the file copied and where to, or with nothing but the reason.
inline constexpr const char* stepFailed = "{step} failed: {file}: {reason}";
inline constexpr const char* copyFailed = "{step} failed: {file} -> {target}: {reason}";
inline constexpr const char* stepFailedWhy = "{step} failed: {reason}";
inline constexpr const char* runReasonSeparator = ": ";
inline constexpr const char* failedCardUnchanged =
    "Programming FAILED - the MMC card has not been changed";
inline constexpr const char* failedCardIncomplete =
    "Programming FAILED - the MMC card is incomplete and NOT ready for use";
/// A failure that has no step of its own.
inline constexpr const char* programmingStopped = "Programming stopped: {reason}";
inline constexpr const char* stepWriteIndex = "Writing the INDEX file";
inline constexpr const char* stepOpenDestination = "Opening the destination drive";
inline constexpr const char* stepCheckCard = "Checking the MMC card";
inline constexpr const char* stepDummy = "Creating the dummy file";
inline constexpr const char* stepDelete = "Deleting";
inline constexpr const char* stepMeasure = "Reading the file size";
inline constexpr const char* stepCount = "Adding up the bytes copied";
inline constexpr const char* stepCopy = "Copying";
inline constexpr const char* stepSave = "Writing to the MMC card";
inline constexpr const char* stepCopyIndex = "Copying the INDEX file";
inline constexpr const char* stepStage = "Keeping the source files that are on the MMC card";
inline constexpr const char* stepOpenSource = "Opening the source file";
/// The room refused reads: stepCheckRoom, the drive, then roomRefused.
inline constexpr const char* stepCheckRoom = "Checking the room on the MMC card";
inline constexpr const char* roomRefused =
    "{needed} bytes are needed, {free} bytes will be free after the wipe";
inline constexpr const char* stepListRoot = "Listing the MMC card's files";
inline constexpr const char* stepCheckRoot = "Checking the MMC card's root folder";
inline constexpr const char* notWrittenByRun = "this file was not written by the programming run";
/// Follows a failure's message when recordings from the card's root were moved aside.
inline constexpr const char* keptSourcesIn =
    "The recordings that were in the MMC card's root folder are kept in ";
inline constexpr const char* stepVerify = "Verifying";
inline constexpr const char* keepingPrefix = "Keeping ";
inline constexpr const char* verifyingPrefix = "Verifying ";
inline constexpr const char* differsAtByte = "differs from what was written, first at byte ";
inline constexpr const char* sourceChanged = "its source file changed while it was copied";
inline constexpr const char* noLongerRemovable = "the drive is no longer a removable drive";
inline constexpr const char* noLongerAnswers = "the MMC card no longer answers";
inline constexpr const char* rootChanged = "the card's root folder has changed";
inline constexpr const char* otherCard = "another card is in its place";
inline constexpr const char* countOverflow = "the total passes 2147483647 bytes";
inline constexpr const char* changedSinceListed = "it changed after the card's files were listed";
inline constexpr const char* notTheFilePinned = "another file has taken its place";
inline constexpr const char* changedWhileCopied = "another program changed it while it was copied";
inline constexpr const char* notAnIndex =
    "this is not an INDEX file of this program, and it is left as it is";
inline constexpr const char* noDataFolder = "there is no folder of the program's own to keep it in";
inline constexpr const char* cardBeingProgrammed =
    "the MMC card is being programmed by another run; try again when that run has ended";
inline constexpr const char* stepRemoveIndex = "Removing the old INDEX file";
/// Follows the name of a root file in the wipe question when the run moves it aside and copies
/// from it rather than deleting it.
inline constexpr const char* keptForRun = "  (kept for this run)";
/// Names the card in the wipe question: cardAsked, the drive, then the volume label in quotes.
inline constexpr const char* cardAsked = "Card ";

/// Why the system is asked to hold off a logoff or shutdown while a run writes the card.
inline constexpr const char* shutdownBlocked = "Programming the MMC card";
/// A fault that stopped what the window was doing reads: windowFault, then what went wrong.
inline constexpr const char* windowFault = "Unexpected error - the last action was stopped: ";

// Reading a card's list back, and files dropped on the list.
inline constexpr const char* loadListFromCard = "Load list from card";
/// A list that cannot be loaded: stepFailed with this step.
inline constexpr const char* stepLoadList = "Loading the list from the MMC card";
inline constexpr const char* loadNeedsCard = "no MMC card is ready in the destination drive";
inline constexpr const char* indexEmpty = "the INDEX file is empty";
inline constexpr const char* indexLength =
    "the INDEX file is {length} long, not 1 byte and 14 for each track";
inline constexpr const char* indexCount =
    "the INDEX file's count byte says {count} tracks, but it holds records for {records}";
inline constexpr const char* indexNumbered = "track {track} has the number {number}";
inline constexpr const char* indexMode = "track {track} has play mode {mode}, not 0, 1 or 2";
inline constexpr const char* indexName =
    "track {track} names \"{name}\", not a card file M00000nn.MP3";
/// Followed by the names of the dropped files that were not taken, comma-separated.
inline constexpr const char* dropRefused = "Only .mp3 and .nvr files can be added - not added: ";

// Ejecting the card in Drive1 (its menu, its key), and mounting a card on request.
inline constexpr const char* ejectCard = "Eject card";
inline constexpr const char* ejectFailed = "Ejecting the MMC card in {drive} failed: {reason}";
/// The guidance box after an eject that failed.
inline constexpr const char* cardNotEjected = "The MMC card was NOT ejected - do not remove it yet";
inline constexpr const char* cardEjected =
    "The MMC card in {drive} can now be taken out of the reader";

// Saved track lists, from the tracks list's menu and the command line.
inline constexpr const char* saveList = "Save list...";
inline constexpr const char* openList = "Open list...";
/// Before a menu command's key, where the menu shows it.
inline constexpr const char* ctrlKey = "Ctrl+";
/// A list that cannot be saved or opened: stepFailed with one of these steps.
inline constexpr const char* stepSaveList = "Saving the list";
inline constexpr const char* stepOpenList = "Opening the list";
inline constexpr const char* listFilter = "Track lists (*.txt);;All files (*)";
/// The first line of every list saved.
inline constexpr const char* listHeading = "# VELK track list: play mode, tab, source file\n";
inline constexpr const char* listBadLine =
    "line {line} is not a play mode 0, 1 or 2, a tab and a file";
// What a screen reader says of a state that the window shows only by a colour.
inline constexpr const char* armedDelete = "Armed: the next track selected in the list is deleted";
inline constexpr const char* armedMode =
    "Armed: the next track selected in the list gets this mode";
inline constexpr const char* destinationReady = "Destination ready";
inline constexpr const char* destinationNotReady = "Destination not ready";
inline constexpr const char* guidanceWarning = "Warning";
/// What an armed button shows below its caption where colours alone are not enough.
inline constexpr const char* armed = "Armed";
/// Between a button's caption and the words for its state, where both share one name.
inline constexpr const char* stateSeparator = " - ";
/// The accessible name of ProgressBar1, which has no label of its own.
inline constexpr const char* progressName = "Message size and programming progress";

inline constexpr const char* helpCaption = "VELK Programming Help";
/// Captions of the help topic buttons hbut1 to hbut9.
inline constexpr const char* helpTopics[9] = {
    "Introduction",      "The Audio Files",  "Message Assembler",
    "Destination Drive", "The Source Files", "The Tracks List",
    "Message Modes",     "Editing The List", "Programming Cards",
};
/// Shown greyed in the empty help text box, followed by the path and the system's message.
inline constexpr const char* helpUnreadable = "This help topic cannot be shown. ";
/// Shown the same way, followed by the path where the topic was looked for.
inline constexpr const char* helpNotFound = "This help topic was not found: ";

} // namespace velk::text
