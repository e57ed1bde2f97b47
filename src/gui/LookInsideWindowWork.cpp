// What the look-inside window has its workers do: read a folder or a search
// into the list, show a message's text, save messages, recover a data file.
#include "gui/LookInsideWindow.h"

#include "core/Prompter.h"
#include "gui/MessageListModel.h"

#include <QComboBox>
#include <QDir>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QTreeWidget>
#include <QtConcurrent/QtConcurrentRun>

#include <QTimer>

namespace trelmig {

namespace {

// A batch goes to the window once this many messages are read; the
// window's timer takes what there is more often.
constexpr std::size_t kBatchMessages = 100;

QString utf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString count(std::uint64_t n) {
    return QLocale().toString(static_cast<qulonglong>(n));
}

} // namespace

void LookInsideWindow::post(std::function<void()> work) {
    // Queued to the window's thread; dropped by Qt when the window has gone.
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

void LookInsideWindow::stopReading() {
    if (reading_)
        reading_->Cancel();
    reading_.reset();
    buffer_.reset();
    if (drainTimer_)
        drainTimer_->stop();
}

void LookInsideWindow::onFolderChosen() {
    updateButtons();
    const auto file = chosenFile();
    if (!file)
        return;
    if (files_[*file].opening) {
        setStatus(tr("Opening %1...").arg(utf8(files_[*file].name)));
        return;
    }
    const auto folder = chosenFolder();
    if (!folder) {
        const QString tip = files_[*file].item->toolTip(0);
        if (!tip.isEmpty())
            setStatus(tip);
        return;
    }
    startReading(
        *file,
        [id = *folder](MailStore& store, const MailStore::SummarySink& sink,
                       const CancelToken* cancel) {
            return store.ForEachMessage(id, sink, cancel);
        },
        false);
}

void LookInsideWindow::onSearchClicked() {
    const auto file = chosenFile();
    const QString text = searchEdit_->text().trimmed();
    if (!file || files_[*file].opening || text.isEmpty())
        return;
    const bool wholeFile = searchScopeBox_->currentIndex() == 1;
    const auto folder = chosenFolder();
    if (!wholeFile && !folder) {
        setStatus(tr("Choose a folder to search in, or search the whole data file."));
        return;
    }
    const std::optional<std::uint32_t> scope = wholeFile ? std::nullopt : folder;
    startReading(
        *file,
        [scope, words = text.toStdString()](MailStore& store, const MailStore::SummarySink& sink,
                                            const CancelToken* cancel) {
            return store.Search(scope, words, sink, cancel);
        },
        true);
}

void LookInsideWindow::startReading(std::size_t file, Reading reading, bool search) {
    stopReading();
    auto cancel = std::make_shared<CancelToken>();
    auto buffer = std::make_shared<ReadingBuffer>();
    reading_ = cancel;
    buffer_ = buffer;
    searching_ = search;
    listedFile_ = file;
    messages_->Clear();
    messageText_->clear();
    fromHtmlNote_->hide();
    setStatus(tr("Reading..."));
    updateButtons();
    drainTimer_->start();
    files_[file].worker->Post(
        [this, cancel, buffer, reading = std::move(reading)](MailStore* store) {
            Result<void> done = Fail("the data file is not open");
            try {
                if (store)
                    done = reading(
                        *store,
                        [&](const MessageSummary& message) {
                            bool full = false;
                            {
                                const std::lock_guard lock(buffer->mutex);
                                buffer->pending.push_back(message);
                                ++buffer->read;
                                full = buffer->pending.size() == kBatchMessages;
                            }
                            // A full batch goes at once; the rest with the timer.
                            if (full)
                                post([this, buffer] { drain(buffer); });
                            return !cancel->Requested();
                        },
                        cancel.get());
            } catch (const std::exception& e) {
                done = Fail(e.what());
            }
            {
                const std::lock_guard lock(buffer->mutex);
                buffer->result = std::move(done);
                buffer->finished = true;
            }
            post([this, buffer] { drain(buffer); });
        });
}

void LookInsideWindow::drain(const std::shared_ptr<ReadingBuffer>& buffer) {
    if (buffer != buffer_)
        return; // of a reading stopped since
    std::vector<MessageSummary> batch;
    std::uint64_t read = 0;
    bool finished = false;
    Result<void> result;
    {
        const std::lock_guard lock(buffer->mutex);
        batch.swap(buffer->pending);
        read = buffer->read;
        finished = buffer->finished;
        result = buffer->result;
    }
    messages_->Append(std::move(batch));
    if (!finished) {
        setStatus(tr("Reading... (%1 so far)").arg(count(read)));
        return;
    }
    drainTimer_->stop();
    reading_.reset();
    buffer_.reset();
    if (!result)
        setStatus(tr("Reading stopped after %1 messages: %2")
                      .arg(count(read), utf8(result.error().message)));
    else
        setStatus(searching_ ? tr("Found: %1").arg(count(read))
                             : tr("Messages: %1").arg(count(read)));
    updateButtons();
}

void LookInsideWindow::onMessageChosen() {
    fromHtmlNote_->hide();
    messageText_->clear();
    const QModelIndex current = messagesView_->currentIndex();
    if (!current.isValid() || !listedFile_)
        return;
    const MessageRef ref = messages_->at(sortedMessages_->mapToSource(current).row()).ref;
    const std::uint64_t serial = ++textSerial_;
    files_[*listedFile_].worker->Post([this, ref, serial](MailStore* store) {
        if (!store)
            return;
        // "struct": core's MessageText() of the message table hides the type.
        Result<struct MessageText> text = Fail("the message cannot be read");
        try {
            text = store->Text(ref);
        } catch (const std::exception& e) {
            text = Fail(e.what());
        }
        post([this, serial, text = std::move(text)] {
            if (serial != textSerial_)
                return;
            if (!text) {
                messageText_->setPlainText(
                    tr("The message cannot be shown: %1").arg(utf8(text.error().message)));
                return;
            }
            fromHtmlNote_->setVisible(text->fromHtml);
            messageText_->setPlainText(utf8(text->text));
        });
    });
}

void LookInsideWindow::startSaving(std::size_t file, Save save, const QString& where) {
    auto cancel = std::make_shared<CancelToken>();
    saving_ = cancel;
    setStatus(tr("Saving..."));
    updateButtons();
    files_[file].worker->Post([this, cancel, save = std::move(save), where](MailStore* store) {
        Result<SavedMessages> saved = Fail("the data file is not open");
        try {
            if (store)
                saved = save(*store, *cancel, [this](std::size_t done) {
                    post([this, done] {
                        if (saving_)
                            setStatus(tr("Saving... (%1 so far)").arg(count(done)));
                    });
                });
        } catch (const std::exception& e) {
            saved = Fail(e.what());
        }
        post([this, saved, where] {
            saving_.reset();
            updateButtons();
            if (!saved) {
                setStatus(tr("Not saved: %1").arg(utf8(saved.error().message)));
                prompter_.Show(tr("The messages could not be saved to %1: %2")
                                   .arg(where, utf8(saved.error().message))
                                   .toStdString(),
                               MessageIcon::Critical);
                return;
            }
            const QString place = QDir::toNativeSeparators(QString::fromStdString(saved->where));
            const QString done =
                saved->messages == 1
                    ? tr("1 message saved to %1").arg(place)
                    : tr("%1 messages saved to %2").arg(count(saved->messages), place);
            setStatus(done);
            prompter_.Show((done + QLatin1Char('.')).toStdString(), MessageIcon::Information);
        });
    });
}

void LookInsideWindow::onSaveMessagesClicked() {
    const std::vector<MessageRef> chosen = chosenMessages();
    if (chosen.empty() || !listedFile_ || saving_ || !saveMessages)
        return;
    FileDialogRequest request;
    request.dialogName = QStringLiteral("cdSaveMessages");
    request.title = tr("Save Messages to Folder");
    request.folder = true;
    const QString folder = chooseFile ? chooseFile(request) : QString();
    if (folder.isEmpty())
        return;
    startSaving(
        *listedFile_,
        [save = saveMessages, chosen, folder = std::filesystem::path(folder.toStdString())](
            MailStore& store, const CancelToken& cancel, const Progress& progress) {
            return save(store, chosen, folder, cancel, progress);
        },
        folder);
}

void LookInsideWindow::onSaveMboxClicked() {
    const auto file = chosenFile();
    const auto folder = chosenFolder();
    if (!file || !folder || saving_ || !saveMbox)
        return;
    FileDialogRequest request;
    request.dialogName = QStringLiteral("cdSaveMbox");
    request.title = tr("Save Folder as Mbox");
    request.filter = tr("Mbox files (*.mbox);;All files (*)");
    request.defaultSuffix = QStringLiteral("mbox");
    request.save = true;
    request.proposedName = foldersTree_->currentItem()->toolTip(0).section(QLatin1Char('/'), -1) +
                           QStringLiteral(".mbox");
    const QString target = chooseFile ? chooseFile(request) : QString();
    if (target.isEmpty())
        return;
    startSaving(
        *file,
        [save = saveMbox, id = *folder, target = std::filesystem::path(target.toStdString())](
            MailStore& store, const CancelToken& cancel, const Progress& progress) {
            return save(store, id, target, cancel, progress);
        },
        target);
}

void LookInsideWindow::onRecoverClicked() {
    const auto file = chosenFile();
    if (!file || recovering_ || !prepareRecovery)
        return;
    const std::string name = files_[*file].name;
    Result<RecoveryJob> job = prepareRecovery(name);
    if (!job) {
        onRecoveryFinished(std::unexpected(job.error()), name);
        return;
    }
    recovering_ = true;
    updateButtons();
    setStatus(tr("Recovering %1...").arg(utf8(name)));
    auto* watcher = new QFutureWatcher<Result<std::string>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, name] {
        watcher->deleteLater();
        recovering_ = false;
        updateButtons();
        onRecoveryFinished(watcher->result(), name);
    });
    watcher->setFuture(QtConcurrent::run([job = std::move(*job)]() -> Result<std::string> {
        try {
            return job();
        } catch (const std::exception& e) {
            return Fail(e.what());
        }
    }));
}

void LookInsideWindow::onRecoveryFinished(const Result<std::string>& written,
                                          const std::string& dataFile) {
    if (!written) {
        const QString reason = tr("The data file %1 could not be recovered: %2")
                                   .arg(utf8(dataFile), utf8(written.error().message));
        setStatus(reason);
        prompter_.Show(reason.toStdString(), MessageIcon::Critical);
        return;
    }
    setStatus(tr("Recovered as %1").arg(utf8(*written)));
    prompter_.Show(tr("The data file %1 of the backup was recovered as\n\n%2\n\nbeside the one "
                      "Outlook uses, which is unchanged. To look at it in Outlook, choose File > "
                      "Open > Outlook Data File... and open this file.")
                       .arg(utf8(dataFile), utf8(*written))
                       .toStdString(),
                   MessageIcon::Information);
}

} // namespace trelmig
