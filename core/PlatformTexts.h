#pragma once

// What the system's layer says of drives and cards, in the drive lists of the windows and on
// the command line: what a reader holds, why a card is not mounted, why it was not ejected.
namespace velk::text {

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

// Why a card that nothing has mounted stays unmounted; shown in the destination drive list
// after driveCardNotMounted and driveReasonSeparator.
inline constexpr const char* driveReasonSeparator = ": ";
inline constexpr const char* mountPending = "mounting";
inline constexpr const char* mountNoBus = "no system bus";
inline constexpr const char* mountNoUDisks = "UDisks2 is not running";
inline constexpr const char* mountNoFileSystem = "UDisks2 knows no file system on it";
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

// Why a file cannot be opened while another program holds it without sharing it (a scan, a
// preview, a recorder that keeps it open), after a moment's wait for it.
inline constexpr const char* fileInUse =
    "the file is in use by another program - close it there, then try again";
/// Where the system names the programs: each as programWithPid, separated by programSeparator.
inline constexpr const char* fileInUseBy =
    "the file is in use by {programs} - close it there, then try again";
inline constexpr const char* programWithPid = "{program} (pid {pid})";
inline constexpr const char* programSeparator = ", ";

} // namespace velk::text
