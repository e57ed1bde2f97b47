#pragma once

#include "mailstore/MailStore.h"

#include <algorithm>
#include <atomic>
#include <map>
#include <thread>

// A data file in memory: a top folder, an inbox of `inboxMessages`
// messages ("needle" in the subject of ten), its "Old" subfolder and a sent
// folder (one "needle"). Folder 5 ("Slow") hands
// over one message and then waits until its reading is cancelled.
class FakeMailStore : public trelmig::MailStore {
public:
    explicit FakeMailStore(std::uint32_t inboxMessages = 1000) {
        folders_ = {{1, "Top of Personal Folders", "Top of Personal Folders", 0, 0},
                    {2, "Inbox", "Top of Personal Folders/Inbox", 1, inboxMessages},
                    {3, "Old", "Top of Personal Folders/Inbox/Old", 2, 3},
                    {4, "Sent Items", "Top of Personal Folders/Sent Items", 1, 20},
                    {5, "Slow", "Top of Personal Folders/Slow", 1, 1}};
        for (const auto& folder : folders_)
            for (std::uint32_t i = 0; i < folder.messageCount; ++i)
                messages_[folder.id].push_back(make(folder.id, i));
    }

    // What the tests look at, written by the worker thread.
    std::atomic<bool> slowCancelled{false};
    std::atomic<int> searches{0};
    std::optional<std::uint32_t> lastSearchFolder;

    const std::vector<trelmig::MailFolder>& folders() const override { return folders_; }

    trelmig::Result<void> ForEachMessage(std::uint32_t folderId, const SummarySink& sink,
                                         const trelmig::CancelToken* cancel) override {
        for (const auto& message : messages_[folderId])
            if (!sink(message) || (cancel && cancel->Requested()))
                return {};
        if (folderId == 5) {
            while (!cancel->Requested())
                std::this_thread::yield();
            slowCancelled = true;
        }
        return {};
    }

    trelmig::Result<void> Search(std::optional<std::uint32_t> folderId, std::string_view text,
                                 const SummarySink& sink, const trelmig::CancelToken*) override {
        lastSearchFolder = folderId;
        ++searches;
        for (const auto& [id, list] : messages_)
            if (!folderId || *folderId == id)
                for (const auto& message : list)
                    if (message.subject.find(text) != std::string::npos && !sink(message))
                        return {};
        return {};
    }

    trelmig::Result<trelmig::MessageSummary> Summary(const trelmig::MessageRef& ref) override {
        return messages_[ref.folderId].at(ref.index);
    }
    trelmig::Result<struct trelmig::MessageText> Text(const trelmig::MessageRef& ref) override {
        struct trelmig::MessageText body;
        body.text = "Body of " + messages_[ref.folderId].at(ref.index).subject;
        body.fromHtml = ref.index % 2 == 1;
        return body;
    }
    trelmig::Result<void> WriteEml(const trelmig::MessageRef&, std::ostream& out) override {
        out << "Subject: x\r\n\r\n";
        return {};
    }

private:
    static trelmig::MessageSummary make(std::uint32_t folder, std::uint32_t i) {
        trelmig::MessageSummary m;
        m.ref = {folder, i};
        // Out of time order, as a store keeps them.
        m.time = 1'700'000'000 + static_cast<std::int64_t>((i * 7919) % 1000) * 3600;
        m.sender = "Sender " + std::to_string(i % 13) + " <s" + std::to_string(i) + "@example.com>";
        m.recipients = "sam@example.com";
        const bool needle = i % 100 == 42 || (folder == 4 && i == 7);
        m.subject = (needle ? "needle " : "Message ") + std::to_string(i);
        m.size = 1000 + i;
        if (i % 10 == 0)
            m.attachmentNames = {"a" + std::to_string(i) + ".pdf"};
        return m;
    }

    std::vector<trelmig::MailFolder> folders_;
    std::map<std::uint32_t, std::vector<trelmig::MessageSummary>> messages_;
};
