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

namespace {

bool isLink(const std::string& path) {
    std::error_code ec;
    return fs::is_symlink(fs::symlink_status(fsPath(path), ec));
}

} // namespace

KeptSources::KeptSources(const SystemPort& system, std::string root, std::vector<std::string> rootFiles)
    : m_system(system), m_root(std::move(root)), m_rootFiles(std::move(rootFiles)) {}

void KeptSources::keep(const std::string& source, bool& changedCard) {
    if (source.empty() || kept(source))
        return;
    std::string path = source;
    // The wipe deletes the root's links, and with them any path that passes through one.
    for (const std::string& name : m_rootFiles) {
        if (!isLink(joinPath(m_root, name)))
            continue;
        std::error_code ec;
        const fs::path resolved = fs::canonical(fsPath(source), ec);
        if (ec)
            throw CardError(source, ec.message());
        path = utf8Path(resolved);
        break;
    }
    // A recording an earlier run kept aside is read where it is, and released with this run's.
    const fs::path asGiven = fsPath(path);
    if (m_system.sameFile(utf8Path(asGiven.parent_path()), joinPath(m_root, keepFolderName))) {
        m_moved.push_back(utf8Path(asGiven.filename()));
        m_movedPaths.push_back(source);
        return;
    }
    if (m_system.onSameVolume(path, m_root)) {
        for (const std::string& name : m_rootFiles) {
            const std::string entry = joinPath(m_root, name);
            if (!isLink(entry) && m_system.sameFile(path, entry)) {
                path = moveAside(name, changedCard);
                break;
            }
        }
    }
    if (path != source)
        m_paths.emplace(source, path);
}

std::string KeptSources::moveAside(const std::string& name, bool& changedCard) {
    const std::string folderPath = joinPath(m_root, keepFolderName);
    std::error_code ec;
    if (fs::create_directory(fsPath(folderPath), ec))
        changedCard = true;
    if (ec)
        throw CardError(folderPath, ec.message());

    // An earlier run that failed may have left a recording of the same name there.
    const fs::path original = fsPath(name);
    fs::path target = fsPath(folderPath) / original;
    // A name that cannot be looked at is never taken for free: the rename would replace it.
    for (int n = 1;; ++n) {
        if (fs::symlink_status(target, ec).type() == fs::file_type::not_found)
            break;
        if (ec)
            throw CardError(utf8Path(target), ec.message());
        target = fsPath(folderPath) /
                 (original.stem().u8string() + u8"~" + fs::path(std::to_string(n)).u8string() +
                  original.extension().u8string());
    }
    const std::string from = joinPath(m_root, name);
    fs::rename(fsPath(from), target, ec);
    if (ec)
        throw CardError(from, ec.message(), utf8Path(target));
    changedCard = true;
    m_moved.push_back(utf8Path(target.filename()));
    m_movedPaths.push_back(utf8Path(target));
    return utf8Path(target);
}

const std::string& KeptSources::pathFor(const std::string& source) const {
    const auto it = m_paths.find(source);
    return it == m_paths.end() ? source : it->second;
}

bool KeptSources::moved(const std::string& path) const {
    return std::find(m_movedPaths.begin(), m_movedPaths.end(), path) != m_movedPaths.end();
}

std::string KeptSources::folder() const {
    return m_moved.empty() ? std::string() : joinPath(m_root, keepFolderName);
}

void KeptSources::release() const {
    if (m_moved.empty())
        return;
    try {
        wipeRoot(folder(), m_moved);
    } catch (const CardError&) {
        // The card holds every track and its index already; what is left is only a copy.
        return;
    }
    std::error_code ignored;
    fs::remove(fsPath(folder()), ignored); // only when nothing else is in it
    (void)m_system.flushFolder(m_root);
}

} // namespace velk
