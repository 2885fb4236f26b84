#include "CardListLoader.h"

#include "CardFiles.h"
#include "CardImage.h"
#include "Colours.h"
#include "FormPort.h"
#include "IndexReader.h"
#include "Module1.h"
#include "Paths.h"
#include "Sentence.h"
#include "SystemPort.h"
#include "Texts.h"
#include "TrackEditor.h"
#include "TrackList.h"

#include <optional>
#include <system_error>
#include <vector>

namespace velk {

CardListLoader::CardListLoader(Module1& state, FormPort& form, const SystemPort& system,
                               TrackList& tracks, TrackEditor& editor)
    : m_state(state), m_form(form), m_system(system), m_tracks(tracks), m_editor(editor) {}

void CardListLoader::refuse(const std::string& what, const std::string& reason) {
    m_form.messageBox(
        fill(text::stepFailed, {{"step", text::stepLoadList}, {"file", what}, {"reason", reason}}));
}

void CardListLoader::lstList1_LoadFromCard() {
    if (m_state.runInProgress)
        return;
    const std::string drive = m_form.text(Control::Drive1);
    // Only a ready card has had its capacity measured, which the adds check against.
    if (m_form.backColour(Control::Label4) != colour::buttonFace) {
        refuse(drive, text::loadNeedsCard);
        return;
    }
    const RootFolder root = m_system.rootFolder(drive);
    if (root.status != RootFolder::Status::ok) {
        refuse(drive, root.reason.empty() ? text::loadNeedsCard : root.reason);
        return;
    }

    const std::string indexPath = joinPath(root.path, indexFileName);
    std::error_code ec;
    // One byte more than any index has, so that an oversized file still reads as the wrong length.
    const std::vector<std::uint8_t> bytes =
        readStart(m_system, indexPath, largestIndexBytes + 1, ec);
    if (ec) {
        refuse(indexPath, m_system.describe(ec));
        return;
    }
    const IndexContent index = parseIndex(bytes);
    if (!index.ok()) {
        refuse(indexPath, index.error);
        return;
    }

    if (index.records.size() > static_cast<std::size_t>(TrackTable::maxTracks)) {
        m_form.setText(Control::txtTEXT1, text::maxTracks);
        m_form.setBackColour(Control::txtTEXT1, colour::red);
        return;
    }
    std::int64_t total = 0;
    for (const IndexRecord& r : index.records) {
        const std::string path = joinPath(root.path, r.cardName);
        const MeasuredSize size = measureFile(m_system, path);
        if (!size.ok()) {
            refuse(path, size.error);
            return;
        }
        total += size.bytes;
    }
    if (total > m_state.cardBytes) {
        m_form.setText(Control::txtTEXT1, text::exceedsCard);
        m_form.setBackColour(Control::txtTEXT1, colour::red);
        return;
    }

    m_editor.newbut_Click();
    for (const IndexRecord& r : index.records)
        if (!m_tracks.addTrack(root.path, r.cardName, r.playMode))
            return;
}

} // namespace velk
