#include "CardHolders.h"

#include "KernelFiles.h"
#include "MountTable.h"
#include "core/PlatformTexts.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace velk {

using namespace kernel;

std::vector<std::string> programsUsing(const std::string& procRoot,
                                       const std::vector<std::string>& mountPoints) {
    const auto onCard = [&](const std::string& link) {
        const auto target = linkTarget(link);
        return target &&
               std::any_of(mountPoints.begin(), mountPoints.end(),
                           [&](const std::string& m) { return MountTable::contains(m, *target); });
    };
    std::vector<std::pair<std::uint64_t, std::string>> found;
    for (const std::string& entry : folderEntries(procRoot, true)) {
        const auto pid = parseNumber<std::uint64_t>(entry);
        if (!pid)
            continue;
        const std::string process = procRoot + "/" + entry;
        bool holds =
            onCard(process + "/cwd") || onCard(process + "/root") || onCard(process + "/exe");
        for (const std::string& fd :
             holds ? std::vector<std::string>() : folderEntries(process + "/fd"))
            if ((holds = onCard(process + "/fd/" + fd)))
                break;
        if (holds)
            found.emplace_back(*pid, readAttribute(process + "/comm") + text::pidOpen + entry +
                                         text::pidClose);
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> programs;
    for (auto& [pid, program] : found)
        programs.push_back(std::move(program));
    return programs;
}

} // namespace velk
