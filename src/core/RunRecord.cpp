#include "core/RunRecord.h"

#include <charconv>
#include <cstdio>
#include <map>
#include <variant>

namespace trelmig {

namespace {

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string list(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const auto& item : items)
        out += (out.size() > 1 ? "," : "") + quoted(item);
    return out + "]";
}

// The values a run record holds: text, whole numbers, null, lists of text.
using Value = std::variant<std::monostate, std::string, long long, std::vector<std::string>>;

class FlatObjectReader {
public:
    explicit FlatObjectReader(const std::string& text) : s_(text) {}

    std::optional<std::map<std::string, Value>> Read() {
        std::map<std::string, Value> fields;
        if (!take('{'))
            return std::nullopt;
        if (take('}'))
            return fields;
        do {
            auto key = text();
            if (!key || !take(':'))
                return std::nullopt;
            auto value = this->value();
            if (!value)
                return std::nullopt;
            fields[*key] = std::move(*value);
        } while (take(','));
        if (!take('}'))
            return std::nullopt;
        skipBlanks();
        return i_ == s_.size() ? std::optional(fields) : std::nullopt;
    }

private:
    void skipBlanks() {
        while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t'))
            ++i_;
    }
    bool take(char c) {
        skipBlanks();
        if (i_ < s_.size() && s_[i_] == c)
            return ++i_, true;
        return false;
    }
    std::optional<std::string> text() {
        if (!take('"'))
            return std::nullopt;
        std::string out;
        while (i_ < s_.size() && s_[i_] != '"') {
            char c = s_[i_++];
            if (c == '\\') {
                if (i_ >= s_.size())
                    return std::nullopt;
                const char e = s_[i_++];
                if (e == 'u') {
                    unsigned code = 0;
                    if (i_ + 4 > s_.size() ||
                        std::from_chars(s_.data() + i_, s_.data() + i_ + 4, code, 16).ptr !=
                            s_.data() + i_ + 4 ||
                        code > 0x7f)
                        return std::nullopt; // only the control characters written above
                    i_ += 4;
                    c = static_cast<char>(code);
                } else {
                    c = e == 'n' ? '\n' : e == 'r' ? '\r' : e == 't' ? '\t' : e;
                }
            }
            out += c;
        }
        return take('"') ? std::optional(out) : std::nullopt;
    }
    std::optional<Value> value() {
        skipBlanks();
        if (i_ < s_.size() && s_[i_] == '"')
            return text().transform([](std::string t) { return Value(std::move(t)); });
        if (s_.compare(i_, 4, "null") == 0)
            return i_ += 4, Value();
        if (take('[')) {
            std::vector<std::string> items;
            if (take(']'))
                return Value(items);
            do {
                auto item = text();
                if (!item)
                    return std::nullopt;
                items.push_back(std::move(*item));
            } while (take(','));
            return take(']') ? std::optional(Value(items)) : std::nullopt;
        }
        long long number = 0;
        const auto [end, ec] = std::from_chars(s_.data() + i_, s_.data() + s_.size(), number);
        if (ec != std::errc())
            return std::nullopt;
        i_ = static_cast<std::size_t>(end - s_.data());
        return Value(number);
    }

    const std::string& s_;
    std::size_t i_ = 0;
};

template <class T> const T* field(const std::map<std::string, Value>& fields, const char* key) {
    const auto it = fields.find(key);
    return it == fields.end() ? nullptr : std::get_if<T>(&it->second);
}

} // namespace

MessageId RunResultMessage(int exitStatus) {
    switch (exitStatus) {
    case 0:
        return MessageId::RunResultSucceeded;
    case 2:
        return MessageId::RunResultRefused;
    case 3:
        return MessageId::RunResultPartlyFailed;
    default:
        return MessageId::RunResultFailed;
    }
}

std::string RunResultText(int exitStatus) {
    return MessageText(RunResultMessage(exitStatus));
}

std::string RunRecordJson(const RunRecord& r) {
    return "{\"job\":" + (r.job ? std::to_string(*r.job) : std::string("null")) +
           ",\"prefix\":" + quoted(r.prefix) + ",\"profile\":" + quoted(r.profile) +
           ",\"start\":" + quoted(r.start) + ",\"end\":" + quoted(r.end) +
           ",\"exit\":" + std::to_string(r.exitStatus) + ",\"archive\":" + quoted(r.archive) +
           ",\"bytes\":" + std::to_string(r.bytes) + ",\"done\":" + list(r.done) +
           ",\"failed\":" + list(r.failed) + ",\"not_used\":" + list(r.notUsed) +
           ",\"message\":" + quoted(r.message) + "}";
}

std::optional<RunRecord> ParseRunRecord(const std::string& line) {
    const auto fields = FlatObjectReader(line).Read();
    if (!fields)
        return std::nullopt;
    const auto* exit = field<long long>(*fields, "exit");
    const auto* start = field<std::string>(*fields, "start");
    if (!exit || !start)
        return std::nullopt;
    RunRecord r;
    if (const auto* job = field<long long>(*fields, "job"))
        r.job = static_cast<int>(*job);
    r.exitStatus = static_cast<int>(*exit);
    r.start = *start;
    const std::pair<const char*, std::string*> texts[] = {{"prefix", &r.prefix},
                                                          {"profile", &r.profile},
                                                          {"end", &r.end},
                                                          {"archive", &r.archive},
                                                          {"message", &r.message}};
    for (const auto& [key, target] : texts)
        if (const auto* t = field<std::string>(*fields, key))
            *target = *t;
    if (const auto* bytes = field<long long>(*fields, "bytes"); bytes && *bytes >= 0)
        r.bytes = static_cast<std::uint64_t>(*bytes);
    const std::pair<const char*, std::vector<std::string>*> lists[] = {
        {"done", &r.done}, {"failed", &r.failed}, {"not_used", &r.notUsed}};
    for (const auto& [key, target] : lists)
        if (const auto* l = field<std::vector<std::string>>(*fields, key))
            *target = *l;
    return r;
}

} // namespace trelmig
