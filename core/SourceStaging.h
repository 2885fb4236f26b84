#pragma once

#include <filesystem>
#include <map>
#include <string>

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

    /// True when `source` lies on the same volume as `cardRoot`, whatever path reaches it,
    /// and has no copy yet.
    [[nodiscard]] bool needsCopy(const std::string& source, const std::string& cardRoot) const;
    /// Copies `source` into the staging folder. Throws CardError.
    void stage(const std::string& source);
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
