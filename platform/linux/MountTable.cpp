#include "MountTable.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <unordered_map>

namespace velk {

namespace {

constexpr auto pseudoTypes = std::to_array<std::string_view>({
    "autofs",    "binfmt_misc", "bpf",      "cgroup",  "cgroup2",   "configfs",   "debugfs",
    "devpts",    "devtmpfs",    "efivarfs", "fusectl", "hugetlbfs", "mqueue",     "nfsd",
    "nsfs",      "overlay",     "proc",     "pstore",  "ramfs",     "rpc_pipefs", "securityfs",
    "selinuxfs", "squashfs",    "sysfs",    "tmpfs",   "tracefs",
});
constexpr auto remoteTypes = std::to_array<std::string_view>({
    "afs",
    "ceph",
    "cifs",
    "fuse.glusterfs",
    "fuse.sshfs",
    "nfs",
    "nfs4",
    "smb3",
    "smbfs",
});
// Storage whose mounts carry an anonymous device number instead of a block device's.
constexpr auto anonymousLocalTypes = std::to_array<std::string_view>({
    "9p",
    "btrfs",
    "fuseblk",
    "virtiofs",
    "zfs",
});

template <std::size_t N>
bool among(const std::array<std::string_view, N>& set, std::string_view value) {
    return std::find(set.begin(), set.end(), value) != set.end();
}

std::string_view nextField(std::string_view& line) {
    const std::size_t end = line.find(' ');
    std::string_view field = line.substr(0, end);
    line = end == std::string_view::npos ? std::string_view() : line.substr(end + 1);
    return field;
}

template <typename T> std::optional<T> number(std::string_view text) {
    T value{};
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || ptr != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<MountEntry> parseLine(std::string_view line) {
    MountEntry e;
    const auto id = number<int>(nextField(line));
    const auto parent = number<int>(nextField(line));
    const std::string_view dev = nextField(line);
    const std::size_t colon = dev.find(':');
    if (!id || !parent || colon == std::string_view::npos)
        return std::nullopt;
    const auto major = number<unsigned>(dev.substr(0, colon));
    const auto minor = number<unsigned>(dev.substr(colon + 1));
    if (!major || !minor)
        return std::nullopt;
    e.mountId = *id;
    e.parentId = *parent;
    e.device = {*major, *minor};
    e.root = MountTable::unescape(nextField(line));
    e.mountPoint = MountTable::unescape(nextField(line));
    nextField(line); // per-mount options
    // Optional fields ("shared:1", "master:2") run up to a lone "-".
    for (;;) {
        if (line.empty())
            return std::nullopt;
        if (nextField(line) == "-")
            break;
    }
    e.fsType = MountTable::unescape(nextField(line));
    e.source = MountTable::unescape(nextField(line));
    e.superOptions = MountTable::unescape(nextField(line));
    if (e.root.empty() || e.mountPoint.empty() || e.fsType.empty())
        return std::nullopt;
    return e;
}

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

} // namespace

std::string MountTable::unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) &&
            isOctal(field[i + 2]) && isOctal(field[i + 3])) {
            out += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                     (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

MountKind MountTable::kind(const MountEntry& entry) {
    if (among(pseudoTypes, entry.fsType))
        return MountKind::pseudo;
    if (among(remoteTypes, entry.fsType))
        return MountKind::remote;
    if (entry.device.major != 0 || among(anonymousLocalTypes, entry.fsType))
        return MountKind::local;
    const bool deviceSource = entry.source.starts_with("/dev/") && entry.source != "/dev/fuse";
    return deviceSource ? MountKind::local : MountKind::pseudo;
}

MountTable MountTable::parse(std::string_view mountinfo) {
    MountTable table;
    while (!mountinfo.empty()) {
        const std::size_t end = mountinfo.find('\n');
        const std::string_view line = mountinfo.substr(0, end);
        mountinfo = end == std::string_view::npos ? std::string_view() : mountinfo.substr(end + 1);
        if (auto entry = parseLine(line))
            table.m_entries.push_back(std::move(*entry));
    }
    table.markHidden();
    return table;
}

bool MountTable::contains(std::string_view mountPoint, std::string_view path) {
    if (!path.starts_with(mountPoint))
        return false;
    return path.size() == mountPoint.size() || mountPoint.ends_with('/') ||
           path[mountPoint.size()] == '/';
}

// A mount is covered by any later mount at its own mount point or above it, unless that later
// mount is one of its ancestors (a mount that was moved shows up after its children).
void MountTable::markHidden() {
    std::unordered_map<int, std::size_t> byId;
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        byId.emplace(m_entries[i].mountId, i);
    auto isAncestor = [&](std::size_t candidate, std::size_t of) {
        // The guard stops a parent loop, which a table read while it changed could hold.
        std::size_t guard = m_entries.size();
        for (auto it = byId.find(m_entries[of].parentId); it != byId.end() && guard-- > 0;
             it = byId.find(m_entries[it->second].parentId)) {
            if (it->second == candidate)
                return true;
        }
        return false;
    };
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        for (std::size_t later = i + 1; later < m_entries.size(); ++later) {
            if (contains(m_entries[later].mountPoint, m_entries[i].mountPoint) &&
                !isAncestor(later, i)) {
                m_entries[i].hidden = true;
                break;
            }
        }
    }
}

const MountEntry* MountTable::at(std::string_view mountPoint) const {
    for (const MountEntry& e : m_entries)
        if (!e.hidden && e.mountPoint == mountPoint)
            return &e;
    return nullptr;
}

std::vector<const MountEntry*> MountTable::storage() const {
    std::vector<const MountEntry*> out;
    for (const MountEntry& e : m_entries) {
        if (e.hidden)
            continue;
        const bool treeRoot = e.mountPoint == "/";
        const bool whole = e.root == "/" || e.fsType == "btrfs";
        if (!treeRoot && (!whole || kind(e) == MountKind::pseudo))
            continue;
        // The same file system (and folder of it) mounted twice is one drive, the shorter path.
        auto same = std::find_if(out.begin(), out.end(), [&](const MountEntry* o) {
            return o->device == e.device && o->root == e.root && o->fsType == e.fsType;
        });
        if (same == out.end())
            out.push_back(&e);
        else if (treeRoot || e.mountPoint.size() < (*same)->mountPoint.size())
            *same = &e;
    }
    std::sort(out.begin(), out.end(), [](const MountEntry* a, const MountEntry* b) {
        return a->mountPoint < b->mountPoint;
    });
    return out;
}

} // namespace velk
