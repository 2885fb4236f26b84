#pragma once

#include "SystemPort.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace velk {

/// An entry of the card's root folder that a wipe deletes, as the operator was shown it.
struct RootEntry {
    std::string name;
    EntryStamp stamp;
    bool link = false; ///< a symbolic link, which the wipe removes without following
};

/// What a wipe of `root` deletes: every entry that is not a folder (see folderFiles), with
/// what it is now. Throws CardError when the root or one of its entries cannot be read, so
/// that nothing is deleted that the operator was not shown.
[[nodiscard]] std::vector<RootEntry> rootEntries(const SystemPort& system, const std::string& root);

/// The name of the first entry of `listed` that is gone, replaced or rewritten since, or of
/// an entry that was not there; empty when the root holds exactly what was listed.
/// Throws CardError when the root cannot be read.
[[nodiscard]] std::string changedSinceListed(const SystemPort& system, const std::string& root,
                                             const std::vector<RootEntry>& listed);

/// Creates the empty dummy file in `root` without changing one already there. A link of
/// that name is neither followed nor replaced: the wipe removes it. `created` turns true
/// once the file exists, whatever happens after. Returns the dummy as the wipe is to find
/// it. Throws CardError.
RootEntry placeDummyFile(const SystemPort& system, const std::string& root, bool& created);

/// Deletes `entries` of `root`, each only while it is still the entry that was listed:
/// dotfiles and read-only, hidden or system files too; a symbolic link is removed itself,
/// never followed. An entry that is gone already is passed over. Stops at the first entry
/// that changed since it was listed, or cannot be deleted, with CardError, so the entries
/// after it are still there. A file that another program holds is waited for a moment,
/// `betweenTries` running meanwhile (see SystemPort::removeFile).
void wipeRoot(const SystemPort& system, const std::string& root,
              const std::vector<RootEntry>& entries,
              const std::function<void()>& betweenTries = {});

/// Deletes one entry by the same rules. Throws CardError.
void deleteListed(const SystemPort& system, const std::string& folder, const RootEntry& entry,
                  const std::function<void()>& betweenTries = {});

/// The first file of `root` (see folderFiles) that is none of `names` in any case, which a
/// FAT card may show them in; empty when there is none. Throws CardError when the root
/// cannot be read.
[[nodiscard]] std::string firstFileNotAmong(const SystemPort& system, const std::string& root,
                                            const std::vector<std::string>& names);

/// Whether what a run writes fits on the card once the wipe has deleted `deleted`.
struct Room {
    std::uint64_t needed = 0; ///< what the files take, each in whole clusters
    std::uint64_t free = 0;   ///< free now, and what the deleted files take (links free nothing)
};

/// The room on a card with `space` for files of `sizes` bytes after a wipe of `deleted`.
[[nodiscard]] Room roomAfterWipe(const SpaceCounts& space, const std::vector<RootEntry>& deleted,
                                 const std::vector<std::uint64_t>& sizes);

} // namespace velk
