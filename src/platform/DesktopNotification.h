#pragma once

#include <optional>
#include <string>

namespace trelmig {

// A desktop notification through org.freedesktop.Notifications on the
// session bus (DBUS_SESSION_BUS_ADDRESS, else $XDG_RUNTIME_DIR/bus).
struct DesktopNotification {
    std::string summary;
    std::string body;
    bool critical = false; // urgency 2, which stays until it is dismissed
    // An action the notification offers: its key and its label.
    std::optional<std::pair<std::string, std::string>> action;
};

// The notification's id, or why it could not be shown (no session bus, no
// notification server).
struct NotificationSent {
    unsigned id = 0;
    std::string error;
};

NotificationSent SendDesktopNotification(const DesktopNotification& notification);

// Waits until the user chose the notification's action (true), or it was
// closed or seconds passed (false). Meant for a process of its own: the
// notification's sender does not wait.
bool WaitForNotificationAction(unsigned id, const std::string& actionKey, int seconds);

// Starts program with "--await-notification ID" in a session of its own, not
// waited for: it waits for the action while the sender ends. False when it
// could not be started.
bool StartNotificationWaiter(const std::string& program, unsigned id);

} // namespace trelmig
