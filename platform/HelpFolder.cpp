#include "HelpFolder.h"

#include "core/HelpTopic.h"

#include <system_error>

namespace velk {

namespace fs = std::filesystem;

fs::path helpFolder(const fs::path& installed) {
    std::error_code ec;
    if (!installed.empty() && fs::is_regular_file(installed / helpTopicFile(1), ec))
        return installed;
    // A folder that vanished under the process leaves the path empty; the topics are then
    // looked for, and reported missing, relative to nothing.
    return fs::current_path(ec);
}

// VELK_HELP_FROM_PROGRAM is where the install rules put the topics, from the program's folder.
fs::path helpFolder() {
    const fs::path program = programFile();
    return helpFolder(program.empty()
                          ? fs::path()
                          : (program.parent_path() / VELK_HELP_FROM_PROGRAM).lexically_normal());
}

} // namespace velk
