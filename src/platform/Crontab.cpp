#include "platform/Crontab.h"

#include "platform/HostProgram.h"

#include <string>
#include <vector>

namespace trelmig {

namespace {

HostProgramResult run(const std::vector<std::string>& argv, const std::string& input) {
    try {
        return RunHostProgram(argv, input);
    } catch (const std::runtime_error& e) {
        throw CrontabError(e.what());
    }
}

std::vector<std::string> baseArgs(const Crontab::Program& p) {
    std::vector<std::string> args{p.path};
    if (p.user) {
        args.push_back("-u");
        args.push_back(*p.user);
    }
    return args;
}

std::string firstLine(std::string text) {
    text = text.substr(0, text.find('\n'));
    while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string failure(const std::string& what, const HostProgramResult& r) {
    std::string msg = firstLine(r.err);
    if (msg.empty())
        msg = r.exitCode < 0 ? "killed" : "exit status " + std::to_string(r.exitCode);
    return what + ": " + msg;
}

// The table's lines; a last line without its line break counts too.
std::vector<std::string> linesOf(const std::string& table) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < table.size()) {
        const auto end = table.find('\n', start);
        lines.push_back(table.substr(start, end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

} // namespace

std::string Crontab::ReadTable() const {
    auto args = baseArgs(program_);
    args.push_back("-l");
    const HostProgramResult r = run(args, {});
    if (r.exitCode == 0)
        return r.out;
    if (r.exitCode > 0 && r.out.empty() && r.err.starts_with("no crontab for "))
        return {};
    throw CrontabError(failure("crontab -l failed", r));
}

void Crontab::WriteTable(const std::string& table) const {
    auto args = baseArgs(program_);
    args.push_back("-");
    const HostProgramResult r = run(args, table);
    if (r.exitCode != 0)
        throw CrontabError(failure("crontab could not install the new table", r));
}

bool Crontab::Update(const std::function<bool(std::string&)>& change) const {
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::string before = ReadTable();
        std::string table = before;
        if (!change(table))
            return false;
        if (ReadTable() != before)
            continue;
        WriteTable(table);
        return true;
    }
    throw CrontabError("the crontab kept changing while it was being updated; try again");
}

int Crontab::AddJob(const AtInfo& info, const std::filesystem::path& winePrefix,
                    const std::filesystem::path& passwordFile,
                    const std::vector<int>& heldElsewhere, const JobArguments& arguments) const {
    int number = 0;
    // Checks the record before anything is read or written.
    CronJobLine(info, 1, winePrefix, passwordFile, arguments);
    Update([&](std::string& table) {
        std::vector<int> taken = heldElsewhere;
        for (const auto& line : linesOf(table))
            if (const auto held = CronJobNumber(line))
                taken.push_back(*held);
        number = NextJobNumber(std::move(taken));
        if (!table.empty() && table.back() != '\n')
            table += '\n';
        table += CronJobLine(info, number, winePrefix, passwordFile, arguments) + "\n";
        return true;
    });
    return number;
}

std::vector<CronJob> Crontab::Jobs() const {
    std::vector<CronJob> jobs;
    for (const auto& line : linesOf(ReadTable()))
        if (auto job = ParseCronJobLine(line))
            jobs.push_back(std::move(*job));
    return jobs;
}

std::optional<CronJob> Crontab::RemoveJob(int number) const {
    std::optional<CronJob> removed;
    Update([&](std::string& table) {
        std::string kept;
        bool found = false;
        std::size_t start = 0;
        while (start < table.size()) {
            auto end = table.find('\n', start);
            end = end == std::string::npos ? table.size() : end + 1;
            const std::string line = table.substr(start, end - start);
            std::string bare = line;
            if (!bare.empty() && bare.back() == '\n')
                bare.pop_back();
            const auto first = bare.find_first_not_of(" \t");
            const bool isJob =
                first != std::string::npos && bare[first] != '#' && CronJobNumber(bare) == number;
            if (isJob) {
                found = true;
                removed = ParseCronJobLine(bare);
                if (!removed)
                    removed = CronJob{number, {}, {}, {}, false, {}};
            } else {
                kept += line;
            }
            start = end;
        }
        table = kept;
        if (!found)
            removed.reset();
        return found;
    });
    return removed;
}

} // namespace trelmig
