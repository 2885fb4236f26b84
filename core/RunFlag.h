#pragma once

namespace velk {

struct Module1;
class FormPort;

/// Holds the run-in-progress flag for exactly as long as a programming run lasts, however it
/// ends, and with it locks everything that edits the track list, starts a run, or changes the
/// destination the run is writing to.
class RunFlag {
public:
    RunFlag(Module1& state, FormPort& form);
    ~RunFlag();
    RunFlag(const RunFlag&) = delete;
    RunFlag& operator=(const RunFlag&) = delete;

private:
    void set(bool running);

    Module1& m_state;
    FormPort& m_form;
};

} // namespace velk
