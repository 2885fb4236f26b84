#include "ListFile.h"

#include "Colours.h"
#include "FilePattern.h"
#include "FormPort.h"
#include "Module1.h"
#include "Paths.h"
#include "SavedList.h"
#include "Sentence.h"
#include "Texts.h"
#include "TrackEditor.h"
#include "TrackList.h"

#include <filesystem>

namespace velk {

ListFile::ListFile(Module1& state, FormPort& form, const SystemPort& system, TrackList& tracks,
                   TrackEditor& editor)
    : m_state(state), m_form(form), m_system(system), m_tracks(tracks), m_editor(editor) {}

void ListFile::refuse(const char* step, const std::string& path, const std::string& reason) {
    m_form.messageBox(fill(text::stepFailed, {{"step", step}, {"file", path}, {"reason", reason}}));
}

void ListFile::showRefusal(const std::string& message) {
    m_form.setText(Control::txtTEXT1, message);
    m_form.setBackColour(Control::txtTEXT1, colour::red);
}

void ListFile::lstList1_SaveList(const std::string& path) {
    const auto tracks = listedTracks(m_state.tracks, m_form.rowCount(Control::lstList1));
    if (const std::string reason = writeSavedList(m_system, path, tracks); !reason.empty())
        refuse(text::stepSaveList, path, reason);
}

void ListFile::lstList1_OpenList(const std::string& path) {
    if (m_state.runInProgress)
        return;
    const SavedList list = readSavedList(m_system, path);
    if (!list.ok()) {
        refuse(text::stepOpenList, path, list.error);
        return;
    }
    load(list.tracks);
}

bool ListFile::load(const std::vector<SavedTrack>& tracks) {
    if (tracks.size() > static_cast<std::size_t>(TrackTable::maxTracks)) {
        showRefusal(text::maxTracks);
        return false;
    }
    // Every file is measured before the list is touched, so a refusal leaves it as it was.
    std::int64_t total = 0;
    for (const SavedTrack& t : tracks) {
        if (!isAudioFile(t.srcPath)) {
            showRefusal(text::dropRefused + utf8Path(fsPath(t.srcPath).filename()));
            return false;
        }
        const MeasuredSize size = measureFile(m_system, t.srcPath);
        if (!size.ok()) {
            showRefusal(fill(text::cannotRead, {{"file", t.srcPath}, {"reason", size.error}}));
            return false;
        }
        total += size.bytes;
    }
    if (total > m_state.cardBytes) {
        showRefusal(text::exceedsCard);
        return false;
    }

    m_editor.newbut_Click();
    for (const SavedTrack& t : tracks) {
        const std::filesystem::path source = std::filesystem::absolute(fsPath(t.srcPath));
        if (!m_tracks.addTrack(utf8Path(source.parent_path()), utf8Path(source.filename()),
                               t.playMode))
            return false;
    }
    return true;
}

} // namespace velk
