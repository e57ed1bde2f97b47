#include "shell/CommandLine.h"

int main(int argc, char** argv) {
    return trelmig::runCommandLine(argc, argv);
}
