#pragma once

#include "core/RunOutcome.h"

#include <chrono>
#include <cstdint>
#include <iosfwd>
#include <mutex>
#include <string>
#include <vector>

namespace velk::cli {

/// How one card of a call ended, as the command line reports it.
struct CardResult {
    std::string card;
    /// The card's line: the run's own sentence, or why the card was not programmed.
    std::string sentence;
    /// One word: verified, unchanged, cancelled, refused, failed, interrupted.
    std::string result;
    RunOutcome outcome;
    /// What went wrong, each a line for standard error.
    std::vector<std::string> complaints;
    std::int64_t bytes = 0;
    double seconds = 0;

    [[nodiscard]] bool good() const;
};

/// What velk-card shows while its cards are programmed, from any card's thread:
/// - on a terminal, one line per card that is redrawn in place (card, step, percent, MB/s,
///   time left), then a table of the results;
/// - elsewhere, one line per step of a card;
/// - with --json, a JSON object per line for each step and each result, on standard output;
/// - with --quiet, nothing but the results.
/// The result of every card is its line on standard output (but with --json), what went wrong
/// goes to standard error.
class Reporter {
public:
    enum class Mode { terminal, lines, json, quiet };

    Reporter(Mode mode, std::ostream& out, std::ostream& err);

    /// A card joins the call; `bytes` is the total its tracks hold. Returns its number.
    int add(const std::string& card, std::int64_t bytes);
    /// The card's step (the window's Label7) or progress changed.
    void progress(int card, const std::string& step, float percent);
    /// The card is done.
    void result(int card, const CardResult& result);
    /// A word for the line shown while no card is being written (the station's wait).
    void idle(const std::string& words);
    /// True when the lines are drawn again in place, which refresh() does.
    [[nodiscard]] bool redraws() const { return m_mode == Mode::terminal; }
    /// Draws the terminal's lines again; call it often from one thread.
    void refresh();
    /// Ends the progress lines and, on a terminal, shows the table of results.
    void finish();

private:
    struct Card {
        std::string name;
        std::string step;
        float percent = 0;
        std::int64_t bytes = 0;
        std::chrono::steady_clock::time_point copyStarted{};
        bool done = false;
        CardResult result;
    };

    [[nodiscard]] std::string line(const Card& card) const;
    void draw();

    Mode m_mode;
    std::ostream& m_out;
    std::ostream& m_err;
    std::mutex m_mutex;
    std::vector<Card> m_cards;
    std::string m_idle;
    std::size_t m_linesDrawn = 0;
};

} // namespace velk::cli
