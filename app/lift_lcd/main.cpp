#include "lift_lcd/cli.h"

#include <iostream>

int main(int argc, char** argv) {
    Lift::Cli::Streams io{std::cout, std::cerr};
    return Lift::Cli::Run(std::vector<std::string>(argv, argv + argc), io);
}
