#pragma once

#include <string>
#include <string_view>

namespace trelmig {

// The prefix's ANSI code page (HKLM\System\CurrentControlSet\Control\Nls\CodePage,
// value ACP; 1252 by default) <-> UTF-8, through iconv. Characters the code page
// lacks become "?", as Windows' own conversion does; conversion never throws.
class AnsiCodec {
public:
    // Throws std::invalid_argument when iconv knows no such code page.
    explicit AnsiCodec(unsigned codePage = 1252);

    unsigned codePage() const { return codePage_; }
    std::string toUtf8(std::string_view ansi) const;
    std::string fromUtf8(std::string_view utf8) const;

    // True when iconv can convert the code page both ways.
    static bool isSupported(unsigned codePage);
    // The code page named by the registry's ACP text ("1252"); 1252 when the
    // text is not a number or names a code page iconv cannot convert.
    static unsigned codePageFromAcp(const std::string& acpValue);

private:
    unsigned codePage_;
};

} // namespace trelmig
