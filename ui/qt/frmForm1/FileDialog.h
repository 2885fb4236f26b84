#pragma once

#include <QString>

#include <functional>
#include <utility>

class QWidget;

namespace velk::qt {

/// The file chooser of "Save list..." and "Open list...".
class FileDialog {
public:
    enum class Purpose { save, open };

    /// Asks for a track list file; empty when the operator cancels.
    static QString ask(QWidget* parent, Purpose purpose);
    /// Where the chooser opens: the operator's documents folder, else the home folder.
    static QString startFolder();

    /// Tests install an answerer that names the file instead of a real dialog.
    using Answerer = std::function<QString(Purpose purpose)>;
    static void setAnswerer(Answerer answerer) { s_answerer = std::move(answerer); }

private:
    static inline Answerer s_answerer;
};

} // namespace velk::qt
