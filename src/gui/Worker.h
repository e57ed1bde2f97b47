#pragma once

#include "core/Prompter.h"

#include <functional>

namespace trelmig {

// Runs work on a thread of its own and returns once it has ended; the
// windows' thread handles its events meanwhile, so the windows repaint and
// their buttons answer. An exception thrown by work is rethrown here.
void RunOnWorkerThread(const std::function<void()>& work);

// Runs call on the windows' thread and waits for it; at once when called
// there.
void RunOnGuiThread(const std::function<void()>& call);

// Hands the messages of a run that works on another thread to a Prompter on
// the windows' thread, and waits for the answer.
class ThreadPrompter : public Prompter {
public:
    explicit ThreadPrompter(Prompter& target) : target_(target) {}
    MessageAnswer Show(const std::string& text, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) override;

private:
    Prompter& target_;
};

} // namespace trelmig
