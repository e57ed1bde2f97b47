#pragma once

#include "core/Prompter.h"

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

    trelmig::MessageAnswer Show(const std::string& text, trelmig::MessageIcon icon,
                                trelmig::MessageButtons buttons) override {
        messages.push_back({text, icon, buttons});
        return answer;
    }
};
