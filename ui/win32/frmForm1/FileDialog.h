#pragma once

#include "ui/win32/wingui/Win.h"

#include <functional>
#include <string>
#include <utility>

namespace velk::win32 {

/// The file chooser of "Save list..." and "Open list...".
class FileDialog {
public:
    enum class Purpose { save, open };

    /// Asks for a track list file (UTF-8); empty when the operator cancels.
    static std::string ask(HWND owner, Purpose purpose);

    /// Tests install an answerer that names the file instead of a real dialog.
    using Answerer = std::function<std::string(Purpose purpose)>;
    static void setAnswerer(Answerer answerer) { s_answerer = std::move(answerer); }

private:
    static inline Answerer s_answerer;
};

} // namespace velk::win32
