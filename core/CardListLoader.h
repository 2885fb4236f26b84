#pragma once

#include <string>

namespace velk {

struct Module1;
class FormPort;
class SystemPort;
class TrackList;
class TrackEditor;

/// "Load list from card": fills the tracks list from the index on the card in Drive1, with
/// the card's own track files as sources and the index's play modes, so that a card can be
/// changed and programmed again without its original files.
class CardListLoader {
public:
    CardListLoader(Module1& state, FormPort& form, const SystemPort& system, TrackList& tracks,
                   TrackEditor& editor);

    /// Needs a ready card. Reads and checks the whole index and every track file it names
    /// first: a missing or malformed index, a missing track file, more than 16 tracks or a
    /// total past the card's capacity changes nothing. Otherwise the list is cleared as by
    /// New and each track added as by a double-click. Does nothing during a programming run.
    void lstList1_LoadFromCard();

private:
    void refuse(const std::string& what, const std::string& reason);

    Module1& m_state;
    FormPort& m_form;
    const SystemPort& m_system;
    TrackList& m_tracks;
    TrackEditor& m_editor;
};

} // namespace velk
