#pragma once

#include "CardWipe.h"

#include <map>
#include <string>
#include <vector>

namespace velk {

class SystemPort;

/// The name of the folder in the card's root where a run keeps the recordings it finds in
/// that root: the wipe leaves folders alone.
inline constexpr const char* keepFolderName = "VELKKEEP";

/// Source files that lie in the card's root, which the wipe would delete before they are
/// copied back. They are moved aside on the card itself, into keepFolderName (a rename: no
/// copy, no temporary space), copied from there, and removed only once the card is
/// verified. A run that fails leaves them there, for the operator to find; the next run reads
/// them there and removes them once its card is verified. A file is known by what it is, not
/// by its path: slots that reach one file by two spellings (a name in another case, a path
/// through a link, a second hard link) share one kept copy.
class KeptSources {
public:
    /// `entries` are the root's entries that the wipe will delete, `sources` the run's source
    /// files as the slots name them. Decides which entries hold a source; moves nothing.
    KeptSources(const SystemPort& system, std::string root, const std::vector<RootEntry>& entries,
                const std::vector<std::string>& sources);

    /// True when the root entry `name` holds a source of this run and is moved aside.
    [[nodiscard]] bool keeps(const std::string& name) const;
    /// Moves aside every root entry that holds a source, and forces each moved file, the keep
    /// folder and the root to the card, so that a card pulled at any moment after holds the
    /// recording in one of the two folders. `changedCard` turns true once the card is
    /// changed. Throws CardError.
    void keepAll(bool& changedCard);
    /// Where to read `source` from: where it was kept, or the file itself.
    [[nodiscard]] const std::string& pathFor(const std::string& source) const;
    /// The folder the sources were moved to, or empty when none was.
    [[nodiscard]] std::string folder() const;
    /// True when `path` is where keepAll() moved a source to, or a source that an earlier run
    /// kept aside.
    [[nodiscard]] bool moved(const std::string& path) const;
    /// Deletes what was kept, and the folder if nothing else is in it, and forces that to the
    /// card. Only for a run that is verified: the card then holds every track.
    void release() const;

private:
    struct Kept {
        std::string name; ///< in the keep folder
        std::string path; ///< as the slots name it from now on
        FileId id;
    };

    [[nodiscard]] std::string moveAside(const RootEntry& entry, bool& changedCard);

    const SystemPort& m_system;
    std::string m_root;
    /// The root entries to move aside, each with the sources it holds.
    std::vector<std::pair<RootEntry, std::vector<std::string>>> m_toMove;
    std::map<std::string, std::string> m_paths;
    std::vector<Kept> m_kept;
};

} // namespace velk
