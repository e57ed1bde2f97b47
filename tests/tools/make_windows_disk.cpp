// Writes the Windows PC that a Wine prefix stands for, as its disk holds it:
//   make_windows_disk PREFIX USER OUT [--dirty]
// OUT/Users/USER (the user's folders and NTUSER.DAT) and
// OUT/Windows/System32/config (SOFTWARE, SYSTEM). --dirty leaves NTUSER.DAT
// as Windows leaves it after a shutdown with Fast Startup.
#include "roundtrip/WindowsDisk.h"
#include "tools/HiveWriter.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::cerr << "usage: make_windows_disk PREFIX USER OUT [--dirty]\n";
        return 2;
    }
    try {
        const auto disk = roundtrip::writeWindowsDisk(argv[1], argv[2], argv[3]);
        if (argc > 4 && std::string(argv[4]) == "--dirty")
            hivefixture::MakeDirty(disk.userFolder / "NTUSER.DAT");
        std::cout << disk.userFolder.string() << '\n';
    } catch (const std::exception& e) {
        std::cerr << "make_windows_disk: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
