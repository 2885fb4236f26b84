#pragma once

// Every text the operator reads, in one place so that window and logic cannot drift apart.
// Blanks are significant.
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
inline constexpr const char* tipLogo = "VELK Message Assembler - builds message cards for the VELK player";
inline constexpr const char* tipRootFiles = "List of Files in the ROOT Directory of the Destination Drive";
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
/// A file that cannot be added reads: cannotRead, its name, cannotReadSeparator, the reason.
inline constexpr const char* cannotRead = "Cannot read ";
inline constexpr const char* cannotReadSeparator = " - ";
inline constexpr const char* notAFile = "not a file";
inline constexpr const char* cannotOpen = "cannot be opened";

inline constexpr const char* selectDestination = "Select a drive letter for the MMC card";
inline constexpr const char* notFlashCard = "ERROR - Selected Drive is NOT a FLASH CARD!";
inline constexpr const char* insertCard = "Please insert MMC card";
inline constexpr const char* capacityPrefix = "Removeable Drive   Capacity = ";
inline constexpr const char* capacitySuffix = "MBytes";

inline constexpr const char* driveUnavailable =
    "Drive unavailable - Please insert an MMC card into reader, exit Drive and retry";
/// A source drive that does not answer (a network drive whose server is gone).
inline constexpr const char* sourceNotAnswering =
    "Drive not answering - it opens when it answers, or select another drive";
/// Why a source root cannot be opened, where the system gave no reason.
inline constexpr const char* notAFolder = "not a folder";

/// A drive list entry reads: the drive, driveDetailOpen, what it holds, driveDetailClose.
inline constexpr const char* driveDetailOpen = "  (";
inline constexpr const char* driveDetailClose = ")";
inline constexpr const char* driveCardPrefix = "card: ";
inline constexpr const char* driveNoCard = "no card";
inline constexpr const char* driveCardNotMounted = "card not mounted";
/// A reader whose card the monitor refuses as not a flash card for its size alone.
inline constexpr const char* driveCardTooLarge = "card larger than 2.5 GB";
/// A drive asked for its root that has not answered yet.
inline constexpr const char* driveNotAnswering = "not answering";
/// A removable disk that the running system uses, followed by what uses it.
inline constexpr const char* driveSystemDisk = "system disk";
inline constexpr const char* cardNotMounted = "the card is not mounted";

inline constexpr const char* creatingIndex =
    "Creating INDEX file and downloading to MMC card  Please wait";
inline constexpr const char* downloading = "Downloading Please WAIT";
inline constexpr const char* incorrectDestination = "ERROR - INCORRECT DESTINATION DRIVE";
inline constexpr const char* deletingFiles = "Deleting Existing Files";
inline constexpr const char* copyingPrefix = "Copying ";
inline constexpr const char* copyingIndex = "Copying Index File";
inline constexpr const char* downloadComplete = "DOWNLOAD COMPLETE";
inline constexpr const char* removeCardPrefix = "You may now remove the MMC card - capacity used ";
inline constexpr const char* removeCardSuffix = " bytes";
inline constexpr const char* deleteWarning =
    "WARNING! - THESE FILES WILL BE DELETED FROM THE DESTINATION DRIVE";

/// A programming run that fails reads: the step, runFailed, the file (runArrow and the
/// target for a copy), runReasonSeparator, the reason.
inline constexpr const char* runFailed = " failed: ";
inline constexpr const char* runArrow = " -> ";
inline constexpr const char* runReasonSeparator = ": ";
inline constexpr const char* failedCardUnchanged =
    "Programming FAILED - the MMC card has not been changed";
inline constexpr const char* failedCardIncomplete =
    "Programming FAILED - the MMC card is incomplete and NOT ready for use";
/// Heads a failure that has no step of its own.
inline constexpr const char* programmingStopped = "Programming stopped";
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
/// The room refused reads: stepCheckRoom, the drive, the bytes, roomNeeded, the bytes, roomFree.
inline constexpr const char* stepCheckRoom = "Checking the room on the MMC card";
inline constexpr const char* roomNeeded = " bytes are needed, ";
inline constexpr const char* roomFree = " bytes will be free after the wipe";
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
inline constexpr const char* notAnIndex = "this is not an INDEX file of this program, and it is left as it is";
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
/// A list that cannot be loaded reads: stepLoadList, runFailed, the file or drive,
/// runReasonSeparator, the reason.
inline constexpr const char* stepLoadList = "Loading the list from the MMC card";
inline constexpr const char* loadNeedsCard = "no MMC card is ready in the destination drive";
inline constexpr const char* indexEmpty = "the INDEX file is empty";
inline constexpr const char* indexLengthPrefix = "the INDEX file is ";
inline constexpr const char* indexLengthSuffix = " long, not 1 byte and 14 for each track";
inline constexpr const char* indexCountPrefix = "the INDEX file's count byte says ";
inline constexpr const char* indexCountMiddle = " tracks, but it holds records for ";
inline constexpr const char* indexTrack = "track ";
inline constexpr const char* indexNumbered = " has the number ";
inline constexpr const char* indexMode = " has play mode ";
inline constexpr const char* indexModeSuffix = ", not 0, 1 or 2";
inline constexpr const char* indexNamePrefix = " names \"";
inline constexpr const char* indexNameSuffix = "\", not a card file M00000nn.MP3";
/// Followed by the names of the dropped files that were not taken, comma-separated.
inline constexpr const char* dropRefused = "Only .mp3 and .nvr files can be added - not added: ";

