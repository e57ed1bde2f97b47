#pragma once

#include "core/Prompter.h"

#include <functional>
#include <memory>

namespace trelmig {

// Runs call on the windows' thread and waits for it; at once when called
// there.
void RunOnGuiThread(const std::function<void()>& call);

// Hands the messages of a run that works on another thread to a Prompter on
// the windows' thread, and waits for the answer. Asked on the windows' thread
// it asks target directly.
class ThreadPrompter : public Prompter {
public:
    explicit ThreadPrompter(Prompter& target);
    ~ThreadPrompter() override;
    ThreadPrompter(const ThreadPrompter&) = delete;
    ThreadPrompter& operator=(const ThreadPrompter&) = delete;

    MessageAnswer Show(const std::string& text, MessageIcon icon,
                       MessageButtons buttons = MessageButtons::Ok) override;
    MessageAnswer ShowMessage(const Message& message, MessageIcon icon,
                              MessageButtons buttons = MessageButtons::Ok) override;
    // On the windows' thread, when the window goes while a run still works:
    // the question waiting and every later one are answered Cancel unseen,
    // so that the run cannot wait for a thread that waits for it.
    void Abandon();

private:
    // Asks the target on the windows' thread and waits for the answer.
    MessageAnswer ask(std::function<MessageAnswer(Prompter&)> asked);

    struct State;
    std::shared_ptr<State> state_;
};

} // namespace trelmig
