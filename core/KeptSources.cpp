#include "KeptSources.h"

#include "CardImage.h"
#include "Paths.h"
#include "SystemPort.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

namespace velk {

namespace fs = std::filesystem;

KeptSources::KeptSources(const SystemPort& system, std::string root,
                         const std::vector<RootEntry>& entries,
                         const std::vector<std::string>& sources)
    : m_system(system), m_root(std::move(root)) {
    // The wipe deletes the root's links, and with them any path that passes through one.
    const bool rootHasLinks =
        std::any_of(entries.begin(), entries.end(), [](const RootEntry& e) { return e.link; });
    const std::string keepFolder = joinPath(m_root, keepFolderName);
    for (const std::string& source : sources) {
        if (source.empty() || m_paths.contains(source))
            continue;
        std::string path = source;
        if (rootHasLinks)
            path = m_system.finalPath(source).value_or(source);
        const std::optional<FileId> id = m_system.fileId(path);
        if (!id)
            continue; // the run refuses it before anything changes
        // A recording an earlier run kept aside is read where it is, and released with this run's.
        if (m_system.sameFile(utf8Path(fsPath(path).parent_path()), keepFolder)) {
            m_kept.push_back({utf8Path(fsPath(path).filename()), source, *id});
            if (path != source)
                m_paths.emplace(source, path);
            continue;
        }
        const auto entry = std::find_if(entries.begin(), entries.end(), [&](const RootEntry& e) {
            return !e.link && e.stamp.id == *id;
        });
        if (entry == entries.end()) {
            if (path != source)
                m_paths.emplace(source, path);
            continue;
        }
        const auto planned = std::find_if(m_toMove.begin(), m_toMove.end(), [&](const auto& move) {
            return move.first.name == entry->name;
        });
        if (planned == m_toMove.end())
            m_toMove.push_back({*entry, {source}});
        else
            planned->second.push_back(source);
    }
}

bool KeptSources::keeps(const std::string& name) const {
    return std::any_of(m_toMove.begin(), m_toMove.end(),
                       [&](const auto& move) { return move.first.name == name; });
}

void KeptSources::keepAll(bool& changedCard) {
    if (m_toMove.empty())
        return;
    for (const auto& [entry, sources] : m_toMove) {
        const std::string kept = moveAside(entry, changedCard);
        for (const std::string& source : sources)
            m_paths[source] = kept;
    }
    // The moved entries reach the card with the files' and both folders' records.
    for (const Kept& kept : m_kept)
        if (const std::error_code ec = m_system.flushFile(kept.path))
            throw CardError(kept.path, m_system.describe(ec));
    for (const std::string& f : {folder(), m_root})
        if (const std::error_code ec = m_system.flushFolder(f))
            throw CardError(f, m_system.describe(ec));
}

std::string KeptSources::moveAside(const RootEntry& entry, bool& changedCard) {
    const std::string folderPath = joinPath(m_root, keepFolderName);
    std::error_code ec;
    if (m_system.makeFolder(folderPath, ec))
        changedCard = true;
    if (ec)
        throw CardError(folderPath, m_system.describe(ec));

    // An earlier run that failed may have left a recording of the same name there.
    const fs::path original = fsPath(entry.name);
    std::string target = joinPath(folderPath, entry.name);
    // A name that cannot be looked at is never taken for free: the move could replace it.
    for (int n = 1;; ++n) {
        if (m_system.entryKind(target, false, ec) == EntryKind::missing && !ec)
            break;
        if (ec)
            throw CardError(target, m_system.describe(ec));
        target = joinPath(folderPath, utf8Path(original.stem()) + "~" + std::to_string(n) +
                                          utf8Path(original.extension()));
    }
    const std::string from = joinPath(m_root, entry.name);
    if ((ec = m_system.moveEntry(from, target)))
        throw CardError(from, m_system.describe(ec), target);
    changedCard = true;
    // Some file systems number a file by its place in its folder: it is known here by the
    // number it has now.
    m_kept.push_back({utf8Path(fsPath(target).filename()), target,
                      m_system.fileId(target).value_or(entry.stamp.id)});
    return target;
}

const std::string& KeptSources::pathFor(const std::string& source) const {
    const auto it = m_paths.find(source);
    return it == m_paths.end() ? source : it->second;
}

bool KeptSources::moved(const std::string& path) const {
    return std::any_of(m_kept.begin(), m_kept.end(), [&](const Kept& k) { return k.path == path; });
}

std::string KeptSources::folder() const {
    return m_kept.empty() ? std::string() : joinPath(m_root, keepFolderName);
}

void KeptSources::release() const {
    if (m_kept.empty())
        return;
    const std::string keepFolder = folder();
    for (const Kept& kept : m_kept) {
        // Only the file that was kept: whatever has taken its name since stays.
        const std::string path = joinPath(keepFolder, kept.name);
        if (m_system.fileId(path) != kept.id)
            continue;
        (void)m_system.removeFile(path, {});
    }
    (void)m_system.removeFolder(keepFolder); // only when nothing else is in it
    (void)m_system.flushFolder(m_root);
}

} // namespace velk
