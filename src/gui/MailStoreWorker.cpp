#include "gui/MailStoreWorker.h"

namespace trelmig {

MailStoreWorker::MailStoreWorker(std::string dataFile, OpenMailStore open, Opened opened)
    : dataFile_(std::move(dataFile)) {
    thread_ = std::thread(
        [this, open = std::move(open), opened = std::move(opened)] { run(open, opened); });
}

MailStoreWorker::~MailStoreWorker() {
    closing_.Cancel();
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
        queue_.clear();
    }
    posted_.notify_all();
    thread_.join();
}

void MailStoreWorker::Post(Request request) {
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(std::move(request));
    }
    posted_.notify_one();
}

void MailStoreWorker::run(const OpenMailStore& open, const Opened& opened) {
    Result<std::unique_ptr<MailStore>> result = Fail("the data file cannot be read");
    // What the opening throws (a library's own failure) is a failure to open,
    // reported in words like any other.
    try {
        if (open)
            result = open(dataFile_, closing_);
    } catch (const std::exception& e) {
        result = Fail(e.what());
    }
    if (closing_.Requested())
        return;
    opened(result);
    if (result)
        store_ = std::move(*result);
    for (;;) {
        Request request;
        {
            std::unique_lock lock(mutex_);
            posted_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_)
                break;
            request = std::move(queue_.front());
            queue_.pop_front();
        }
        request(store_.get());
    }
    store_.reset();
}

} // namespace trelmig
