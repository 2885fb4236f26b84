#pragma once

#include "CardFiles.h"
#include "Sentence.h"
#include "Texts.h"

#include <stdexcept>
#include <string>
#include <utility>

namespace velk {

/// A step of a programming run that failed, worded for the operator. A refusal is a check
/// that stopped the run before it changed anything; a failure is a step that did not get done.
class RunError : public std::runtime_error {
public:
    RunError(const std::string& step, const std::string& path, const std::string& reason,
             const std::string& target = {})
        : std::runtime_error(compose(step, path, reason, target)) {}

    static RunError refusal(const std::string& step, const std::string& path,
                            const std::string& reason) {
        RunError e(step, path, reason);
        e.m_refusal = true;
        return e;
    }
    [[nodiscard]] bool isRefusal() const { return m_refusal; }

private:
    static std::string compose(const std::string& step, const std::string& path,
                               const std::string& reason, const std::string& target) {
        if (path.empty())
            return fill(text::stepFailedWhy, {{"step", step}, {"reason", reason}});
        if (target.empty())
            return fill(text::stepFailed, {{"step", step}, {"file", path}, {"reason", reason}});
        return fill(text::copyFailed,
                    {{"step", step}, {"file", path}, {"target", target}, {"reason", reason}});
    }

    bool m_refusal = false;
};

/// The program is ending: the run stops where it is, touching nothing more.
struct ProgramEnding {};

/// Runs one step of a programming run; what it throws becomes a RunError naming the step.
template <typename Operation> void attempt(const char* step, Operation&& operation) {
    try {
        std::forward<Operation>(operation)();
    } catch (const CardError& e) {
        throw RunError(step, e.path(), e.reason(), e.target());
    } catch (const std::out_of_range& e) {
        throw RunError(step, {}, e.what());
    }
}

} // namespace velk
