#include "FileHolders.h"
#include "SharingRetry.h"
#include "WindowsError.h"
#include "WindowsSystem.h"
#include "core/PlatformTexts.h"
#include "core/Sentence.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

// Source files that other programs have open: a scan after the check opened the file, a
// preview pane, a recorder still writing.
namespace velk {

std::unique_ptr<OpenFile>
WindowsSystem::openSource(const std::string& path, std::error_code& ec,
                          const std::function<void()>& betweenTries) const {
    std::unique_ptr<OpenFile> file;
    (void)retryWhileShared(
        [&] {
            file = openFile(path, OpenMode::read, ec);
            if (!file)
                ::SetLastError(static_cast<DWORD>(ec.value()));
            return file != nullptr;
        },
        betweenTries);
    return file;
}

std::string WindowsSystem::describeFileError(const std::error_code& ec,
                                             const std::string& path) const {
    if (!isHeldByAnotherProgram(ec))
        return describe(ec);
    std::string programs;
    for (const FileHolder& holder : programsHolding(path)) {
        if (!programs.empty())
            programs += text::programSeparator;
        programs += fill(text::programWithPid,
                         {{"program", holder.name}, {"pid", std::to_string(holder.pid)}});
    }
    return programs.empty() ? std::string(text::fileInUse)
                            : fill(text::fileInUseBy, {{"programs", programs}});
}

} // namespace velk
