// Reads a registry file in Wine's text form, writes it back, and prints the
// fastest of ROUNDS parse-and-write times in milliseconds. Fails when the text
// written differs from the text read: a fast wrong answer is no figure.
//
//   registry_format_bench FILE [ROUNDS]
#include "platform/WineRegistryFormat.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

using namespace trelmig;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: registry_format_bench FILE [ROUNDS]\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "registry_format_bench: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream read;
    read << in.rdbuf();
    const std::string text = read.str();
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        const std::string again = formatWineRegistry(parseWineRegistry(text, argv[1]));
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        if (again != text) {
            std::cerr << "registry_format_bench: " << argv[1] << " did not round-trip\n";
            return 1;
        }
        if (round == 0 || took.count() < best)
            best = took.count();
    }
    std::cout << best << "\n";
    return 0;
}
