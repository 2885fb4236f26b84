#include "SourceStaging.h"

#include "CardFiles.h"
#include "CardImage.h"
#include "Paths.h"
#include "SystemPort.h"

#include <random>
#include <system_error>

namespace velk {

namespace fs = std::filesystem;

SourceStaging::SourceStaging(const SystemPort& system) : m_system(system) {}

SourceStaging::~SourceStaging() {
    if (m_folder.empty())
        return;
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
}

// A name of its own, so that two programs never share a folder.
void SourceStaging::makeFolder() {
    std::error_code ec;
    const fs::path temp = fs::temp_directory_path(ec);
    if (ec)
        throw CardError("temporary folder", ec.message());
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path folder = temp / ("velk-assembler-" + std::to_string(random()));
        if (fs::create_directory(folder, ec)) {
            m_folder = folder;
            return;
        }
        if (ec)
            throw CardError(folder.string(), ec.message());
    }
    throw CardError(temp.string(), std::make_error_code(std::errc::file_exists).message());
}

bool SourceStaging::needsCopy(const std::string& source, const std::string& cardRoot) const {
    return !source.empty() && !m_copies.contains(source) && m_system.onSameVolume(source, cardRoot);
}

void SourceStaging::stage(const std::string& source) {
    if (m_folder.empty())
        makeFolder();
    const fs::path copy = m_folder / ("source" + std::to_string(m_copies.size() + 1));
    const std::u8string name = copy.u8string();
    const std::string target(name.begin(), name.end());
    copyFile(m_system, source, target);
    m_copies.emplace(source, target);
}

const std::string& SourceStaging::pathFor(const std::string& source) const {
    const auto it = m_copies.find(source);
    return it == m_copies.end() ? source : it->second;
}

} // namespace velk
