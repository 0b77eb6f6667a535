// Every structure file of tests/data through `veldor --batch` with the cell
// contents and the three data outputs: no written bond shorter than 0.1 A,
// and the SHELX file written reads back into the same cell contents as the
// file itself (same atoms on the same sites).

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "core/data_files.h"
#include "core/elements.h"
#include "core/text.h"
#include "formats/text_file.h"
#include "formats/vld.h"
#include "generation/generate.h"
#include "main/plot.h"
#include "main/structure_loader.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

int run_batch_command(const fs::path& dir, const std::string& args, std::string& err) {
    const fs::path log = dir / "stderr.txt";
    const std::string cmd = "cd '" + dir.string() +
                            "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                            VELDOR_EXECUTABLE + "' " + args + " 2> '" + log.string() + "'";
    const int raw = std::system(cmd.c_str());
    std::ifstream in(log);
    std::stringstream ss;
    ss << in.rdbuf();
    err = ss.str();
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

struct Site {
    std::string element;
    Vec3 position;
};

// The cell contents of a file as batch mode makes them.
std::vector<Site> cell_contents(const std::string& path, const ProgramPaths& paths) {
    StructureDocument doc;
    DrawingState drawing;
    SilentMessages quiet;
    const LoadOutcome out = load_structure(structure_file_kind(path), path, doc, drawing, paths,
                                           quiet, [](const auto&) { return 0; });
    EXPECT_TRUE(out.ok) << path;
    set_generation_option(doc, GenerationMode::CellContents, quiet);
    doc.regeneration_needed = true;
    EXPECT_EQ(plot(doc, drawing, paths, quiet), PlotOutcome::Generated) << path;
    std::vector<Site> sites;
    for (const Atom& a : doc.gen)
        sites.push_back({element_key(a.element), a.position()});
    std::sort(sites.begin(), sites.end(), [](const Site& a, const Site& b) {
        return std::tie(a.element, a.position) < std::tie(b.element, b.position);
    });
    return sites;
}

// Every site of `a` has one of `b` within `tolerance` on each coordinate,
// and the counts agree.
bool same_sites(const std::vector<Site>& a, const std::vector<Site>& b, double tolerance) {
    if (a.size() != b.size()) return false;
    std::vector<bool> used(b.size(), false);
    for (const Site& s : a) {
        bool found = false;
        for (std::size_t i = 0; i < b.size() && !found; ++i) {
            if (used[i] || b[i].element != s.element) continue;
            bool close = true;
            for (int k = 0; k < 3; ++k)
                close = close && std::fabs(b[i].position[k] - s.position[k]) < tolerance;
            if (close) used[i] = found = true;
        }
        if (!found) return false;
    }
    return true;
}

// Lengths of the bond loop of a CIF written by Veldor.
std::vector<double> cif_bond_lengths(const fs::path& path) {
    SilentMessages quiet;
    const auto text = read_file_text(path.string(), quiet);
    std::vector<double> lengths;
    if (!text) return lengths;
    bool in_bonds = false;
    for (const std::string& line : split_lines(*text)) {
        const std::string t = trim(line);
        if (t == "_geom_bond_site_symmetry_2") {
            in_bonds = true;
            continue;
        }
        if (!in_bonds) continue;
        const auto words = split_tokens(t);
        if (words.size() != 5) break;
        lengths.push_back(parse_double(words[2]).value_or(-1));
    }
    return lengths;
}

class BatchOnEveryTestFile : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("veldor_batch_every_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_P(BatchOnEveryTestFile, BondsAreRealAndTheShelxFileKeepsTheCellContents) {
    const std::string input = std::string(VELDOR_TESTDATA_DIR "/") + GetParam();
    std::string err;
    ASSERT_EQ(
        run_batch_command(
            dir, "--batch '" + input + "' --generation cell --out x.vld --out x.cif --out x.shx",
            err),
        0)
        << err;

    SilentMessages quiet;
    StructureDocument written;
    DrawingState drawing;
    ASSERT_TRUE(read_vld((dir / "x.vld").string(), written, drawing, quiet));
    for (const CalcBond& b : written.bonds)
        EXPECT_GE(b.length, 0.1) << "VLD bond " << b.atom1 << "-" << b.atom2;
    for (double length : cif_bond_lengths(dir / "x.cif"))
        EXPECT_GE(length, 0.1) << "CIF bond";

    const ProgramPaths paths{VELDOR_DATA_DIR, dir.string()};
    const std::vector<Site> original = cell_contents(input, paths);
    const std::vector<Site> back = cell_contents((dir / "x.shx").string(), paths);
    EXPECT_FALSE(original.empty());
    // SHELX writes coordinates with 5 decimals.
    EXPECT_TRUE(same_sites(original, back, 2e-4))
        << original.size() << " sites in the file, " << back.size() << " read back";
}

// Without --formula, the CIF written takes the formula the CIF read gave,
// as the "Create a CIF" dialog proposes it; --formula still wins.
TEST_F(BatchOnEveryTestFile, CifFormulaDefaultsToTheOneRead) {
    const std::string input = VELDOR_TESTDATA_DIR "/pyobjcryst_paracetamol_MeOH.cif";
    std::string err;
    ASSERT_EQ(run_batch_command(dir, "--batch '" + input + "' --out a.cif", err), 0) << err;
    ASSERT_EQ(
        run_batch_command(dir, "--batch '" + input + "' --formula 'C8 H11 N O3' --out b.cif", err),
        0)
        << err;
    SilentMessages quiet;
    const auto a = read_file_text((dir / "a.cif").string(), quiet);
    const auto b = read_file_text((dir / "b.cif").string(), quiet);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a->find("_chemical_formula_sum   'C8 H9 N O2, H2 O'\n"), std::string::npos) << *a;
    EXPECT_NE(b->find("_chemical_formula_sum   'C8 H11 N O3'\n"), std::string::npos) << *b;
}

std::vector<std::string> structure_files() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(VELDOR_TESTDATA_DIR))
        if (structure_file_kind(e.path().string()) != StructureFileKind::Unknown)
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(TestData, BatchOnEveryTestFile, ::testing::ValuesIn(structure_files()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
}  // namespace veldor
