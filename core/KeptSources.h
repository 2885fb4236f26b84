#pragma once

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
/// them there and removes them once its card is verified.
class KeptSources {
public:
    /// `rootFiles` are the root's entries that the wipe will delete.
    KeptSources(const SystemPort& system, std::string root, std::vector<std::string> rootFiles);

    /// Moves `source` aside when it is one of the root files (links followed, whatever path
    /// reaches it); a source whose path passes through a link in the root is read through
    /// the link's target instead. `changedCard` turns true once the card is changed. Throws
    /// CardError.
    void keep(const std::string& source, bool& changedCard);
    /// True when keep() moved `source` aside or will read it elsewhere.
    [[nodiscard]] bool kept(const std::string& source) const { return m_paths.contains(source); }
    /// Where to read `source` from: where it was kept, or the file itself.
    [[nodiscard]] const std::string& pathFor(const std::string& source) const;
    /// The folder the sources were moved to, or empty when none was.
    [[nodiscard]] std::string folder() const;
    /// True when `path` is where keep() moved a source to, or a source that an earlier run
    /// kept aside.
    [[nodiscard]] bool moved(const std::string& path) const;
    /// Deletes what keep() moved, and the folder if nothing else is in it, and forces that to
    /// the card. Only for a run that is verified: the card then holds every track.
    void release() const;

private:
    [[nodiscard]] std::string moveAside(const std::string& name, bool& changedCard);

    const SystemPort& m_system;
    std::string m_root;
    std::vector<std::string> m_rootFiles;
    std::map<std::string, std::string> m_paths;
    std::vector<std::string> m_moved; ///< names in the keep folder to release
    std::vector<std::string> m_movedPaths; ///< the same, as the slots name them
};

} // namespace velk
