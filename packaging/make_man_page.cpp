// Writes the manual page of a program from its --help text.
//
//   veldor --help | veldor_make_man_page PROGRAM VERSION [DATE] > PROGRAM.1

#include <iostream>
#include <iterator>
#include <string>

#include "packaging/man_page.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: veldor_make_man_page PROGRAM VERSION [DATE] < HELP > PAGE\n";
        return 2;
    }
    const std::string help((std::istreambuf_iterator<char>(std::cin)),
                           std::istreambuf_iterator<char>());
    if (help.empty()) {
        std::cerr << "veldor_make_man_page: no help text on standard input\n";
        return 1;
    }
    const veldor::ManPageTitle title{argv[1], argv[2], argc > 3 ? argv[3] : ""};
    std::cout << veldor::man_page_from_help(help, title);
    return std::cout ? 0 : 1;
}
