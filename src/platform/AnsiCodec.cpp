#include "platform/AnsiCodec.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace trelmig {

namespace {

std::string iconvName(unsigned codePage) {
    switch (codePage) {
    case 65001:
        return "UTF-8";
    case 20127:
        return "ASCII";
    case 20866:
        return "KOI8-R";
    case 21866:
        return "KOI8-U";
    case 51932:
        return "EUC-JP";
    case 54936:
        return "GB18030";
    case 10000:
        return "MACINTOSH";
    default:
        break;
    }
    if (codePage >= 28591 && codePage <= 28599)
        return "ISO-8859-" + std::to_string(codePage - 28590);
    return "CP" + std::to_string(codePage);
}

// Owns one iconv descriptor.
class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // iconv_open's failure value is (iconv_t)-1.
    bool ok() const {
        return cd_ != reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)
    }

    // Converts everything; each input sequence the target cannot take (or the
    // source does not define) becomes one "?". skipLength tells how many input
    // bytes such a sequence spans.
    template <typename SkipLength>
    std::string convert(std::string_view input, SkipLength skipLength) const {
        std::string out;
        out.resize(input.size() * 2 + 16);
        std::size_t used = 0;
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        while (inLeft > 0) {
            char* outPtr = out.data() + used;
            std::size_t outLeft = out.size() - used;
            std::size_t r = iconv(cd_, &in, &inLeft, &outPtr, &outLeft);
            used = out.size() - outLeft;
            if (r != static_cast<std::size_t>(-1))
                continue;
            if (errno == E2BIG) {
                out.resize(out.size() * 2 + 16);
                continue;
            }
            // EILSEQ: a character that cannot be converted; EINVAL: an
            // incomplete sequence at the end of the input.
            std::size_t skip = errno == EINVAL ? inLeft : skipLength(in, inLeft);
            if (skip == 0 || skip > inLeft)
                skip = 1;
            in += skip;
            inLeft -= skip;
            appendQuestionMark(out, used);
        }
        flush(out, used);
        out.resize(used);
        return out;
    }

private:
    void appendQuestionMark(std::string& out, std::size_t& used) const {
        // "?" is the same byte in UTF-8 and every ANSI code page; converting it
        // keeps stateful encodings in a valid shift state.
        char mark = '?';
        char* in = &mark;
        std::size_t inLeft = 1;
        char buffer[16];
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(cd_, &in, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
            outPtr == buffer) {
            buffer[0] = '?';
            outPtr = buffer + 1;
        }
        std::size_t n = static_cast<std::size_t>(outPtr - buffer);
        if (out.size() < used + n)
            out.resize(used + n + 16);
        out.replace(used, n, buffer, n);
        used += n;
    }

    void flush(std::string& out, std::size_t& used) const {
        char buffer[16];
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
        std::size_t n = static_cast<std::size_t>(outPtr - buffer);
        if (out.size() < used + n)
            out.resize(used + n);
        out.replace(used, n, buffer, n);
        used += n;
    }

    iconv_t cd_;
};

// Length of the UTF-8 sequence starting at p; 1 for a byte that starts none.
std::size_t utf8SequenceLength(const char* p, std::size_t left) {
    unsigned char c = static_cast<unsigned char>(p[0]);
    std::size_t len = c < 0x80             ? 1
                      : (c & 0xE0) == 0xC0 ? 2
                      : (c & 0xF0) == 0xE0 ? 3
                      : (c & 0xF8) == 0xF0 ? 4
                                           : 1;
    if (len > left)
        return 1;
    for (std::size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(p[k]) & 0xC0) != 0x80)
            return 1;
    return len;
}

} // namespace

AnsiCodec::AnsiCodec(unsigned codePage) : codePage_(codePage) {
    if (!isSupported(codePage))
        throw std::invalid_argument("code page " + std::to_string(codePage) + " is not supported");
}

std::string AnsiCodec::toUtf8(std::string_view ansi) const {
    Converter converter("UTF-8", iconvName(codePage_));
    if (!converter.ok())
        return std::string(ansi);
    return converter.convert(ansi, [](const char*, std::size_t) { return std::size_t{1}; });
}

std::string AnsiCodec::fromUtf8(std::string_view utf8) const {
    Converter converter(iconvName(codePage_), "UTF-8");
    if (!converter.ok())
        return std::string(utf8);
    return converter.convert(utf8, utf8SequenceLength);
}

bool AnsiCodec::isSupported(unsigned codePage) {
    std::string name = iconvName(codePage);
    return Converter("UTF-8", name).ok() && Converter(name, "UTF-8").ok();
}

unsigned AnsiCodec::codePageFromAcp(const std::string& acpValue) {
    std::size_t begin = acpValue.find_first_not_of(" \t");
    std::size_t end = acpValue.find_last_not_of(" \t");
    if (begin == std::string::npos)
        return 1252;
    std::string digits = acpValue.substr(begin, end - begin + 1);
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos)
        return 1252;
    unsigned codePage = static_cast<unsigned>(std::stoul(digits));
    return codePage != 0 && isSupported(codePage) ? codePage : 1252;
}

} // namespace trelmig
