#include "FakeSystem.h"

namespace velk::test {

void FakeSystem::addCard(const std::string& designation, const std::string& root,
                         SpaceCounts counts) {
    table[designation] = {drive_type::removable, counts, {RootFolder::Status::ok, root, {}}};
    order.push_back(designation);
}

void FakeSystem::addEmptyReader(const std::string& designation) {
    table[designation] = {drive_type::removable,
                          std::nullopt,
                          {RootFolder::Status::deviceUnavailable, {}, "no medium"}};
    order.push_back(designation);
}

void FakeSystem::addFixed(const std::string& designation, const std::string& root) {
    table[designation] = {drive_type::fixed, SpaceCounts{8, 512, 0, 1000000},
                          {RootFolder::Status::ok, root, {}}};
    order.push_back(designation);
}

std::vector<DriveEntry> FakeSystem::drives() const {
    std::vector<DriveEntry> out;
    for (const auto& d : order)
        out.push_back({d, d});
    return out;
}

std::uint32_t FakeSystem::driveType(const std::string& designation) const {
    ++typeQueries;
    auto it = table.find(designation);
    return it == table.end() ? drive_type::noRootDir : it->second.type;
}

std::optional<SpaceCounts> FakeSystem::diskSpace(const std::string& designation) const {
    ++spaceQueries;
    auto it = table.find(designation);
    return it == table.end() ? std::nullopt : it->second.space;
}

RootFolder FakeSystem::rootFolder(const std::string& designation) const {
    auto it = table.find(designation);
    if (it == table.end())
        return {RootFolder::Status::failed, {}, "no such drive"};
    return it->second.root;
}

std::error_code FakeSystem::flushFile(const std::string& path) const {
    flushed.push_back(path);
    return flushError;
}

std::error_code FakeSystem::flushFolder(const std::string& path) const {
    flushed.push_back(path + "/");
    return flushError;
}

} // namespace velk::test
