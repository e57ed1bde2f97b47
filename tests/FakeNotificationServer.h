#pragma once

#include "RunShell.h"
#include "platform/WorkFolder.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <signal.h>
#include <string>
#include <systemd/sd-bus.h>
#include <thread>
#include <vector>

// A private session bus (dbus-daemon --session) with a small notification
// server on it that records every Notify call, answers it with id 7 and can
// send the signal of a chosen action. Available() is false, with the reason,
// when dbus-daemon is not installed or did not start.
class FakeNotificationServer {
public:
    struct Call {
        std::string application, icon, summary, body;
        std::vector<std::string> actions;
        std::optional<std::uint8_t> urgency;
        int timeout = 0;
    };

    FakeNotificationServer() {
        if (RunShell("command -v dbus-daemon").status != 0) {
            whyNot_ = "dbus-daemon is not installed";
            return;
        }
        address_ = "unix:path=" + (dir_.path() / "bus").string();
        const CommandRun started =
            RunShell("dbus-daemon --session --fork --print-pid --address=" + address_);
        daemon_ = std::atoi(started.output.c_str());
        if (started.status != 0 || daemon_ <= 0) {
            whyNot_ = "dbus-daemon did not start: " + started.output;
            return;
        }
        if (sd_bus_new(&bus_) < 0 || sd_bus_set_address(bus_, address_.c_str()) < 0 ||
            sd_bus_set_bus_client(bus_, 1) < 0 || sd_bus_start(bus_) < 0 ||
            sd_bus_add_object_vtable(bus_, nullptr, "/org/freedesktop/Notifications",
                                     "org.freedesktop.Notifications", vtable(), this) < 0 ||
            sd_bus_request_name(bus_, "org.freedesktop.Notifications", 0) < 0) {
            whyNot_ = "the fake notification server could not take its name";
            return;
        }
        serving_ = std::thread([this] { serve(); });
    }
    ~FakeNotificationServer() {
        stop_ = true;
        if (serving_.joinable())
            serving_.join();
        sd_bus_flush_close_unref(bus_);
        if (daemon_ > 0)
            ::kill(daemon_, SIGTERM);
    }

    bool Available() const { return whyNot_.empty(); }
    const std::string& WhyNot() const { return whyNot_; }
    // For DBUS_SESSION_BUS_ADDRESS.
    const std::string& Address() const { return address_; }

    std::vector<Call> Calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    // The user chose the action of notification 7.
    void InvokeAction(const std::string& key) {
        std::lock_guard lock(mutex_);
        pendingAction_ = key;
    }

private:
    static int notify(sd_bus_message* m, void* self, sd_bus_error*) {
        auto& server = *static_cast<FakeNotificationServer*>(self);
        Call call;
        const char *app = nullptr, *icon = nullptr, *summary = nullptr, *body = nullptr;
        std::uint32_t replaces = 0;
        sd_bus_message_read(m, "susss", &app, &replaces, &icon, &summary, &body);
        call.application = app, call.icon = icon, call.summary = summary, call.body = body;
        sd_bus_message_enter_container(m, 'a', "s");
        for (const char* action = nullptr; sd_bus_message_read(m, "s", &action) > 0;)
            call.actions.emplace_back(action);
        sd_bus_message_exit_container(m);
        sd_bus_message_enter_container(m, 'a', "{sv}");
        while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
            const char* key = nullptr;
            sd_bus_message_read(m, "s", &key);
            if (std::string(key) == "urgency") {
                std::uint8_t urgency = 0;
                sd_bus_message_read(m, "v", "y", &urgency);
                call.urgency = urgency;
            } else {
                sd_bus_message_skip(m, "v");
            }
            sd_bus_message_exit_container(m);
        }
        sd_bus_message_exit_container(m);
        sd_bus_message_read(m, "i", &call.timeout);
        {
            std::lock_guard lock(server.mutex_);
            server.calls_.push_back(call);
        }
        return sd_bus_reply_method_return(m, "u", 7u);
    }

    void serve() {
        while (!stop_) {
            std::optional<std::string> action;
            {
                std::lock_guard lock(mutex_);
                action.swap(pendingAction_);
            }
            if (action)
                sd_bus_emit_signal(bus_, "/org/freedesktop/Notifications",
                                   "org.freedesktop.Notifications", "ActionInvoked", "us", 7u,
                                   action->c_str());
            if (sd_bus_process(bus_, nullptr) > 0)
                continue;
            sd_bus_wait(bus_, 50000);
        }
    }

    static const sd_bus_vtable* vtable() {
        static const sd_bus_vtable table[] = {
            SD_BUS_VTABLE_START(0),
            SD_BUS_METHOD("Notify", "susssasa{sv}i", "u", notify, SD_BUS_VTABLE_UNPRIVILEGED),
            SD_BUS_VTABLE_END};
        return table;
    }

    trelmig::WorkFolder dir_;
    std::string whyNot_;
    std::string address_;
    int daemon_ = 0;
    sd_bus* bus_ = nullptr;
    std::thread serving_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Call> calls_;
    std::optional<std::string> pendingAction_;
};
