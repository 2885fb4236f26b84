#include "WipeQuestion.h"

#include "FilePattern.h"
#include "FormPort.h"
#include "KeptSources.h"
#include "Module1.h"
#include "Texts.h"

namespace velk {

namespace {

void show(FormPort& form, const WipeQuestion& question) {
    form.setText(Control::File2, question.root);
    std::vector<std::string> names;
    for (const RootEntry& entry : question.deleted)
        names.push_back(entry.name);
    form.clearRows(Control::File2);
    for (const std::string& name : matchingFiles(std::move(names), "*.*"))
        form.addRow(Control::File2, question.kept.keeps(name) ? name + text::keptForRun : name);
    std::string card = text::cardAsked + question.drive;
    if (!question.label.empty())
        card += "  \"" + question.label + "\"";
    form.setText(Control::labCard, card);
}

} // namespace

std::optional<bool> askToWipe(Module1& state, FormPort& form, const WipeQuestion& question) {
    show(form, question);
    state.edit.editState = 0;
    form.beep();
    form.setVisible(Control::Frame1, true);
    while (form.isVisible(Control::Frame1)) {
        if (!form.waitForEvents())
            return std::nullopt;
    }
    return state.edit.editState != 0;
}

void answerWipe(Module1& state, FormPort& form, bool wipe) {
    state.edit.editState = wipe ? 1 : 0;
    form.setVisible(Control::Frame1, false);
}

} // namespace velk
