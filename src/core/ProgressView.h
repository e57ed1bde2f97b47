#pragma once

#include <string>

namespace trelmig {

// What a long run shows while it works: the main window's progress panel
// (status label, file label, percent label, progress bar) and the busy
// pointer. The unattended run shows nothing.
class ProgressView {
public:
    virtual ~ProgressView() = default;
    virtual void ShowPanel(bool visible) = 0;
    virtual void SetBusy(bool busy) = 0;
    virtual void SetStatus(const std::string& text) = 0;      // Label1
    virtual void SetFileText(const std::string& text) = 0;    // SkinLabel9
    virtual void SetPercentText(const std::string& text) = 0; // SkinLabel10
    virtual void SetProgress(int value) = 0;                  // pbshow, 0..100
    virtual int Progress() const = 0;
    // Lets the window repaint and handle input.
    virtual void ProcessEvents() = 0;
};

// For runs without a window.
class SilentProgress : public ProgressView {
public:
    void ShowPanel(bool) override {}
    void SetBusy(bool) override {}
    void SetStatus(const std::string&) override {}
    void SetFileText(const std::string&) override {}
    void SetPercentText(const std::string&) override {}
    void SetProgress(int value) override { value_ = value; }
    int Progress() const override { return value_; }
    void ProcessEvents() override {}

private:
    int value_ = 0;
};

} // namespace trelmig
