#include "FolderView.h"

#include "Paths.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace fs = std::filesystem;

namespace velk {

std::string cleanFolderPath(const std::string& utf8) {
    std::error_code ec;
    fs::path clean = fs::absolute(fsPath(utf8), ec).lexically_normal();
    if (ec)
        return {};
    if (clean.has_relative_path() && !clean.has_filename())
        clean = clean.parent_path();
    return utf8Path(clean);
}

std::vector<FolderRow> folderRows(const std::string& open,
                                  const std::vector<std::string>& subfolders) {
    const fs::path folder = fsPath(open);
    std::vector<fs::path> chain;
    for (fs::path p = folder;; p = p.parent_path()) {
        chain.insert(chain.begin(), p);
        if (p == p.root_path() || !p.has_relative_path() || p.parent_path() == p)
            break;
    }
    std::vector<FolderRow> rows;
    rows.reserve(chain.size() + subfolders.size());
    int depth = 0;
    for (const fs::path& p : chain)
        rows.push_back({utf8Path(p == p.root_path() ? p : p.filename()), utf8Path(p), depth++});
    for (const std::string& name : subfolders)
        rows.push_back({name, utf8Path(folder / fsPath(name)), depth});
    return rows;
}

FolderView::Opened FolderView::open(const std::string& utf8) {
    FolderListing listing = m_list(utf8);
    const std::optional<std::vector<std::string>> subfolders = shownSubfolders(listing);
    if (!subfolders)
        return Opened::refused;
    std::string path = cleanFolderPath(utf8);
    if (path.empty())
        return Opened::refused;
    if (path == m_path)
        return Opened::unchanged;
    m_path = std::move(path);
    m_listing = std::move(listing);
    m_rows = folderRows(m_path, *subfolders);
    m_current = static_cast<int>(m_rows.size() - subfolders->size()) - 1;
    return Opened::changed;
}

FolderView::Opened FolderView::openRow(int index) {
    if (index < 0 || index >= static_cast<int>(m_rows.size()))
        return Opened::refused;
    // A copy: opening replaces the rows.
    const std::string path = m_rows[static_cast<std::size_t>(index)].path;
    return open(path);
}

FolderListing FolderView::takeListing() {
    FolderListing listing = std::exchange(m_listing, {});
    return listing.listed ? listing : m_list(m_path);
}

} // namespace velk
