#pragma once

#include "core/Message.h"

#include <cstdint>
#include <string>

namespace trelmig {

// What a long run shows while it works, by role: a status text (the step at
// work), an item text (the file being added or unpacked), a percent text, a
// bar value from 0 to 100, the busy pointer, and whether any of it is shown.
// A run calls it from its own thread; a view that draws must hand what it
// is told to its drawing thread. The unattended run shows nothing.

// The long parts of a run that are measured in bytes.
enum class ByteWork { Compressing, Restoring, Verifying, Writing };

class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void SetShown(bool shown) = 0;
    virtual void SetBusy(bool busy) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    // A status of the message table: in English unless the view speaks the
    // user's language.
    virtual void SetStatus(const Message& status) { SetStatusText(status.Text()); }
    virtual void SetItemText(const std::string& text) = 0;
    virtual void SetPercentText(const std::string& text) = 0;
    // A percent text of the message table, as SetStatus.
    virtual void SetPercent(const Message& percent) { SetPercentText(percent.Text()); }
    virtual void SetBarValue(int value) = 0;
    virtual int BarValue() const = 0;
    // The long part of a run in bytes: what is at work (a file's bare name),
    // the bytes done of the total. A view that shows it works out speed and
    // time left; a total that changes starts a new measurement.
    virtual void SetByteProgress(ByteWork /*work*/, const std::string& /*item*/,
                                 std::uint64_t /*done*/, std::uint64_t /*total*/) {}
};

// For runs without a window.
class SilentProgress : public ProgressView {
public:
    void SetShown(bool) override {}
    void SetBusy(bool) override {}
    void SetStatusText(const std::string&) override {}
    void SetItemText(const std::string&) override {}
    void SetPercentText(const std::string&) override {}
    void SetBarValue(int value) override { value_ = value; }
    int BarValue() const override { return value_; }

private:
    int value_ = 0;
};

} // namespace trelmig
