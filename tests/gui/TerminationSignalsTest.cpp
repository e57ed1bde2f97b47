#include "WindowTestSupport.h"

#include "gui/TerminationSignals.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

#include <csignal>
#include <vector>

using namespace trelmig;

namespace {

bool handledByDefault(int number) {
    struct sigaction current = {};
    ::sigaction(number, nullptr, &current);
    return current.sa_handler == SIG_DFL;
}

} // namespace

TEST(TerminationSignals, ALogoutOrCtrlCBecomesARequestOnTheWindowThread) {
    guiApp();
    std::vector<int> requests;
    {
        TerminationSignals termination;
        QObject::connect(&termination, &TerminationSignals::Requested,
                         [&](int number) { requests.push_back(number); });
        // Unhandled, either would end this test program.
        std::raise(SIGTERM);
        std::raise(SIGHUP);
        std::raise(SIGINT);
        EXPECT_TRUE(requests.empty()) << "not inside the signal handler";
        for (int round = 0; round < 100 && requests.size() < 3; ++round)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_EQ(requests, (std::vector<int>{SIGTERM, SIGHUP, SIGINT}));
    // Gone with its owner: the defaults are back.
    EXPECT_TRUE(handledByDefault(SIGTERM));
    EXPECT_TRUE(handledByDefault(SIGHUP));
    EXPECT_TRUE(handledByDefault(SIGINT));
}
