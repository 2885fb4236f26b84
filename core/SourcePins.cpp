#include "SourcePins.h"

#include "KeptSources.h"
#include "Paths.h"
#include "Texts.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace velk {

namespace fs = std::filesystem;

std::string SourcePins::pin(const SystemPort& system, const std::string& path) {
    const std::optional<EntryStamp> now = system.fileStamp(path);
    if (!now)
        return system.describe(std::make_error_code(std::errc::no_such_file_or_directory));
    const auto [it, added] = m_files.emplace(path, *now);
    return added || it->second == *now ? std::string() : text::notTheFilePinned;
}

const EntryStamp* SourcePins::find(const std::string& path) const {
    const auto it = m_files.find(path);
    return it == m_files.end() ? nullptr : &it->second;
}

std::string sourceOnACard(const SystemPort& system, const std::vector<std::string>& sources,
                          const std::vector<std::string>& roots) {
    std::vector<FileId> folders;
    for (const std::string& root : roots)
        for (const std::string& folder : {root, joinPath(root, keepFolderName)})
            if (const auto id = system.fileId(folder))
                folders.push_back(*id);
    auto inACardFolder = [&](const fs::path& file) {
        const auto parent = system.fileId(utf8Path(file.parent_path()));
        return parent && std::find(folders.begin(), folders.end(), *parent) != folders.end();
    };
    for (const std::string& source : sources) {
        // The name as given may pass through the root (a link there), the file itself lie there.
        std::error_code ec;
        const fs::path asGiven = fs::absolute(fsPath(source), ec);
        if (!ec && inACardFolder(asGiven))
            return source;
        const std::optional<std::string> resolved = system.finalPath(source);
        if (resolved && inACardFolder(fsPath(*resolved)))
            return source;
    }
    return {};
}

} // namespace velk
