#pragma once

#include "core/Prompter.h"

#include <functional>
#include <string>
#include <vector>

// Records every message and answers with a preset answer.
struct RecordingPrompter : trelmig::Prompter {
    struct Message {
        std::string text;
        trelmig::MessageIcon icon;
        trelmig::MessageButtons buttons;
    };
    std::vector<Message> messages;
    trelmig::MessageAnswer answer = trelmig::MessageAnswer::Ok;
    // When set, answers in place of `answer`.
    std::function<trelmig::MessageAnswer(const Message&)> answerFor;

    trelmig::MessageAnswer Show(const std::string& text, trelmig::MessageIcon icon,
                                trelmig::MessageButtons buttons) override {
        messages.push_back({text, icon, buttons});
        return answerFor ? answerFor(messages.back()) : answer;
    }
    // Ticks "Do not ask again" where a question offers it.
    bool doNotAskAgain = false;
    trelmig::MessageAnswer AskUnlessToldNot(const std::string& text, trelmig::MessageIcon icon,
                                            trelmig::MessageButtons buttons,
                                            bool& notAgain) override {
        notAgain = doNotAskAgain;
        return Show(text, icon, buttons);
    }
};
