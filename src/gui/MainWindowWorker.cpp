// The main window's backups and restores on a worker thread: Cancel, and
// closing the window while one works.
#include "gui/MainWindow.h"

#include "gui/ProgressPanel.h"
#include "gui/Worker.h"

#include <QPushButton>
#include <QTimer>

namespace trelmig {

void MainWindow::runOnWorker(const std::function<void()>& work) {
    cancel_.Reset();
    running_ = true;
    struct NotRunning {
        bool& flag;
        ~NotRunning() { flag = false; }
    } notRunning{running_};
    RunOnWorkerThread(work);
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        // After the caller has shown what the run reported.
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

void MainWindow::cancelRun() {
    if (!running_ || cancel_.Requested())
        return;
    cancel_.Cancel();
    picCon3->cmdCancel->setEnabled(false);
    picCon3->SetStatus("Cancelling...");
}

void MainWindow::askCancelAndQuit() {
    if (closeAfterRun_)
        return;
    if (cancel_.Requested()) { // cancelled already: it only has to stop
        closeAfterRun_ = true;
        return;
    }
    // The run waits while the question is open: it must not finish, replace
    // the earlier file and report success behind it.
    cancel_.Pause();
    if (prompter_.Show("A backup or restore is running. Do you want to cancel it and quit?",
                       MessageIcon::Question, MessageButtons::OkCancel) != MessageAnswer::Ok) {
        cancel_.Resume();
        return;
    }
    if (!running_) { // it had passed its last stop before the question
        close();
        return;
    }
    closeAfterRun_ = true;
    cancelRun();
}

} // namespace trelmig