// Why a card that nothing has mounted stays unmounted; shown in the destination drive list
// after driveCardNotMounted and driveReasonSeparator.
inline constexpr const char* driveReasonSeparator = ": ";
inline constexpr const char* mountPending = "mounting";
inline constexpr const char* mountNoBus = "no system bus";
inline constexpr const char* mountNoUDisks = "UDisks2 is not running";
inline constexpr const char* mountNoFileSystem = "UDisks2 knows no file system on it";

// Ejecting the card in Drive1 (its menu, its key), and mounting a card on request.
inline constexpr const char* ejectCard = "Eject card";
/// An eject refused reads: stepEject, the drive, runFailed, the reason; the guidance box then
/// reads cardNotEjected.
inline constexpr const char* stepEject = "Ejecting the MMC card in ";
inline constexpr const char* cardNotEjected = "The MMC card was NOT ejected - do not remove it yet";
/// A card ejected reads: cardEjectedPrefix, the drive, cardEjectedSuffix.
inline constexpr const char* cardEjectedPrefix = "The MMC card in ";
inline constexpr const char* cardEjectedSuffix = " can now be taken out of the reader";
/// Follows driveCardNotMounted and driveReasonSeparator once the card was ejected.
inline constexpr const char* mountEjected = "ejected";
// Why the system did not eject or mount a card.
inline constexpr const char* notACardReader = "it is not a card reader";
inline constexpr const char* readerEmpty = "there is no card in the reader";
/// A busy card reads: cardInUse, then where the system tells them cardInUseBy and the
/// programs (the name, pidOpen, the number, pidClose; comma-separated), then cardInUseHint.
inline constexpr const char* cardInUse = "the MMC card is in use";
inline constexpr const char* cardInUseBy = " by ";
inline constexpr const char* pidOpen = " (pid ";
inline constexpr const char* pidClose = ")";
inline constexpr const char* cardInUseHint =
    " - close the files and folders open on it, then eject it again";
inline constexpr const char* unmountNotPermitted =
    "UDisks2 is not running, and only the administrator may unmount the card";
inline constexpr const char* mountNotPermitted =
    "UDisks2 is not running, and only the administrator may mount the card";
inline constexpr const char* mountNoKnownFileSystem = "the system knows no file system on it";
inline constexpr const char* mountTimedOut = "UDisks2 did not mount it within 5 seconds";
/// Followed by the system's message.
inline constexpr const char* readerKeepsCard = "the reader did not let go of the card: ";

// Saved track lists, from the tracks list's menu and the command line.
inline constexpr const char* saveList = "Save list...";
inline constexpr const char* openList = "Open list...";
/// Before a menu command's key, where the menu shows it.
inline constexpr const char* ctrlKey = "Ctrl+";
/// A list that cannot be saved or opened reads: the step, runFailed, the file,
/// runReasonSeparator, the reason.
inline constexpr const char* stepSaveList = "Saving the list";
inline constexpr const char* stepOpenList = "Opening the list";
inline constexpr const char* listFilter = "Track lists (*.txt);;All files (*)";
/// The first line of every list saved.
inline constexpr const char* listHeading = "# VELK track list: play mode, tab, source file\n";
/// A line that is not a track reads: listLinePrefix, its number, listBadLine.
inline constexpr const char* listLinePrefix = "line ";
inline constexpr const char* listBadLine = " is not a play mode 0, 1 or 2, a tab and a file";

