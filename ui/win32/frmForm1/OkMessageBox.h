#pragma once

#include "ui/win32/wingui/Win.h"

#include <functional>
#include <string>
#include <utility>

namespace velk::win32 {

/// Every modal box of the program: one OK button, no icon, the application's title.
class OkMessageBox {
public:
    /// Shows the box and waits until the operator closes it.
    static void show(HWND owner, const std::string& utf8);

    /// Tests install an answerer that receives each message instead of a real modal box.
    using Answerer = std::function<void(const std::string& message)>;
    static void setAnswerer(Answerer answerer) { s_answerer = std::move(answerer); }

private:
    static inline Answerer s_answerer;
};

} // namespace velk::win32
