#pragma once
// Structures the analysis tests share: a small hand-made cubic structure
// with known images, and real files read and generated as Plot would.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/document.h"
#include "core/messages.h"
#include "core/metric.h"
#include "formats/cif_read.h"
#include "generation/bonds.h"
#include "generation/generate.h"
#include "symmetry/operators.h"
#include "tests/work_folder.h"

namespace veldor::testing {

inline std::string testdata(const std::string& name) {
    return std::string(VELDOR_TESTDATA_DIR) + "/" + name;
}

inline Atom atom(const std::string& element, const std::string& label, Vec3 x) {
    Atom a;
    a.element = element;
    a.label = label;
    a.name = make_atom_name(element, label);
    a.set_position(x);
    a.iso = 1;
    a.adp[0] = 0.02;
    return a;
}

inline EquivalentPosition position(const std::string& text) {
    EquivalentPosition p;
    p.op = *decode_operator(text);
    p.text = text;
    return p;
}

// A cubic cell of 10 A with X,Y,Z and -X,-Y,-Z, and an asymmetric unit of
// the given atoms; no generation yet.
inline StructureDocument cubic(std::vector<Atom> asym, double a = 10) {
    StructureDocument doc;
    doc.cell_parameters = {a, a, a, 90, 90, 90};
    SilentMessages quiet;
    compute_metric(doc, quiet);
    doc.crystal_system = "CUBI";
    doc.positions = {position("X,Y,Z"), position("-X,-Y,-Z")};
    doc.asym = std::move(asym);
    return doc;
}

// A real CIF read, its bond sorts built and its atoms generated (every
// position selected, `mode`), as Plot does.
inline StructureDocument plotted_cif(const std::string& name, GenerationMode mode,
                                     const std::string& work_dir) {
    StructureDocument doc;
    SilentMessages quiet;
    const ProgramPaths paths{VELDOR_DATA_DIR, work_dir};
    const CifLoadResult r = load_cif(testdata(name), doc, paths, quiet,
                                     [](const std::vector<CifBlockInfo>&) { return 0; });
    EXPECT_EQ(r.status, 0) << name;
    build_bond_sorts(doc);
    set_generation_option(doc, mode, quiet);
    generate(doc, quiet);
    return doc;
}

}  // namespace veldor::testing
