#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace velk {

class SystemPort;

/// Copies of the source files that live on the card itself, taken before the wipe deletes
/// them, so that a card can be programmed again from its own tracks. The copies live in a
/// folder of their own under the system's temporary folder, removed with this object.
class SourceStaging {
public:
    explicit SourceStaging(const SystemPort& system);
    ~SourceStaging();
    SourceStaging(const SourceStaging&) = delete;
    SourceStaging& operator=(const SourceStaging&) = delete;

    /// Copies every one of `sources` that lies on the same volume as `cardRoot`, whatever
    /// path reaches it; a file listed twice is copied once. Throws CardError.
    void stage(const std::vector<std::string>& sources, const std::string& cardRoot);
    /// Where to read `source` from: its copy if it was staged, otherwise the file itself.
    [[nodiscard]] const std::string& pathFor(const std::string& source) const;
    [[nodiscard]] std::size_t stagedCount() const { return m_copies.size(); }

private:
    void makeFolder();

    const SystemPort& m_system;
    std::filesystem::path m_folder;
    std::map<std::string, std::string> m_copies;
};

} // namespace velk
