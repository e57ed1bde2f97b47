#include "mailstore/MailExport.h"

#include "core/Message.h"
#include "mailstore/Mboxrd.h"
#include "mailstore/SafeFileName.h"
#include "platform/NewFile.h"

#include <exception>
#include <sstream>

namespace trelmig {

Result<std::vector<std::filesystem::path>> ExportEml(MailStore& store,
                                                     std::span<const MessageRef> messages,
                                                     const std::filesystem::path& folder,
                                                     const CancelToken* cancel) {
    std::vector<std::filesystem::path> written;
    for (const MessageRef& ref : messages) {
        if (CancelRequested(cancel))
            break;
        auto summary = store.Summary(ref);
        if (!summary)
            return std::unexpected(summary.error());
        try {
            NewFile file(folder, SafeFileName(summary->subject), ".eml");
            if (auto eml = store.WriteEml(ref, file.stream()); !eml)
                return Fail(MessageText(MessageId::MailExportFailed, file.path().string(),
                                        eml.error().message));
            file.commit();
            written.push_back(file.path());
        } catch (const std::exception& e) {
            return Fail(MessageText(MessageId::MailExportFailed, folder.string(), e.what()));
        }
    }
    return written;
}

Result<std::vector<std::filesystem::path>> ExportMbox(MailStore& store,
                                                      std::span<const MessageRef> messages,
                                                      const std::filesystem::path& file,
                                                      const CancelToken* cancel) {
    try {
        NewFile mbox(file.parent_path().empty() ? "." : file.parent_path(), file.stem().string(),
                     file.extension().string());
        for (const MessageRef& ref : messages) {
            if (CancelRequested(cancel))
                return std::vector<std::filesystem::path>{};
            auto summary = store.Summary(ref);
            if (!summary)
                return std::unexpected(summary.error());
            std::ostringstream eml;
            if (auto written = store.WriteEml(ref, eml); !written)
                return Fail(MessageText(MessageId::MailExportFailed, mbox.path().string(),
                                        written.error().message));
            mbox.stream() << MboxFromLine(summary->sender, summary->time) << MboxrdBody(eml.str());
        }
        mbox.commit();
        return std::vector<std::filesystem::path>{mbox.path()};
    } catch (const std::exception& e) {
        return Fail(MessageText(MessageId::MailExportFailed, file.string(), e.what()));
    }
}

} // namespace trelmig
