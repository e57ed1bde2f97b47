#pragma once

#include <string>
#include <vector>

namespace trelmig {

// The folders beside an HTML signature that it links to: the first part of
// every relative link (src=, href=) that goes into a folder, with its
// percent escapes undone, each once. Word keeps a
// signature's pictures there ("Name_files", "Name-Dateien", ...). The names
// are the page's bytes: its code page is the caller's to apply.
std::vector<std::string> LinkedFolders(const std::string& html);

} // namespace trelmig
