#pragma once

// The texts of velk-card, the command line: its usage, its refusals and its results.
namespace velk::text {

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
inline constexpr const char* cliCancelled =
    "Programming cancelled - the MMC card has not been changed";
inline constexpr const char* cliInterruptedUnchanged =
    "Programming interrupted - the MMC card has not been changed";
inline constexpr const char* cliInterruptedIncomplete =
    "Programming interrupted - the MMC card is incomplete and NOT ready for use";
/// Heads the line of a card that was read back whole: cliVerifiedPrefix, then the window's text.
inline constexpr const char* cliVerifiedPrefix = "verified - ";
inline constexpr const char* cliVerified = "verified - the MMC card holds exactly this list";
inline constexpr const char* cliAlreadyHeld =
    "unchanged - the MMC card already holds exactly this list";
/// Follows a card's line when --eject was asked for.
inline constexpr const char* cliEjected = " - ejected, it can be taken out";
inline constexpr const char* cliNotEjected = " - NOT ejected, do not remove it yet";
/// Why a drive is no card, on the line after the monitor's own words.
inline constexpr const char* cliNoSuchDevice = "no such device";
inline constexpr const char* cliNotRemovable = "not a removable drive";
/// A TRACK that is not one reads: the argument, then one of these.
inline constexpr const char* cliBadMode = ": the play mode after the last ':' is not 0, 1 or 2";
inline constexpr const char* cliNotAudio = ": only .mp3 and .nvr files can be tracks";
inline constexpr const char* cliNeedsYesForStation =
    "--each-inserted needs --yes: nobody is there to ask";
inline constexpr const char* cliStationTakesNoCard =
    "--each-inserted takes every reader: give no --card";
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
/// What differs between a card and a list.
inline constexpr const char* verifyCount = "the card holds {card} tracks, the list {list}";
inline constexpr const char* verifyMode =
    "track {track} has play mode {card} on the card, {list} in the list";
inline constexpr const char* verifyDiffers = "track {track} differs from {file} at byte {byte}";
inline constexpr const char* verifyUnreadable = "track {track}: {file}: {reason}";
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

} // namespace velk::text
