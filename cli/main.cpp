#include "Cli.h"

#include <clocale>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // The test files are named in the user's time format, as the window names them.
    std::setlocale(LC_ALL, "");
    return runCli(std::vector<std::string>(argv + 1, argv + argc));
}
