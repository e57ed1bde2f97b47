#pragma once

#include "core/CancelToken.h"
#include "core/Error.h"
#include "mailstore/MailStore.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace trelmig {

// Opens a data file of a backup; may take a while (the file is read out of
// the archive first) and stops early when cancel is set.
using OpenMailStore = std::function<Result<std::unique_ptr<MailStore>>(const std::string& dataFile,
                                                                       const CancelToken& cancel)>;

// One data file's MailStore on a thread of its own: the store is not safe for
// two threads, so it is opened there and every request runs there, one after
// another, in the order posted. Requests report back themselves (the window
// posts their results to its own thread).
class MailStoreWorker {
public:
    // Runs on the worker thread with the open store, or null when it could
    // not be opened.
    using Request = std::function<void(MailStore* store)>;
    // Called on the worker thread once the opening ended.
    using Opened = std::function<void(const Result<std::unique_ptr<MailStore>>& store)>;

    MailStoreWorker(std::string dataFile, OpenMailStore open, Opened opened);
    // Cancels the opening and the request at work, drops the queued ones and
    // waits for the thread.
    ~MailStoreWorker();
    MailStoreWorker(const MailStoreWorker&) = delete;
    MailStoreWorker& operator=(const MailStoreWorker&) = delete;

    void Post(Request request);
    const std::string& dataFile() const { return dataFile_; }

private:
    void run(const OpenMailStore& open, const Opened& opened);

    std::string dataFile_;
    CancelToken closing_;
    std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<Request> queue_;
    bool stopping_ = false;
    std::unique_ptr<MailStore> store_; // the worker thread's own
    std::thread thread_;
};

} // namespace trelmig
