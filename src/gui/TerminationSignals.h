#pragma once

#include <QObject>

class QSocketNotifier;

namespace trelmig {

// SIGTERM, SIGHUP and SIGINT (a logout, a closed terminal, Ctrl+C) end the
// program the way its Quit does, so that it removes its work folder and
// frees its instance lock instead of dying where it stands. The handler
// only writes to a pipe; Requested is emitted on the user-interface thread.
// One instance per process.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

signals:
    void Requested(int signal);

private:
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace trelmig
