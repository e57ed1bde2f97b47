#include "gui/Worker.h"

#include <QCoreApplication>
#include <QThread>

#include <condition_variable>
#include <mutex>

namespace trelmig {

namespace {

bool onGuiThread() {
    return QThread::currentThread() == qApp->thread();
}

} // namespace

void RunOnGuiThread(const std::function<void()>& call) {
    if (onGuiThread())
        call();
    else
        QMetaObject::invokeMethod(qApp, call, Qt::BlockingQueuedConnection);
}

struct ThreadPrompter::State {
    explicit State(Prompter& target) : target(target) {}
    Prompter& target;
    std::mutex mutex;
    std::condition_variable changed;
    bool abandoned = false;
};

ThreadPrompter::ThreadPrompter(Prompter& target) : state_(std::make_shared<State>(target)) {}

ThreadPrompter::~ThreadPrompter() {
    Abandon();
}

void ThreadPrompter::Abandon() {
    {
        const std::lock_guard lock(state_->mutex);
        state_->abandoned = true;
    }
    state_->changed.notify_all();
}

MessageAnswer ThreadPrompter::Show(const std::string& text, MessageIcon icon,
                                   MessageButtons buttons) {
    return ask([=](Prompter& target) { return target.Show(text, icon, buttons); });
}

MessageAnswer ThreadPrompter::ShowMessage(const Message& message, MessageIcon icon,
                                          MessageButtons buttons) {
    return ask([=](Prompter& target) { return target.ShowMessage(message, icon, buttons); });
}

MessageAnswer ThreadPrompter::ask(std::function<MessageAnswer(Prompter&)> asked) {
    if (onGuiThread())
        return state_->abandoned ? MessageAnswer::Cancel : asked(state_->target);
    struct Question {
        MessageAnswer answer = MessageAnswer::Cancel;
        bool answered = false;
    };
    auto question = std::make_shared<Question>();
    // The state and the question outlive this call: the posted call may run
    // after an abandoned run has gone on.
    QMetaObject::invokeMethod(
        qApp,
        [state = state_, question, asked = std::move(asked)] {
            {
                const std::lock_guard lock(state->mutex);
                if (state->abandoned)
                    return;
            }
            const MessageAnswer answer = asked(state->target);
            {
                const std::lock_guard lock(state->mutex);
                question->answer = answer;
                question->answered = true;
            }
            state->changed.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [&] { return question->answered || state_->abandoned; });
    return question->answered ? question->answer : MessageAnswer::Cancel;
}

} // namespace trelmig
