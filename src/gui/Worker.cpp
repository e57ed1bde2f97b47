#include "gui/Worker.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <exception>
#include <memory>

namespace trelmig {

void RunOnWorkerThread(const std::function<void()>& work) {
    std::exception_ptr error;
    std::atomic<bool> done{false};
    std::unique_ptr<QThread> thread(QThread::create([&] {
        try {
            work();
        } catch (...) {
            error = std::current_exception();
        }
        done = true;
        // Wakes the loop below.
        QMetaObject::invokeMethod(
            qApp, [] {}, Qt::QueuedConnection);
    }));
    thread->start();
    // Not a QEventLoop: a quit of the application must not leave this loop
    // while the work still needs the windows' thread.
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    thread->wait();
    // What the work showed last reaches the windows before the caller goes on.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    if (error)
        std::rethrow_exception(error);
}

void RunOnGuiThread(const std::function<void()>& call) {
    if (QThread::currentThread() == qApp->thread())
        call();
    else
        QMetaObject::invokeMethod(qApp, call, Qt::BlockingQueuedConnection);
}

MessageAnswer ThreadPrompter::Show(const std::string& text, MessageIcon icon,
                                   MessageButtons buttons) {
    MessageAnswer answer = MessageAnswer::Cancel;
    RunOnGuiThread([&] { answer = target_.Show(text, icon, buttons); });
    return answer;
}

} // namespace trelmig