// The command line, velk-card.
inline constexpr const char* cliName = "velk-card";
inline constexpr const char* cliUsage =
    "Usage: velk-card COMMAND [OPTIONS]\n"
    "Programmes, lists and checks the MMC cards of VELK message players.\n"
    "\n"
    "Commands:\n"
    "  programme  write a list of tracks onto one or more cards\n"
    "  list       show the list on a card\n"
    "  verify     check that a card holds exactly a list\n"
    "  drives     show the card readers and drives\n"
    "  eject      make cards safe to take out of their readers\n"
    "\n"
    "velk-card COMMAND --help describes a command; velk-card --version gives the version.\n"
    "Exit status: 0 done, 1 refused or failed, 2 wrong usage.\n";
inline constexpr const char* cliProgrammeHelp =
    "Usage: velk-card programme --card CARD [--card CARD...] [--yes] [--eject]\n"
    "                           [--quiet | --json] (TRACK... | --list FILE)\n"
    "       velk-card programme --each-inserted --yes [--count N] [--eject]\n"
    "                           [--quiet | --json] (TRACK... | --list FILE)\n"
    "Writes the tracks and their index onto every card at once, and reads everything back\n"
    "before it reports a card verified. The files in a card's root folder are deleted: they\n"
    "are listed and the question answered y or N on the terminal.\n"
    "\n"
    "  --card CARD      the card reader (/dev/sdb, e:) or the card's mount point\n"
    "  --yes            delete the card's files without asking (needed without a terminal)\n"
    "  --quiet          nothing but each card's result line\n"
    "  --json           JSON lines: each step and each card's result\n"
    "  --each-inserted  programme every card put into any reader, until Ctrl+C; a card\n"
    "                   that already holds the list is left as it is\n"
    "  --count N        end the station after N cards\n"
    "  --eject          eject each card once it is verified (or held the list already)\n"
    "  --list FILE      the tracks of a saved list: a play mode, a tab and a file on each line\n"
    "  TRACK            FILE or FILE:MODE, an .mp3 or .nvr file, play mode 0, 1 or 2\n"
    "\n"
    "Exit status: 0 when every card was verified, 1 otherwise, 2 for wrong usage, 130 when\n"
    "Ctrl+C ended it.\n";
inline constexpr const char* cliListHelp =
    "Usage: velk-card list --card CARD [--json]\n"
    "Shows the list on the card, read from its INDEX file: track, play mode, card file and\n"
    "size.\n"
    "\n"
    "  --card CARD  the card reader (/dev/sdb, e:) or the card's mount point\n"
    "  --json       one JSON array of objects instead of a table\n";
inline constexpr const char* cliVerifyHelp =
    "Usage: velk-card verify --card CARD (TRACK... | --list FILE)\n"
    "Checks, without writing, that the card holds exactly this list: its INDEX file and\n"
    "every track byte for byte. Exit status 0 when it does; 1 with what differs.\n"
    "\n"
    "  --card CARD  the card reader (/dev/sdb, e:) or the card's mount point\n"
    "  --list FILE  the tracks of a saved list\n"
    "  TRACK        FILE or FILE:MODE, play mode 0, 1 or 2 (0 when not given)\n";
inline constexpr const char* cliDrivesHelp =
    "Usage: velk-card drives [--json]\n"
    "Shows the card readers and drives as the destination drive list offers them, each with\n"
    "its state: ready with its capacity, no card, or not a card and why.\n"
    "\n"
    "  --json       one JSON array of objects instead of a table\n";
inline constexpr const char* cliEjectHelp =
    "Usage: velk-card eject --card CARD [--card CARD...]\n"
    "Writes out what the system still holds for each card, unmounts it and, where the reader\n"
    "can, switches the card off, so that it can be taken out. A card that a program still has\n"
    "a file or folder open on is not ejected, and the line says which program.\n"
    "\n"
    "  --card CARD  the card reader (/dev/sdb, e:) or the card's mount point\n";
/// Wrong usage reads: cliName, runReasonSeparator, what is wrong, then cliSeeHelp.
inline constexpr const char* cliSeeHelp = "Try 'velk-card --help'.";
inline constexpr const char* cliNeedsCommand = "no command given";
inline constexpr const char* cliUnknownCommand = "unknown command ";
inline constexpr const char* cliUnknownOption = "unknown option ";
inline constexpr const char* cliNeedsValue = " needs a value";
inline constexpr const char* cliNeedsCard = "no --card given";
inline constexpr const char* cliOneCard = "give one --card";
inline constexpr const char* cliNeedsTracks = "no TRACK and no --list given";
inline constexpr const char* cliTracksOrList = "give TRACKs or --list, not both";
inline constexpr const char* cliNoArguments = "takes no TRACK";
/// The wipe question on the terminal, after the card's files and deleteWarning.
inline constexpr const char* cliWipeQuestion = "Delete these files and programme the card? [y/N] ";
inline constexpr const char* cliWipeNeedsYes =
    "Programming refused - no terminal to ask before the card's files are deleted; give --yes";
