#pragma once

#include "SystemPort.h"

#include <map>
#include <string>
#include <vector>

namespace velk {

/// Which file each source path reached when it was first looked at, so that every later use
/// reads that file and never whatever has taken its path since. A programming run pins its
/// sources before it changes the card; a call that programmes several cards pins them once,
/// before the first card, for all of them.
class SourcePins {
public:
    /// Pins `path` to the file it reaches now or, when it was pinned before, checks that it
    /// still reaches that file. Empty when it does; otherwise why not, for the operator.
    [[nodiscard]] std::string pin(const SystemPort& system, const std::string& path);
    /// The file `path` is pinned to, or null.
    [[nodiscard]] const EntryStamp* find(const std::string& path) const;
    /// Pins `path` to `file`: one that this program moved, which some file systems number
    /// anew in its new folder.
    void repin(const std::string& path, const EntryStamp& file) { m_files[path] = file; }

private:
    std::map<std::string, EntryStamp> m_files;
};

/// The first of `sources` that lies in the root folder of one of the cards `roots`, or in
/// the folder where runs keep a card's recordings, or "" when none does. A run on that card
/// moves, replaces or deletes it, so that another card of the same call could not be given
/// the same file.
[[nodiscard]] std::string sourceOnACard(const SystemPort& system,
                                        const std::vector<std::string>& sources,
                                        const std::vector<std::string>& roots);

} // namespace velk
