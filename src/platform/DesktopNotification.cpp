#include "platform/DesktopNotification.h"

#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <systemd/sd-bus.h>
#include <time.h>

extern char** environ;

namespace trelmig {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kApplication = "Quenvar Outlook Backup";

struct Bus {
    sd_bus* bus = nullptr;
    ~Bus() { sd_bus_flush_close_unref(bus); }
};

struct Message {
    sd_bus_message* m = nullptr;
    ~Message() { sd_bus_message_unref(m); }
};

std::string errorText(int r, const sd_bus_error* error = nullptr) {
    if (error && sd_bus_error_is_set(error))
        return std::string(error->message ? error->message : error->name);
    return std::strerror(-r);
}

int appendBody(sd_bus_message* m, const DesktopNotification& n) {
    int r = sd_bus_message_append(m, "susss", kApplication, 0u, "trelmig", n.summary.c_str(),
                                  n.body.c_str());
    if (r >= 0)
        r = n.action ? sd_bus_message_append(m, "as", 2, n.action->first.c_str(),
                                             n.action->second.c_str())
                     : sd_bus_message_append(m, "as", 0);
    if (r >= 0)
        r = sd_bus_message_append(m, "a{sv}", 1, "urgency", "y",
                                  static_cast<std::uint8_t>(n.critical ? 2 : 1));
    if (r >= 0)
        r = sd_bus_message_append(m, "i", -1);
    return r;
}

} // namespace

NotificationSent SendDesktopNotification(const DesktopNotification& notification) {
    Bus bus;
    int r = sd_bus_open_user(&bus.bus);
    if (r < 0)
        return {0, "no session bus: " + errorText(r)};
    Message call;
    r = sd_bus_message_new_method_call(bus.bus, &call.m, kService, kPath, kService, "Notify");
    if (r >= 0)
        r = appendBody(call.m, notification);
    if (r < 0)
        return {0, "the notification could not be made: " + errorText(r)};
    sd_bus_error error = SD_BUS_ERROR_NULL;
    Message reply;
    r = sd_bus_call(bus.bus, call.m, 10 * 1000 * 1000, &error, &reply.m);
    unsigned id = 0;
    if (r >= 0)
        r = sd_bus_message_read(reply.m, "u", &id);
    std::string text = r < 0 ? "no notification server answered: " + errorText(r, &error) : "";
    sd_bus_error_free(&error);
    return {id, text};
}

bool WaitForNotificationAction(unsigned id, const std::string& actionKey, int seconds) {
    Bus bus;
    if (sd_bus_open_user(&bus.bus) < 0)
        return false;
    const std::string match =
        std::string("type='signal',interface='") + kService + "',path='" + kPath + "'";
    if (sd_bus_add_match(bus.bus, nullptr, match.c_str(), nullptr, nullptr) < 0)
        return false;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long deadline = now.tv_sec + seconds;
    for (;;) {
        Message m;
        const int r = sd_bus_process(bus.bus, &m.m);
        if (r < 0)
            return false;
        if (m.m && sd_bus_message_is_signal(m.m, kService, "ActionInvoked")) {
            unsigned signalled = 0;
            const char* key = nullptr;
            if (sd_bus_message_read(m.m, "us", &signalled, &key) >= 0 && signalled == id)
                return key && actionKey == key;
        } else if (m.m && sd_bus_message_is_signal(m.m, kService, "NotificationClosed")) {
            unsigned signalled = 0;
            if (sd_bus_message_read(m.m, "u", &signalled) >= 0 && signalled == id)
                return false;
        }
        if (r > 0)
            continue;
        clock_gettime(CLOCK_MONOTONIC, &now);
        if (now.tv_sec >= deadline)
            return false;
        sd_bus_wait(bus.bus, static_cast<uint64_t>(deadline - now.tv_sec) * 1000000u);
    }
}

bool StartNotificationWaiter(const std::string& program, unsigned id) {
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    std::string option = "--await-notification";
    std::string number = std::to_string(id);
    std::string name = program;
    char* argv[] = {name.data(), option.data(), number.data(), nullptr};
    // Holds nothing of ours open: whoever reads our output is not kept waiting.
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    for (int fd = 0; fd < 3; ++fd)
        posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
    pid_t pid = 0;
    const int r = posix_spawn(&pid, program.c_str(), &files, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attributes);
    return r == 0;
}

} // namespace trelmig
