#include "platform/CronJobLine.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <vector>

namespace trelmig {

namespace {

constexpr const char* kMarker = "# trelmig job ";
constexpr std::uint32_t kDayMs = 24u * 3600u * 1000u;
// cron refuses a longer command ("command too long").
constexpr std::size_t kMaxCronCommand = 998;
// daysOfWeek bit i (Monday first) is cron day (i + 1) % 7 (Sunday is 0).
constexpr int cronWeekday(int bit) {
    return (bit + 1) % 7;
}

std::string numberList(std::uint32_t bits, int count, int (*cronValue)(int)) {
    std::string out;
    for (int i = 0; i < count; ++i)
        if (bits & (1u << i))
            out += (out.empty() ? "" : ",") + std::to_string(cronValue(i));
    return out;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::pair<std::string, std::string> SplitJobCommand(const std::string& command) {
    const auto close = command.find('"', 1);
    if (command.empty() || command[0] != '"' || close == std::string::npos ||
        command.compare(close + 1, 1, " ") != 0)
        throw CrontabError("the job command is not \"program\" followed by its arguments: " +
                           command);
    return {command.substr(1, close - 1), command.substr(close + 2)};
}

void CheckJobArguments(const JobArguments& arguments) {
    for (const auto* list : {&arguments.machine, &arguments.run}) {
        if (list->size() % 2 != 0)
            throw CrontabError("a job option is missing its value");
        for (std::size_t i = 0; i < list->size(); ++i) {
            const std::string& word = (*list)[i];
            if (i % 2 == 0 && !word.starts_with("--"))
                throw CrontabError("\"" + word + "\" is not a job option");
            if (word.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
                throw CrontabError("a job cannot carry a line break or a NUL character");
        }
    }
}

std::optional<int> ParseCronNumber(std::string_view s) {
    // Digits only: from_chars would take a sign, and a sign is no cron number.
    if (s.empty() || s.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

int NextJobNumber(std::vector<int> taken) {
    std::ranges::sort(taken);
    if (taken.empty() || taken.back() < std::numeric_limits<int>::max())
        return std::max(taken.empty() ? 0 : taken.back(), 0) + 1;
    int free = 1;
    for (const int number : taken)
        if (number == free)
            ++free;
        else if (number > free)
            break;
    return free;
}

namespace {

std::optional<int> parseInt(const std::string& s) {
    return ParseCronNumber(s);
}

// A cron field "*" or "a,b,c" of numbers lo..hi; nullopt for anything else.
std::optional<std::vector<int>> parseList(const std::string& field, int lo, int hi) {
    std::vector<int> values;
    std::size_t start = 0;
    for (;;) {
        const auto comma = field.find(',', start);
        const auto v = parseInt(field.substr(start, comma - start));
        if (!v || *v < lo || *v > hi)
            return std::nullopt;
        values.push_back(*v);
        if (comma == std::string::npos)
            return values;
        start = comma + 1;
    }
}

// What cron hands to /bin/sh: the text up to the first "%" (the rest is the
// command's input), with "\%" standing for "%".
std::string shellTextOf(const std::string& command) {
    std::string out;
    bool escaped = false;
    for (char c : command) {
        if (escaped) {
            if (c == '%')
                out.back() = '%';
            else
                out += c;
            escaped = false;
            continue;
        }
        if (c == '%')
            break;
        out += c;
        escaped = c == '\\';
    }
    return out;
}

// The words of the shell text as the shell would see them. Only what job lines
// use is understood: blanks, single quotes, backslashes, "&&" and a trailing
// comment; anything else (expansions, other operators) gives nullopt.
std::optional<std::vector<std::string>> shellWords(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (isBlank(c)) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else if (c == '#' && !inWord) {
            break;
        } else if (c == '\'') {
            const auto close = text.find('\'', i + 1);
            if (close == std::string::npos)
                return std::nullopt;
            word += text.substr(i + 1, close - i - 1);
            inWord = true;
            i = close;
        } else if (c == '\\') {
            if (++i == text.size())
                return std::nullopt;
            word += text[i];
            inWord = true;
        } else if (c == '&' && !inWord && text.compare(i, 2, "&&") == 0 &&
                   (i + 2 == text.size() || isBlank(text[i + 2]))) {
            words.push_back("&&");
            ++i;
        } else if (std::string_view("\"$`;|&<>(){}*?[~").find(c) != std::string_view::npos) {
            return std::nullopt;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

// Pairs of an option word and its value from words[i] on, up to the first
// word that is no option (or the end); i moves past them.
std::vector<std::string> optionPairs(const std::vector<std::string>& words, std::size_t& i) {
    std::vector<std::string> pairs;
    while (i + 1 < words.size() && words[i].starts_with("--")) {
        pairs.push_back(words[i]);
        pairs.push_back(words[i + 1]);
        i += 2;
    }
    return pairs;
}

// "program [--password-file F] [machine options] command [run options]": the
// job's command and what goes with it. A line that is not of that shape
// keeps no command.
void readProgramWords(const std::vector<std::string>& words, CronJob& job) {
    if (words.size() < 2)
        return;
    std::size_t i = 1;
    std::filesystem::path passwordFile;
    if (words.size() >= 4 && words[1] == "--password-file") {
        passwordFile = words[2];
        i = 3;
    }
    JobArguments arguments;
    // The command itself is never an option: the last word before the run
    // options is it even when it starts with "--".
    std::size_t end = words.size();
    std::vector<std::string> run;
    while (end >= i + 3 && words[end - 2].starts_with("--")) {
        run.insert(run.begin(), {words[end - 2], words[end - 1]});
        end -= 2;
    }
    const std::vector<std::string> head(words.begin(),
                                        words.begin() + static_cast<std::ptrdiff_t>(end));
    arguments.machine = optionPairs(head, i);
    if (i + 1 != end)
        return;
    arguments.run = std::move(run);
    job.passwordFile = passwordFile;
    job.arguments = std::move(arguments);
    job.info.command = "\"" + words[0] + "\" " + words[i];
}

} // namespace

std::string CronShellWord(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        if (c == '\'')
            out += "'\\''";
        else if (c == '%')
            out += "'\\%'";
        else
            out += c;
    }
    return out + "'";
}

std::string CronJobLine(const AtInfo& info, int number, const std::filesystem::path& winePrefix,
                        const std::filesystem::path& passwordFile, const JobArguments& arguments) {
    if (info.jobTime >= kDayMs)
        throw CrontabError("the job time " + std::to_string(info.jobTime) +
                           " ms is not a time of day");
    const auto [program, commandArguments] = SplitJobCommand(info.command);
    for (const std::string& part : {info.command, winePrefix.string(), passwordFile.string()})
        if (part.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            throw CrontabError("a job cannot carry a line break or a NUL character");
    CheckJobArguments(arguments);

    const std::uint32_t minutes = info.jobTime / 60000;
    const bool weekdays = (info.daysOfWeek & 0x7f) != 0;
    const bool monthDays = (info.daysOfMonth & 0x7fffffffu) != 0;
    const bool once = !(weekdays || monthDays) || !(info.flags & kJobRunPeriodically);
    std::string dom = "*";
    if (monthDays)
        dom = numberList(info.daysOfMonth, 31, [](int i) { return i + 1; });
    // Every day of the week is "*" unless days of the month are listed too:
    // cron runs a job on either field only when both are restricted.
    std::string dow = "*";
    if (weekdays && ((info.daysOfWeek & 0x7f) != 0x7f || monthDays))
        dow = numberList(info.daysOfWeek, 7, [](int i) { return cronWeekday(i); });

    std::string command;
    if (once)
        command += CronShellWord(program) + " --remove-job " + std::to_string(number) +
                   (passwordFile.empty() ? "" : " --keep-password-file") + " && ";
    if (!winePrefix.empty())
        command += "WINEPREFIX=" + CronShellWord(winePrefix.string()) + " ";
    command += CronShellWord(program) + " ";
    if (!passwordFile.empty())
        command += "--password-file " + CronShellWord(passwordFile.string()) + " ";
    for (const std::string& word : arguments.machine)
        command += CronShellWord(word) + " ";
    command += CronShellWord(commandArguments) + " ";
    for (const std::string& word : arguments.run)
        command += CronShellWord(word) + " ";
    command += kMarker + std::to_string(number);
    if (command.size() > kMaxCronCommand)
        throw CrontabError("the job's command is " + std::to_string(command.size()) +
                           " characters long, and cron takes at most " +
                           std::to_string(kMaxCronCommand) + ": choose shorter names");
    return std::to_string(minutes % 60) + " " + std::to_string(minutes / 60) + " " + dom + " * " +
           dow + " " + command;
}

std::optional<int> CronJobNumber(const std::string& line) {
    // "<blank># trelmig job <digits>", then only blanks to the end.
    std::size_t end = line.size();
    while (end > 0 && isBlank(line[end - 1]))
        --end;
    std::size_t digits = end;
    while (digits > 0 && line[digits - 1] >= '0' && line[digits - 1] <= '9')
        --digits;
    const std::string_view marker(kMarker);
    if (digits == end || digits < marker.size() + 1 ||
        std::string_view(line).substr(digits - marker.size(), marker.size()) != marker ||
        !isBlank(line[digits - marker.size() - 1]))
        return std::nullopt;
    return ParseCronNumber(std::string_view(line).substr(digits, end - digits));
}

std::optional<CronJob> ParseCronJobLine(const std::string& line) {
    const auto number = CronJobNumber(line);
    const auto first = line.find_first_not_of(" \t");
    if (!number || first == std::string::npos || line[first] == '#')
        return std::nullopt;

    // Five time fields, then the command.
    std::array<std::string, 5> fields;
    std::size_t pos = first;
    for (auto& field : fields) {
        const auto end = line.find_first_of(" \t", pos);
        if (end == std::string::npos)
            return std::nullopt;
        field = line.substr(pos, end - pos);
        pos = line.find_first_not_of(" \t", end);
        if (pos == std::string::npos)
            return std::nullopt;
    }
    const auto minute = parseInt(fields[0]);
    const auto hour = parseInt(fields[1]);
    if (!minute || !hour || *minute > 59 || *hour > 23 || fields[3] != "*")
        return std::nullopt;
    CronJob job;
    job.number = *number;
    job.info.jobTime = static_cast<std::uint32_t>((*hour * 60 + *minute) * 60000);
    if (fields[2] != "*") {
        const auto days = parseList(fields[2], 1, 31);
        if (!days)
            return std::nullopt;
        for (int d : *days)
            job.info.daysOfMonth |= 1u << (d - 1);
    }
    if (fields[4] != "*") {
        const auto days = parseList(fields[4], 0, 7);
        if (!days)
            return std::nullopt;
        for (int d : *days)
            job.info.daysOfWeek |= static_cast<std::uint8_t>(1u << ((d + 6) % 7));
    }

    auto words = shellWords(shellTextOf(line.substr(pos)));
    bool once = false;
    if (words && words->size() >= 4 && (*words)[1] == "--remove-job" &&
        (*words)[2] == std::to_string(*number)) {
        job.keepsPasswordFile = (*words)[3] == "--keep-password-file";
        const std::size_t step = job.keepsPasswordFile ? 5 : 4;
        if (words->size() >= step && (*words)[step - 1] == "&&") {
            once = true;
            words->erase(words->begin(), words->begin() + static_cast<std::ptrdiff_t>(step));
        } else {
            job.keepsPasswordFile = false;
        }
    }
    if (fields[4] == "*" && fields[2] == "*" && !once)
        job.info.daysOfWeek = 0x7f;
    // A job without a day runs once whatever its flag; the schedule window
    // always sets it.
    const bool anyDay = job.info.daysOfWeek != 0 || job.info.daysOfMonth != 0;
    job.info.flags = once && anyDay ? 0 : kJobRunPeriodically;

    if (words && !words->empty() && words->front().starts_with("WINEPREFIX=")) {
        job.winePrefix = words->front().substr(11);
        words->erase(words->begin());
        // A second assignment was edited in by hand: read as the program, it
        // would be written back as the prefix. The job keeps no command.
        if (!words->empty() && words->front().starts_with("WINEPREFIX="))
            words.reset();
    }
    if (words)
        readProgramWords(*words, job);
    return job;
}

} // namespace trelmig