inline constexpr const char* cliCancelled = "Programming cancelled - the MMC card has not been changed";
inline constexpr const char* cliInterruptedUnchanged =
    "Programming interrupted - the MMC card has not been changed";
inline constexpr const char* cliInterruptedIncomplete =
    "Programming interrupted - the MMC card is incomplete and NOT ready for use";
/// Heads the line of a card that was read back whole: cliVerifiedPrefix, then the window's text.
inline constexpr const char* cliVerifiedPrefix = "verified - ";
inline constexpr const char* cliVerified = "verified - the MMC card holds exactly this list";
inline constexpr const char* cliAlreadyHeld = "unchanged - the MMC card already holds exactly this list";
/// Follows a card's line when --eject was asked for.
inline constexpr const char* cliEjected = " - ejected, it can be taken out";
inline constexpr const char* cliNotEjected = " - NOT ejected, do not remove it yet";
/// Why a drive is no card, on the line after the monitor's own words.
inline constexpr const char* cliNoSuchDevice = "no such device";
inline constexpr const char* cliNotRemovable = "not a removable drive";
/// A TRACK that is not one reads: the argument, then one of these.
inline constexpr const char* cliBadMode = ": the play mode after the last ':' is not 0, 1 or 2";
inline constexpr const char* cliNotAudio = ": only .mp3 and .nvr files can be tracks";
inline constexpr const char* cliNeedsYesForStation = "--each-inserted needs --yes: nobody is there to ask";
inline constexpr const char* cliStationTakesNoCard = "--each-inserted takes every reader: give no --card";
inline constexpr const char* cliCountWithoutStation = "--count needs --each-inserted";
inline constexpr const char* cliBadCount = "--count needs a whole number above 0";
/// The results of the summary table and of --json.
inline constexpr const char* resultVerified = "verified";
inline constexpr const char* resultUnchanged = "unchanged";
inline constexpr const char* resultCancelled = "cancelled";
inline constexpr const char* resultRefused = "refused";
inline constexpr const char* resultFailed = "failed";
inline constexpr const char* resultInterrupted = "interrupted";
/// Heads the summary table after the cards' progress lines.
inline constexpr const char* summaryHeading = "Card\tResult\tBytes\tSeconds";
/// Waiting for a card, in the station's progress line.
inline constexpr const char* stationWaiting = "waiting for cards - Ctrl+C ends";
inline constexpr const char* cliRootEmpty = "(no files)";
inline constexpr const char* cliSameCard = "names a card that another --card names";
/// What differs between a card and a list: verifyCardHolds, the tracks on the card,
/// verifyTheList, the tracks of the list; a track's play mode reads indexTrack, its number,
/// indexMode, the card's mode, verifyOnCard, the list's mode, verifyInList; a track's file
/// reads indexTrack, its number, verifyDiffersFrom, the source's name, verifyAtByte, the byte.
inline constexpr const char* verifyCardHolds = "the card holds ";
inline constexpr const char* verifyTheList = " tracks, the list ";
inline constexpr const char* verifyOnCard = " on the card, ";
inline constexpr const char* verifyInList = " in the list";
inline constexpr const char* verifyDiffersFrom = " differs from ";
inline constexpr const char* verifyAtByte = " at byte ";
/// A source that a run on another card of the call would change reads: the file, then this.
inline constexpr const char* cliSourceOnCard =
    " lies in the root folder of a card of this call, which programming that card changes; "
    "programme that card on its own, or copy the file elsewhere first";
/// The heading of `list`'s table.
inline constexpr const char* cliListHeading = "Track\tMode\tCard file\tBytes\n";
/// The state column of `drives`.
inline constexpr const char* cliReady = "ready";
inline constexpr const char* cliNoCard = "no card";
inline constexpr const char* cliNotACard = "not a card";
// What a screen reader says of a state that the window shows only by a colour.
inline constexpr const char* armedDelete = "Armed: the next track selected in the list is deleted";
inline constexpr const char* armedMode = "Armed: the next track selected in the list gets this mode";
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
    "Introduction",     "The Audio Files",  "Message Assembler",
    "Destination Drive", "The Source Files", "The Tracks List",
    "Message Modes",    "Editing The List", "Programming Cards",
};
/// Shown greyed in the empty help text box, followed by the path and the system's message.
inline constexpr const char* helpUnreadable = "This help topic cannot be shown. ";
/// Shown the same way, followed by the path where the topic was looked for.
inline constexpr const char* helpNotFound = "This help topic was not found: ";

} // namespace velk::text
