// The coordination calculation: the exact line layout the CIF export reads
// by column, the candidate rules (self, duplicates, one cell of
// translations), the pair table, the 59-hit limit, and real structures
// whose every distance and angle comes back from its operator and site
// code, with the published geometry within its uncertainty.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "analysis/coordination.h"
#include "core/text.h"
#include "formats/cif_write.h"
#include "tests/analysis/fixtures.h"

namespace veldor {
namespace {

using testing::atom;
using testing::cubic;

// Fe1 on the inversion centre at the origin, O1 2 A away along a.
StructureDocument iron_oxide() {
    StructureDocument doc = cubic({atom("FE", "1", {0, 0, 0}), atom("O", "1", {0.2, 0, 0})});
    doc.element_sorts = {{0, 1.2, "FE"}, {0, 0.7, "O"}};
    doc.bond_sorts = {{"FE", "FE", 10.5}, {"FE", "O", 2.5}, {"O", "O", 0}};
    return doc;
}

std::vector<std::string> calc(const StructureDocument& doc, bool angles, Messages& msg) {
    std::vector<bool> central(doc.asym.size(), false);
    central[0] = true;
    return calculate_coordination(doc, central, pair_rows(doc), angles, msg).lines;
}

TEST(Coordination, LinesHaveTheColumnsTheCifReads) {
    StructureDocument doc = iron_oxide();
    RecordingMessages msg;
    // The atom itself is not listed, its six translated copies are; the
    // inversion gives the same position again, listed once with code 1.
    const std::vector<std::string> expected = {
        " ",
        "Fe1   Fe1  10.000 (X,Y,Z                   ) (1_455)    -1.0000  0.0000  0.0000",
        "Fe1   Fe1  10.000 (X,Y,Z                   ) (1_545)     0.0000 -1.0000  0.0000",
        "Fe1   Fe1  10.000 (X,Y,Z                   ) (1_554)     0.0000  0.0000 -1.0000",
        "Fe1   Fe1  10.000 (X,Y,Z                   ) (1_556)     0.0000  0.0000  1.0000",
        "Fe1   Fe1  10.000 (X,Y,Z                   ) (1_565)     0.0000  1.0000  0.0000",
        "Fe1   Fe1  10.000 (X,Y,Z                   ) (1_655)     1.0000  0.0000  0.0000",
        " ",
        "Fe1   O1    2.000 (X,Y,Z                   ) (1_555)     0.2000  0.0000  0.0000",
        "Fe1   O1    2.000 (-X,-Y,-Z                ) (2_555)    -0.2000  0.0000  0.0000"};
    EXPECT_EQ(calc(doc, false, msg), expected);
    EXPECT_TRUE(msg.log.empty());

    doc.bond_sorts[0].max_distance = 0.0005;  // below 0.001: not searched
    const std::vector<std::string> angles = calc(doc, true, msg);
    ASSERT_EQ(angles.size(), 5u);
    EXPECT_EQ(angles[4], " Angle: O1    Fe1   O1     180.00   (1_555)    (1_555)  (2_555)  ");
    // One hit: no angle section.
    doc.positions.pop_back();
    EXPECT_EQ(calc(doc, true, msg).size(), 2u);
}

TEST(Coordination, OnlyOneCellOfTranslationsAroundTheReducedCandidate) {
    // O1 in the cell centre: its 27 copies within one translation are found
    // however long the distance, nothing farther.
    StructureDocument doc =
        cubic({atom("FE", "1", {0.1, 0.1, 0.1}), atom("O", "1", {0.5, 0.5, 0.5})});
    doc.element_sorts = {{0, 1.2, "FE"}, {0, 0.7, "O"}};
    doc.bond_sorts = {{"O", "FE", 1000}};  // either order names the pair
    RecordingMessages msg;
    EXPECT_EQ(calc(doc, false, msg).size(), 28u);
}

TEST(Coordination, PairTableAndHitLimit) {
    StructureDocument doc = iron_oxide();
    std::vector<PairRow> rows = pair_rows(doc);
    RecordingMessages msg;
    read_pair_distances(rows, {"0", "x", "4"}, msg);
    EXPECT_EQ(msg.warnings, (std::vector<std::string>{"Read error at line 2"}));
    EXPECT_EQ(rows[1].max_distance, 2.5);  // kept
    EXPECT_EQ(rows[2].max_distance, 0);    // not read
    EXPECT_EQ(doc.bond_sorts[0].max_distance, 10.5);
    // Two rows for one pair search twice.
    rows.push_back(rows[1]);
    EXPECT_EQ(calculate_coordination(doc, {true, false}, rows, false, msg).lines.size(), 6u);

    doc.asym = {atom("FE", "1", {0, 0, 0}), atom("O", "1", {0.5, 0, 0}),
                atom("O", "2", {0, 0.5, 0}), atom("O", "3", {0, 0, 0.5})};
    doc.positions.pop_back();
    doc.bond_sorts = {{"FE", "O", 100}};
    msg.warnings.clear();
    EXPECT_EQ(calc(doc, false, msg).size(), 1u + kMaxCoordinationHits);  // of 81
    EXPECT_EQ(msg.warnings,
              (std::vector<std::string>{
                  "More than 59 neighbours around Fe1: only the first 59 are listed"}));
}

// ---- Real structures -------------------------------------------------------

const Atom& asym_atom(const StructureDocument& doc, const std::string& label) {
    for (const Atom& a : doc.asym)
        if (same_atom_name(a.name, label)) return a;
    ADD_FAILURE() << "no atom " << label;
    return doc.asym.front();
}

// The image of an atom of the asymmetric unit by "n_klm" (or "(n_klm)").
Vec3 image(const StructureDocument& doc, const std::string& label, std::string code) {
    code.erase(
        std::remove_if(code.begin(), code.end(), [](char c) { return c == '(' || c == ')'; }),
        code.end());
    const std::size_t bar = code.find('_');
    const int n = std::stoi(code.substr(0, bar));
    Vec3 p =
        doc.positions[static_cast<std::size_t>(n - 1)].op.apply(asym_atom(doc, label).position());
    for (std::size_t k = 0; k < 3; ++k)
        p[k] += code[bar + 1 + k] - '5';
    return p;
}

double angle_at(const StructureDocument& doc, const Vec3& a, const Vec3& centre, const Vec3& b) {
    const Vec3 u = frac_to_cart({a[0] - centre[0], a[1] - centre[1], a[2] - centre[2]}, doc.metric);
    const Vec3 v = frac_to_cart({b[0] - centre[0], b[1] - centre[1], b[2] - centre[2]}, doc.metric);
    return std::acos(std::clamp(dot(u, v) / (length(u) * length(v)), -1.0, 1.0)) * 180 / M_PI;
}

// A hit line: centre, neighbour, distance, code, coordinates.
struct Hit {
    std::string centre, label, code;
    double d;
    Vec3 x;
};
Hit parse_hit(const std::string& l) {
    const std::size_t c = l.find(") (") + 3;
    return {trim(l.substr(0, 6)),
            trim(l.substr(6, 5)),
            l.substr(c, l.find(')', c) - c),
            std::stod(l.substr(11, 6)),
            {std::stod(l.substr(55, 8)), std::stod(l.substr(63, 8)), std::stod(l.substr(71, 8))}};
}

CoordinationResult all_central(const StructureDocument& doc, std::vector<PairRow> pairs,
                               Messages& msg) {
    return calculate_coordination(doc, std::vector<bool>(doc.asym.size(), true), pairs, true, msg);
}

TEST(CoordinationRealFiles, EveryLineComesBackFromItsCode) {
    testing::WorkFolder work;
    for (const char* f :
         {"gemmi_2013551_MgI2.cif", "pyobjcryst_BaTiO3.cif", "pyobjcryst_paracetamol_MeOH.cif"}) {
        SCOPED_TRACE(f);
        const StructureDocument doc = testing::plotted_cif(f, GenerationMode::None, work.str());
        RecordingMessages msg;
        int checked = 0;
        for (const std::string& l : all_central(doc, pair_rows(doc), msg).lines) {
            const std::vector<std::string> w = split_tokens(l);
            if (w.empty()) continue;
            ++checked;
            if (w[0] == "Angle:") {
                ASSERT_EQ(w.size(), 8u) << l;
                EXPECT_EQ(w[6], "(1_555)");
                EXPECT_NEAR(angle_at(doc, image(doc, w[1], w[5]), asym_atom(doc, w[2]).position(),
                                     image(doc, w[3], w[7])),
                            std::stod(w[4]), 0.0051)
                    << l;
                continue;
            }
            const Hit h = parse_hit(l);
            const Vec3 p = image(doc, h.label, h.code);
            EXPECT_NEAR(distance(asym_atom(doc, h.centre).position(), p, doc.metric), h.d, 0.00051)
                << l;
            for (std::size_t k = 0; k < 3; ++k)
                EXPECT_NEAR(p[k], h.x[k], 0.00006) << l;
        }
        EXPECT_GT(checked, 20);
        EXPECT_TRUE(msg.warnings.empty());
    }
}

// Distances recomputed from the codes of the hits of `centre` with `label`.
std::vector<std::pair<std::string, double>> hits_of(const StructureDocument& doc,
                                                    const std::vector<std::string>& lines,
                                                    const std::string& centre,
                                                    const std::string& label) {
    std::vector<std::pair<std::string, double>> out;
    for (const std::string& l : lines) {
        const std::vector<std::string> w = split_tokens(l);
        if (w.size() < 3 || w[0] != centre || w[1] != label) continue;
        const Hit h = parse_hit(l);
        out.push_back({h.code, distance(asym_atom(doc, centre).position(),
                                        image(doc, label, h.code), doc.metric)});
    }
    return out;
}

TEST(CoordinationRealFiles, PublishedGeometryWithinItsUncertainty) {
    testing::WorkFolder work;
    RecordingMessages msg;
    // MgI2: Mg-I 2.9183(5) six times; Mg-I-Mg 90.739(17) at I.
    StructureDocument doc =
        testing::plotted_cif("gemmi_2013551_MgI2.cif", GenerationMode::None, work.str());
    CoordinationResult r = all_central(doc, {{"MG", "I", 3.0}}, msg);
    const auto mg_i = hits_of(doc, r.lines, "Mg", "I");
    EXPECT_EQ(mg_i.size(), 6u);
    for (const auto& [code, d] : mg_i)
        EXPECT_NEAR(d, 2.9183, 0.0005) << code;
    EXPECT_EQ(std::count_if(r.lines.begin(), r.lines.end(),
                            [](const std::string& l) {
                                return l.rfind(" Angle: Mg    I     Mg", 0) == 0 &&
                                       std::abs(std::stod(l.substr(26, 7)) - 90.739) <= 0.022;
                            }),
              3);

    // Paracetamol: the donor-acceptor distances of the hydrogen bonds, codes included.
    doc = testing::plotted_cif("pyobjcryst_paracetamol_MeOH.cif", GenerationMode::None, work.str());
    r = all_central(doc, {{"O", "N", 3.0}, {"O", "O", 2.9}}, msg);
    auto has = [&](const char* centre, const char* label, const char* code, double d, double su) {
        for (const auto& [c, v] : hits_of(doc, r.lines, centre, label))
            if (c == code) return std::abs(v - d) <= su;
        return false;
    };
    EXPECT_TRUE(has("N7", "O4", "2_655", 2.918, 0.003));
    EXPECT_TRUE(has("O4", "O1W", "2_645", 2.673, 0.002));
    // The file's fourth operator, x-1/2,-y-1/2,z-1/2, is read with its
    // translation in [0, 1): the published 4_676 and 4_576 are 4_565 and 4_465.
    EXPECT_TRUE(has("O1W", "O8", "4_565", 2.780, 0.003));
    EXPECT_TRUE(has("O1W", "O8", "4_465", 2.866, 0.003));
    EXPECT_TRUE(msg.warnings.empty());
}

// The CIF made from a coordination result keeps the codes: every bond and
// angle row gives its value back from the codes it carries.
TEST(CoordinationRealFiles, ExportedCifKeepsTheCodes) {
    testing::WorkFolder work;
    StructureDocument doc =
        testing::plotted_cif("pyobjcryst_paracetamol_MeOH.cif", GenerationMode::None, work.str());
    RecordingMessages msg;
    CifWriteOptions options;
    options.coordination_result = all_central(doc, pair_rows(doc), msg).lines;
    options.coordination_with_angles = true;
    const auto listed = [&](bool angle) {
        return std::count_if(options.coordination_result.begin(), options.coordination_result.end(),
                             [&](const std::string& l) {
                                 return !trim(l).empty() && (l.find("Angle") == 1) == angle;
                             });
    };
    const std::string text = cif_text(doc, options, VELDOR_DATA_DIR, msg);
    EXPECT_TRUE(scan_cif_text(text, "coordination.cif", msg).ok);
    std::istringstream in(text);
    int bonds = 0, angles = 0;
    for (std::string l; std::getline(in, l);) {
        const std::vector<std::string> w = split_tokens(l);
        if (w.size() == 5 && w[3] == "1_555") {
            EXPECT_NEAR(
                distance(asym_atom(doc, w[0]).position(), image(doc, w[1], w[4]), doc.metric),
                std::stod(w[2]), 0.00051)
                << l;
            ++bonds;
        } else if (w.size() == 7 && w[5] == "1_555") {
            EXPECT_NEAR(angle_at(doc, image(doc, w[0], w[4]), asym_atom(doc, w[1]).position(),
                                 image(doc, w[2], w[6])),
                        std::stod(w[3]), 0.0051)
                << l;
            ++angles;
        }
    }
    EXPECT_EQ(bonds, listed(false));
    EXPECT_EQ(angles, listed(true));
    EXPECT_GT(angles, 5);
    EXPECT_TRUE(msg.warnings.empty());
}

}  // namespace
}  // namespace veldor
