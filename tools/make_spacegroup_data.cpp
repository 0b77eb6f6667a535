// Regenerates the space-group data files:
//   veldor_make_spacegroup_data <output folder>
// The build target "spacegroup_data" runs it into the source tree's data/.

#include <iostream>

#include "tools/spacegroup_data.hpp"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <output folder>\n";
        return 2;
    }
    std::string error;
    if (!veldor::spacegroup_data::write_spacegroup_files(argv[1], error)) {
        std::cerr << argv[0] << ": " << error << "\n";
        return 1;
    }
    return 0;
}
