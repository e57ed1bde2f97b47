// The main window's backups and restores on a pool thread: starting one with
// the controls that must not be pressed meanwhile disabled, its end on the
// window's thread, Cancel, and closing the window while one works.
#include "gui/MainWindow.h"

#include "gui/BackupTab.h"
#include "gui/ProgressPanel.h"
#include "gui/RestoreTab.h"
#include "gui/Worker.h"

#include <QAction>
#include <QFutureWatcher>
#include <QPointer>
#include <QPushButton>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <utility>
#include <vector>

namespace trelmig {

struct MainWindow::ActiveRun {
    RunFinished finished;
    std::exception_ptr error; // set on the run's thread, read once it has ended
    // What the run disabled, and whether it was enabled before.
    std::vector<std::pair<QPointer<QWidget>, bool>> widgets;
    std::vector<std::pair<QPointer<QAction>, bool>> actions;
};

void MainWindow::watchRuns() {
    runWatcher_ = new QFutureWatcher<void>(this);
    connect(runWatcher_, &QFutureWatcher<void>::finished, this, &MainWindow::runEnded);
}

void MainWindow::startRun(std::function<void()> work, RunFinished finished) {
    cancel_.Reset();
    repositoryRun_ = false;
    run_ = std::make_shared<ActiveRun>();
    run_->finished = std::move(finished);
    // Whatever starts another run, or changes what this one reads (the
    // profile's locations, the target file), waits until it has ended.
    std::vector<QWidget*> held = backupTab_->heldDuringRun();
    for (QWidget* w : restoreTab_->heldDuringRun())
        held.push_back(w);
    held.push_back(applyButton_);
    for (QWidget* w : held) {
        run_->widgets.emplace_back(w, w->isEnabled());
        w->setEnabled(false);
    }
    for (QAction* a : {backupNowAction_, restoreNowAction_, openPrefixAction_, undoRestoreAction_,
                       scheduleAction_}) {
        run_->actions.emplace_back(a, a->isEnabled());
        a->setEnabled(false);
    }
    ActiveRun* run = run_.get();
    runWatcher_->setFuture(QtConcurrent::run([run, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            run->error = std::current_exception();
        }
    }));
}

void MainWindow::startRepositoryRun(std::function<void()> work, RunFinished finished) {
    progress_->SetBusy(true);
    startRun(std::move(work), [this, finished = std::move(finished)](std::exception_ptr error) {
        progress_->SetBusy(false);
        progress_->SetShown(false);
        finished(std::move(error));
    });
    repositoryRun_ = true;
}

void MainWindow::runUnmeasured(const QString& status, const QString& detail,
                               std::function<void()> work, RunFinished finished) {
    progress_->SetShown(true);
    progress_->ShowUnmeasured(status, detail);
    startRepositoryRun(std::move(work), std::move(finished));
}

void MainWindow::runMeasured(const QString& status, const QString& detail,
                             std::function<void(const RepositoryJobControls&)> work,
                             std::function<void(std::exception_ptr, bool cancelled)> finished) {
    progress_->SetShown(true);
    progress_->ShowMeasured(status, detail);
    // borg reports far more often than the bar can move: only a new whole
    // percent goes to the panel.
    RepositoryJobControls controls{
        .progress =
            [panel = progress_, shown = -1](const RepositoryProgress& p) mutable {
                if (!p.percent)
                    return;
                const int percent = std::clamp(static_cast<int>(*p.percent), 0, 100);
                if (percent == shown)
                    return;
                shown = percent;
                panel->SetBarValue(percent);
                panel->SetPercentText(tr("%1%").arg(percent).toStdString());
            },
        .cancel = &cancel_};
    startRepositoryRun([work = std::move(work), controls = std::move(controls)] { work(controls); },
                       [this, finished = std::move(finished)](std::exception_ptr error) {
                           finished(std::move(error), cancel_.Requested());
                       });
}

void MainWindow::runEnded() {
    const std::shared_ptr<ActiveRun> run = std::move(run_);
    if (!run)
        return;
    for (const auto& [widget, enabled] : run->widgets)
        if (widget)
            widget->setEnabled(enabled);
    for (const auto& [action, enabled] : run->actions)
        if (action)
            action->setEnabled(enabled);
    if (run->finished)
        run->finished(run->error);
    if (closeAfterRun_) {
        closeAfterRun_ = false;
        // After what the run reported has been shown; posted, so that the
        // caller of this event sees the window still open.
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::QueuedConnection);
    }
}

void MainWindow::stopRunForGood() {
    if (!run_)
        return;
    // The window goes: the run must not wait for it, nor outlive what it uses.
    runPrompter_->Abandon();
    cancel_.Cancel();
    runWatcher_->waitForFinished();
    run_.reset();
}

void MainWindow::cancelRun() {
    if (!Busy() || cancel_.Requested())
        return;
    cancel_.Cancel();
    progress_->ShowCancelling();
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
    const QString question =
        repositoryRun_ ? tr("The program is working on a repository. Do you want to stop and quit?")
                       : tr("A backup or restore is running. Do you want to cancel it and quit?");
    if (prompter_.Show(question.toStdString(), MessageIcon::Question, MessageButtons::OkCancel) !=
        MessageAnswer::Ok) {
        cancel_.Resume();
        return;
    }
    if (!Busy()) { // it had passed its last stop before the question
        close();
        return;
    }
    closeAfterRun_ = true;
    cancelRun();
}

} // namespace trelmig
