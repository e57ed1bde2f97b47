// Writes files into one archive through ZipArchive, as a backup does; used by
// bench/backup-bench to time our writer against zip and 7z.
//
//   zip_bench [--password PW] [--list FILE] TARGET [FILE...]
//
// --list names a file holding one path per line (for long file lists).
// Exits 0 when the archive was written; otherwise prints why and exits 1.

#include "backup/ZipArchive.h"

#include <fstream>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    std::string password, target;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--password" && i + 1 < argc) {
            password = argv[++i];
        } else if (arg == "--list" && i + 1 < argc) {
            std::ifstream list(argv[++i]);
            for (std::string line; std::getline(list, line);)
                if (!line.empty())
                    files.push_back(line);
        } else if (target.empty()) {
            target = arg;
        } else {
            files.push_back(arg);
        }
    }
    if (target.empty()) {
        std::cerr << "usage: zip_bench [--password PW] [--list FILE] TARGET [FILE...]\n";
        return 2;
    }
    trelmig::AnsiCodec ansi(1252);
    trelmig::ZipArchive zip(ansi);
    zip.NewZip(target);
    for (const auto& file : files)
        if (!zip.AddFile(file)) {
            std::cerr << "zip_bench: " << zip.LastError() << "\n";
            return 1;
        }
    zip.SetEncryption(!password.empty());
    zip.SetPassword(password);
    if (!zip.WriteZip()) {
        std::cerr << "zip_bench: " << zip.LastError() << "\n";
        return 1;
    }
    return 0;
}
