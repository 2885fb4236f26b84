#pragma once

#include <QString>

#include <functional>
#include <utility>

class QWidget;

namespace velk::qt {

/// Every modal box of the program: one OK button, no icon, the application's title.
class OkMessageBox {
public:
    /// Shows the box and waits until the operator closes it.
    static void show(QWidget* parent, const QString& message);

    /// Tests install an answerer that receives each message instead of a real modal box.
    using Answerer = std::function<void(const QString& message)>;
    static void setAnswerer(Answerer answerer) { s_answerer = std::move(answerer); }

private:
    static inline Answerer s_answerer;
};

} // namespace velk::qt
