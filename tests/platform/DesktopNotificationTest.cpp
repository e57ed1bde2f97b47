#include "platform/DesktopNotification.h"

#include "FakeNotificationServer.h"
#include "ScopedEnv.h"

#include <gtest/gtest.h>

#include <future>

using namespace trelmig;

TEST(DesktopNotification, ReachesTheServerCriticalWithItsActionAndReportsTheChoice) {
    FakeNotificationServer server;
    if (!server.Available())
        GTEST_SKIP() << server.WhyNot();
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", server.Address());

    const NotificationSent sent = SendDesktopNotification(
        {"Scheduled backup failed", "there is no Outlook profile \"Work\"", true,
         std::pair<std::string, std::string>{"default", "Show the runs"}});
    ASSERT_EQ(sent.error, "");
    EXPECT_EQ(sent.id, 7u);
    const auto calls = server.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].application, "Quenvar Outlook Backup");
    EXPECT_EQ(calls[0].summary, "Scheduled backup failed");
    EXPECT_EQ(calls[0].body, "there is no Outlook profile \"Work\"");
    EXPECT_EQ(calls[0].urgency, 2);
    EXPECT_EQ(calls[0].actions, (std::vector<std::string>{"default", "Show the runs"}));

    auto chosen = std::async(std::launch::async,
                             [&] { return WaitForNotificationAction(sent.id, "default", 20); });
    // The waiter subscribes first; an action sent before would be lost, as on
    // a real desktop, so it is sent until the waiter has seen it.
    while (chosen.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready)
        server.InvokeAction("default");
    EXPECT_TRUE(chosen.get());
}

TEST(DesktopNotification, NoServerIsSaidNotThrown) {
    ScopedEnv bus("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    const NotificationSent sent = SendDesktopNotification({"s", "b", true, std::nullopt});
    EXPECT_EQ(sent.id, 0u);
    EXPECT_NE(sent.error, "");
}
