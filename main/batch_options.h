#pragma once
// Batch mode's command line: load one structure file, shape the generation,
// and write one or more outputs chosen by their extensions, without a display.
//
//   veldor --batch FILE [options] --out OUT [--out OUT ...]

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/document.h"

namespace veldor {

struct BatchOptions {
    std::string input;
    std::vector<std::string> outputs;

    std::optional<GenerationMode> generation;
    std::optional<Vec3> box_edges;        // --box a,b,c (fractional edges)
    std::optional<Vec3> centre;           // --centre x,y,z (shared by box and sphere)
    std::optional<double> sphere_radius;  // --sphere r (angstrom)
    std::optional<bool> cut;              // --cut yes|no
    bool select_all = false;              // --select-all
    std::string block;                    // --block NAME (CIF data block)
    std::optional<bool> include_bonds;    // --include-bonds yes|no (CIF geometry loops)
    std::string formula;                  // --formula TEXT (CIF)
    std::optional<int> z;                 // --z N (CIF)
    bool yes = false;                     // --yes: answer Yes to every question
    std::vector<std::string> reports;     // --report KIND (analysis reports, repeatable)

    // Pictures.
    std::optional<int> probability;  // 10..100 in steps of 10
    bool iso = false;
    std::string view;  // "best", "initial" or "direction:u,v,w"
    bool cell = false, planes = false, axes = false, gradation = false, bw = false;
    std::string labels;  // "none", "centre" or "off-centre"
    std::optional<int> size;
    std::optional<double> zoom;
    bool bond_labels = false;                // --bond-labels
    bool double_bonds = false;               // --double-bonds
    bool position_code = false;              // --position-code
    std::vector<std::string> mask_elements;  // --mask-elements H,F
    std::optional<int> bond_width;           // --bond-width N (hundredths of an angstrom)
    std::optional<double> perspective;       // --perspective D (degrees)
    // --colour NAME=RRGGBB: an element, "background", "bonds" or "scale-bar".
    std::vector<std::pair<std::string, Colour>> colours;

    // The printed page (a PDF file) and the pen of pages and metafiles.
    std::string print;  // --print PAGE.pdf
    bool stereo = false;
    std::optional<int> dpi;
    std::optional<int> pen;
};

struct BatchParse {
    std::optional<BatchOptions> options;
    std::string error;  // why the command line was refused
};

// Parses the arguments after the program name; args[0] must be "--batch".
BatchParse parse_batch_options(const std::vector<std::string>& args);

// True for the options that take a value (--out OUT, --view best, ...).
bool is_valued_option(const std::string& arg);

std::string batch_help_text();

}  // namespace veldor
