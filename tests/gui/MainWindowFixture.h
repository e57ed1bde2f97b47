#pragma once

#include "RecordingPrompter.h"
#include "SamplePrefixCopy.h"
#include "WindowTestSupport.h"

#include "app/Environment.h"
#include "gui/Help.h"
#include "gui/MainWindow.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QUrl>

#include <array>
#include <functional>
#include <memory>
#include <vector>

// The main window on a copy of the sample prefix, with a recording prompter;
// file dialogs answer with `nextFile`, URLs are recorded instead of opened.
class MainWindowTest : public ::testing::Test {
protected:
    SamplePrefixCopy prefix;
    RecordingPrompter prompter;
    std::unique_ptr<trelmig::Environment> env;
    std::unique_ptr<trelmig::MainWindow> window;
    std::vector<trelmig::FileDialogRequest> dialogs;
    QString nextFile;
    std::vector<QUrl> openedUrls;
    int endProgramCalls = 0;
    bool realDialogs = false; // the window's own file dialogs

    void SetUp() override {
        guiApp();
        previousOpener_ = trelmig::SetUrlOpener([this](const QUrl& url) {
            openedUrls.push_back(url);
            return true;
        });
    }

    void TearDown() override {
        window.reset();
        env.reset();
        trelmig::SetUrlOpener(previousOpener_);
    }

    // Opens the window; `prepare` may change the prefix's registry first.
    void open(trelmig::PasswordPrompt* passwords = nullptr,
              const std::function<void(trelmig::Environment&)>& prepare = {}) {
        openOn(prefix.root, passwords, prepare);
    }

    void openOn(const std::filesystem::path& root, trelmig::PasswordPrompt* passwords = nullptr,
                const std::function<void(trelmig::Environment&)>& prepare = {}) {
        env = std::make_unique<trelmig::Environment>(trelmig::WinePrefix(root), prompter);
        if (prepare)
            prepare(*env);
        window = std::make_unique<trelmig::MainWindow>(*env, prompter, passwords);
        if (!realDialogs)
            window->chooseFile = [this](const trelmig::FileDialogRequest& request) {
                dialogs.push_back(request);
                return nextFile;
            };
        window->endProgram = [this] { ++endProgramCalls; };
        window->show();
    }

    // The window's control with this object name.
    template <typename W> W* child(const char* name) const {
        return control<W>(window.get(), QString::fromLatin1(name));
    }

    // The window starts a backup or restore and returns at once: lets the run
    // go to its end, and that end be handled, as the program's loop does.
    void finishRun() {
        while (window->Busy())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }

    std::vector<std::string> messageTexts() const {
        std::vector<std::string> texts;
        for (const auto& m : prompter.messages)
            texts.push_back(m.text);
        return texts;
    }

private:
    trelmig::UrlOpener previousOpener_;
};

// The item boxes of a panel of the main window ("backupitem" or
// "restoreitem"), by their object names "backupitem(0)" ...
inline std::array<QCheckBox*, trelmig::kItemCount> itemBoxes(const QObject* window,
                                                             const char* panel) {
    std::array<QCheckBox*, trelmig::kItemCount> boxes{};
    for (int i = 0; i < trelmig::kItemCount; ++i)
        boxes[static_cast<std::size_t>(i)] =
            control<QCheckBox>(window, QStringLiteral("%1(%2)").arg(QLatin1String(panel)).arg(i));
    return boxes;
}

// A part of a window found by its object name, the name the skin selects.
template <typename T> T* partOf(QObject* window, const char* objectName) {
    return window->findChild<T*>(QString::fromLatin1(objectName));
}

inline trelmig::ItemSelection itemsOf(std::initializer_list<int> list) {
    trelmig::ItemSelection s{};
    for (int i : list)
        s[static_cast<std::size_t>(i)] = true;
    return s;
}
