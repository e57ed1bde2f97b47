#include "WindowTestSupport.h"

#include "gui/InstanceChannel.h"
#include "gui/InstanceLock.h"
#include "platform/WorkFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>

#include <atomic>
#include <fstream>
#include <thread>

using namespace trelmig;

namespace {

// Hands `file` to the channel from another thread, as a second start does,
// while this thread serves the window's events.
bool handFromSecondStart(const QString& socketPath, const QString& file) {
    std::atomic<bool> done = false;
    bool answered = false;
    std::thread second([&] {
        answered = InstanceChannel::Hand(socketPath, file);
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    second.join();
    QCoreApplication::processEvents();
    return answered;
}

} // namespace

TEST(InstanceChannel, ASecondStartHandsItsFileToTheRunningWindow) {
    guiApp();
    WorkFolder prefixRoot;
    InstanceLock lock(prefixRoot.path());
    ASSERT_TRUE(lock.TryLock());
    EXPECT_TRUE(lock.ChannelPath().endsWith(QStringLiteral(".socket")));
    EXPECT_NE(lock.ChannelPath(), lock.LockFilePath());

    // Nobody listens yet: the second start learns that it must say so.
    EXPECT_FALSE(InstanceChannel::Hand(lock.ChannelPath(), QStringLiteral("/x.kvx")));

    InstanceChannel channel(lock.ChannelPath());
    ASSERT_TRUE(channel.Listen());
    QStringList received;
    QObject::connect(&channel, &InstanceChannel::Requested,
                     [&](const QString& file) { received << file; });

    const QString odd = QStringLiteral("/home/me/Sicherung\n%20 Größe.kvx");
    EXPECT_TRUE(handFromSecondStart(lock.ChannelPath(), odd));
    EXPECT_TRUE(handFromSecondStart(lock.ChannelPath(), QString()));
    EXPECT_EQ(received, (QStringList{odd, QString()}));
}

TEST(InstanceChannel, ASocketLeftByACrashedWindowIsReplaced) {
    guiApp();
    WorkFolder prefixRoot;
    InstanceLock lock(prefixRoot.path());
    ASSERT_TRUE(lock.TryLock());
    std::ofstream(lock.ChannelPath().toStdString()) << "stale";
    InstanceChannel channel(lock.ChannelPath());
    ASSERT_TRUE(channel.Listen());
    int requests = 0;
    QObject::connect(&channel, &InstanceChannel::Requested, [&] { ++requests; });
    EXPECT_TRUE(handFromSecondStart(lock.ChannelPath(), QString()));
    EXPECT_EQ(requests, 1);
}
