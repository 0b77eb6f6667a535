// The space-group data files: they are what the generator writes today, and
// every group they describe comes out of Veldor's readers (catalogue lookup,
// interpreter and "scfs.dat", centring and inversion) as exactly gemmi's
// group of that setting.

#include <gtest/gtest.h>
#include <unistd.h>
#include <gemmi/symmetry.hpp>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "core/data_files.h"
#include "core/text.h"
#include "symmetry/catalogue.h"
#include "symmetry/interpreter.h"
#include "symmetry/operators.h"
#include "tools/spacegroup_data.hpp"

namespace veldor {
namespace {

namespace fs = std::filesystem;

const fs::path kData = VELDOR_DATA_DIR;

std::string slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

std::vector<std::string> lines_of(const fs::path& p) {
    std::vector<std::string> lines;
    std::istringstream s(slurp(p));
    std::string line;
    while (std::getline(s, line))
        lines.push_back(line);
    return lines;
}

struct TempDir {
    fs::path path;
    explicit TempDir(const std::string& tag) {
        path =
            fs::temp_directory_path() / ("veldor_sgdata_" + tag + "_" + std::to_string(::getpid()));
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

// An operator as integers: rotation and translation in 24ths, the
// translation brought into [0, 24).
using OpKey = std::array<int, 12>;

OpKey key_of(const SymOp& op) {
    OpKey k{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const double r = op.m[i][j];
            EXPECT_NEAR(r, std::round(r), 1e-9);
            k[static_cast<std::size_t>(4 * i + j)] = static_cast<int>(std::lround(r));
        }
        const double t = op.m[i][3] * 24;
        EXPECT_NEAR(t, std::round(t), 1e-3) << "translation " << op.m[i][3];
        k[static_cast<std::size_t>(4 * i + 3)] =
            static_cast<int>(((std::lround(t) % 24) + 24) % 24);
    }
    return k;
}

OpKey key_of(const gemmi::Op& op) {
    OpKey k{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            k[static_cast<std::size_t>(4 * i + j)] = op.rot[i][j] / 24;
        k[static_cast<std::size_t>(4 * i + 3)] = ((op.tran[i] % 24) + 24) % 24;
    }
    return k;
}

OpKey compose(const OpKey& a, const OpKey& b) {
    OpKey c{};
    for (int i = 0; i < 3; ++i) {
        int t = a[static_cast<std::size_t>(4 * i + 3)];
        for (int j = 0; j < 3; ++j) {
            int r = 0;
            for (int k = 0; k < 3; ++k)
                r +=
                    a[static_cast<std::size_t>(4 * i + k)] * b[static_cast<std::size_t>(4 * k + j)];
            c[static_cast<std::size_t>(4 * i + j)] = r;
            t += a[static_cast<std::size_t>(4 * i + j)] * b[static_cast<std::size_t>(4 * j + 3)];
        }
        c[static_cast<std::size_t>(4 * i + 3)] = ((t % 24) + 24) % 24;
    }
    return c;
}

std::set<OpKey> gemmi_group(const std::string& hall) {
    std::set<OpKey> out;
    const gemmi::GroupOps g = gemmi::symops_from_hall(hall.c_str());
    for (const gemmi::Op& op : g.all_ops_sorted())
        out.insert(key_of(op));
    return out;
}

// The operators Veldor ends up with are gemmi's group of that Hall symbol:
// identity first, no repeats, closed under composition, the group's order.
void expect_group(const std::vector<EquivalentPosition>& positions, const std::string& hall,
                  const std::string& what) {
    SCOPED_TRACE(what + " (" + hall + ")");
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(key_of(positions[0].op), key_of(SymOp::identity()));
    std::vector<OpKey> keys;
    for (const auto& p : positions)
        keys.push_back(key_of(p.op));
    const std::set<OpKey> set(keys.begin(), keys.end());
    EXPECT_EQ(set.size(), keys.size()) << "repeated operators";
    const std::set<OpKey> expected = gemmi_group(hall);
    EXPECT_EQ(keys.size(), expected.size()) << "order";
    EXPECT_TRUE(set == expected) << "not gemmi's operators";
    for (const OpKey& a : set)
        for (const OpKey& b : set)
            if (!set.count(compose(a, b))) {
                ADD_FAILURE() << "not closed";
                return;
            }
}

TEST(SpacegroupData, GeneratorWritesTheCommittedFilesByteForByte) {
    TempDir dir("regen");
    std::string error;
    ASSERT_TRUE(spacegroup_data::write_spacegroup_files(dir.path, error)) << error;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir.path)) {
        ++files;
        const std::string name = entry.path().filename().string();
        ASSERT_TRUE(fs::exists(kData / name)) << name << " missing from data/";
        EXPECT_TRUE(slurp(entry.path()) == slurp(kData / name))
            << name << " differs from what the generator writes: run the spacegroup_data target";
    }
    EXPECT_EQ(files, 10);
}

TEST(SpacegroupData, EveryCatalogueEntryGivesGemmisGroup) {
    int entries = 0;
    std::set<int> numbers;
    for (const std::string code : {"TRIC", "MONO", "ORTH", "TETR", "HEXA", "RHOM", "CUBI"}) {
        RecordingMessages msg;
        const auto cat = read_catalogue(catalogue_file(kData, code), msg);
        ASSERT_TRUE(cat) << code;
        for (const CatalogueEntry& e : cat->entries) {
            ++entries;
            numbers.insert(e.number());
            // The notes name the same setting in gemmi's table.
            const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_name(e.full_symbol());
            ASSERT_NE(sg, nullptr) << e.full_symbol();
            EXPECT_EQ(e.number(), sg->number) << e.symbol;
            EXPECT_TRUE(gemmi_group(e.hall()) == gemmi_group(sg->hall)) << e.symbol;

            StructureDocument doc;
            doc.crystal_system = code;
            doc.lattice_letter = e.symbol.substr(0, 1);
            ASSERT_EQ(look_up_group(doc, e.symbol, kData, msg), LookupStatus::Found) << e.symbol;
            ASSERT_TRUE(msg.warnings.empty()) << e.symbol << ": " << msg.warnings.front();
            expect_group(doc.positions, e.hall(), code + " " + e.symbol);
            // Flag 1 exactly when -x,-y,-z is in the group: the listed
            // positions then lack the inverted half.
            const OpKey inversion = {-1, 0, 0, 0, 0, -1, 0, 0, 0, 0, -1, 0};
            EXPECT_EQ(e.centrosymmetric == 1, gemmi_group(e.hall()).count(inversion) == 1)
                << e.symbol;
            EXPECT_EQ(doc.positions.size(), e.operators.size() * (doc.centring.size() + 1) *
                                                (e.centrosymmetric == 1 ? 2 : 1))
                << e.symbol;
        }
    }
    EXPECT_EQ(numbers.size(), 230u);
    EXPECT_GE(entries, 500);
}

TEST(SpacegroupData, EverySettingsListLineGivesGemmisGroupThroughScfsDat) {
    const std::vector<std::string> lines = lines_of(kData / "spgr2.dat");
    ASSERT_EQ(lines.size(), 637u);
    TempDir work("getspec");
    int listed = 0;
    for (const std::string code : {"TRIC", "MONO", "ORTH", "TETR", "HEXA", "RHOM", "CUBI"}) {
        const auto [first, last] = getspec_block(code);
        for (int k = first; k <= last; ++k) {
            const std::string& line = lines[static_cast<std::size_t>(k - 1)];
            if (trim(line).empty()) continue;
            ++listed;
            const std::string symbol = trim(line.substr(5, 12));
            const std::string hall = trim(line.substr(26, 20));
            const int number = std::stoi(line.substr(46, 3));
            const gemmi::SpaceGroup* sg =
                gemmi::find_spacegroup_by_ops(gemmi::symops_from_hall(hall.c_str()));
            ASSERT_NE(sg, nullptr) << hall;
            EXPECT_EQ(sg->number, number) << symbol;

            StructureDocument doc;
            doc.crystal_system = code;
            RecordingMessages msg;
            ASSERT_TRUE(choose_getspec_setting(doc, pad_right(symbol, 12) + pad_right(hall, 17),
                                               work.path, msg))
                << symbol;
            EXPECT_EQ(doc.space_group, symbol);
            EXPECT_EQ(doc.lattice_letter, symbol.substr(0, 1));
            expect_group(doc.positions, hall, code + " line " + std::to_string(k) + " " + symbol);
            // "-X,-Y,-Z" among the texts <=> inversion centre at the origin.
            std::string error;
            const auto g = interpret_symbol(symbol, error);
            ASSERT_TRUE(g);
            EXPECT_EQ(doc.centrosymmetric == 1, g->inversion_at_origin) << symbol;
        }
    }
    // Only the blocks hold settings; line 557 stays empty.
    EXPECT_TRUE(trim(lines[556]).empty());
    // Every setting but the 50 orthorhombic ones left out.
    EXPECT_EQ(listed, static_cast<int>(known_settings().size()) - 50);
}

TEST(SpacegroupData, SettingsListKeepsEveryStandardOrthorhombicSetting) {
    RecordingMessages msg;
    const auto entries = getspec_entries(kData, "ORTH", msg);
    ASSERT_LE(entries.size(), 192u);
    std::set<std::string> symbols;
    for (const auto& e : entries)
        symbols.insert(trim(e.substr(0, 12)));
    for (const SpaceGroupSetting& s : known_settings())
        if (s.crystal_system == "ORTH" && s.reference) {
            EXPECT_TRUE(symbols.count(s.symbol)) << s.symbol;
        }
    // The alternatives that structures are reported in.
    for (const char* s : {"Pbnm", "Pnam", "Pmcn", "Pcab", "Pn21a", "P21cn", "P21nb", "Pbn21",
                          "Pb21a", "Pc21b", "Pmnb", "Pnma", "Pccn", "Pnca", "Ccmb", "Fddd:1"})
        EXPECT_TRUE(symbols.count(s)) << s;
}

// "spgr.peq" read the way the SHELX reader identifies a group: per system,
// entry lines beginning with a blank, the operators (twelve numbers each)
// completed by the centring of the first symbol's letter.
TEST(SpacegroupData, RecognitionFileEntriesAreGemmisGroups) {
    const std::vector<std::string> lines = lines_of(kData / "spgr.peq");
    std::string system;
    int entries = 0;
    for (std::size_t i = 0; i < lines.size();) {
        const std::string& line = lines[i];
        ASSERT_FALSE(line.empty()) << "line " << i + 1;
        if (line[0] != ' ') {
            system = line;
            ++i;
            continue;
        }
        ++entries;
        const std::string symbol = trim(line.substr(0, 20));
        const std::string full = trim(line.substr(23, 16));
        const int number = std::stoi(line.substr(40, 6));
        const int n = std::stoi(lines[i + 1]);
        std::vector<EquivalentPosition> ops;
        for (int k = 0; k < n; ++k) {
            const auto v = split_tokens(lines[i + 2 + static_cast<std::size_t>(k)]);
            ASSERT_EQ(v.size(), 12u);
            EquivalentPosition p;
            for (std::size_t m = 0; m < 12; ++m) {
                p.op.m[m / 4][m % 4] = *parse_double(v[m]);
                if (m % 4 == 3) {
                    EXPECT_GE(p.op.m[m / 4][3], 0.0);
                    EXPECT_LT(p.op.m[m / 4][3], 1.0);
                }
            }
            ops.push_back(p);
        }
        expand_by_centring(ops, centring_vectors(symbol.substr(0, 1), system));
        const gemmi::SpaceGroup* sg = gemmi::find_spacegroup_by_name(full);
        ASSERT_NE(sg, nullptr) << full;
        EXPECT_EQ(sg->number, number);
        expect_group(ops, sg->hall, "spgr.peq " + symbol);
        i += 2 + static_cast<std::size_t>(n);
    }
    EXPECT_GT(entries, 500);
}

// "spa.grp": line N holds N and, in the next 10 characters, a symbol the
// catalogue of the group's system finds; rhombohedral groups are found in
// both axes.
TEST(SpacegroupData, GroupNumberFileNamesTheStandardSettings) {
    const std::vector<std::string> lines = lines_of(kData / "spa.grp");
    ASSERT_EQ(lines.size(), 230u);
    for (int n = 1; n <= 230; ++n) {
        const std::string& line = lines[static_cast<std::size_t>(n - 1)];
        std::size_t end = 0;
        EXPECT_EQ(std::stoi(line, &end), n);
        const std::string symbol = trim(line.substr(end, 10));
        const gemmi::SpaceGroup& ref = gemmi::get_spacegroup_reference_setting(n);
        std::vector<std::string> systems;
        for (const auto& s : known_settings())
            if (s.number == n && (s.reference || symbol[0] == 'R'))
                systems.push_back(s.crystal_system);
        ASSERT_FALSE(systems.empty()) << n;
        for (const std::string& code : systems) {
            RecordingMessages msg;
            const auto cat = read_catalogue(catalogue_file(kData, code), msg);
            ASSERT_TRUE(cat);
            const int i = cat->find(symbol);
            ASSERT_GE(i, 0) << symbol << " in " << code;
            const CatalogueEntry& e = cat->entries[static_cast<std::size_t>(i)];
            EXPECT_EQ(e.number(), n);
            if (code != "RHOM") {
                EXPECT_TRUE(gemmi_group(e.hall()) == gemmi_group(ref.hall)) << symbol;
            }
        }
    }
}

}  // namespace
}  // namespace veldor
