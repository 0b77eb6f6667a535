// The readers fed a few hundred damaged inputs, deterministically, so that
// every build runs what the fuzzers run: truncations, byte changes,
// inserted and deleted pieces, repeated lines and absurd numbers.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "formats/shelx.h"
#include "formats/text_file.h"
#include "formats/vld.h"

namespace veldor {
namespace {

std::string fixture(const char* name) {
    std::ifstream in(std::string(VELDOR_TESTDATA_DIR) + "/" + name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Mutator {
  public:
    explicit Mutator(unsigned seed) : rng_(seed) {}

    std::string mutate(const std::string& seed) {
        std::string s = seed;
        const int steps = 1 + pick(4);
        for (int k = 0; k < steps && !s.empty(); ++k) {
            switch (pick(8)) {
                case 0:  // truncate
                    s.resize(static_cast<std::size_t>(pick(static_cast<int>(s.size()))));
                    break;
                case 1:  // change a byte
                    s[pos(s)] = static_cast<char>(pick(256));
                    break;
                case 2:  // delete a piece
                    s.erase(pos(s), static_cast<std::size_t>(pick(40)));
                    break;
                case 3: {  // insert a token
                    static const char* tokens[] = {"-1",  "99999999999", "1e308", "nan", "=",
                                                   "\n",  "\r",          "-0",    ",",   " ",
                                                   "21.", "-31.5",       "1/0",   "END", "!"};
                    s.insert(pos(s), tokens[pick(15)]);
                    break;
                }
                case 4: {  // repeat a line
                    const std::size_t a = s.rfind('\n', pos(s));
                    const std::size_t start = a == std::string::npos ? 0 : a + 1;
                    const std::size_t end = s.find('\n', start);
                    const std::string line = s.substr(
                        start, end == std::string::npos ? std::string::npos : end - start + 1);
                    s.insert(start, line);
                    break;
                }
                case 5:  // replace a digit by a large number
                    for (std::size_t i = pos(s); i < s.size(); ++i)
                        if (s[i] >= '0' && s[i] <= '9') {
                            s.replace(i, 1, pick(2) ? "100000" : "5000");
                            break;
                        }
                    break;
                case 6:  // drop a line
                {
                    const std::size_t a = s.find('\n', pos(s));
                    if (a != std::string::npos) {
                        const std::size_t b = s.find('\n', a + 1);
                        s.erase(a, b == std::string::npos ? std::string::npos : b - a);
                    }
                    break;
                }
                default:  // line ends as LF only
                    for (std::size_t i = s.find('\r'); i != std::string::npos; i = s.find('\r'))
                        s.erase(i, 1);
                    break;
            }
        }
        return s;
    }

  private:
    int pick(int n) { return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng_); }
    std::size_t pos(const std::string& s) {
        return static_cast<std::size_t>(pick(static_cast<int>(s.size())));
    }
    std::mt19937 rng_;
};

TEST(FuzzReaders, VldReaderSurvivesDamagedFiles) {
    const std::string seed = fixture("thpp_plot.vld");
    ASSERT_FALSE(seed.empty());
    Mutator mutator(12345);
    int read_whole = 0;
    for (int i = 0; i < 400; ++i) {
        const std::string input = i == 0 ? seed : mutator.mutate(seed);
        SilentMessages m;
        StructureDocument doc;
        DrawingSettings d;
        if (read_vld_text(input, "f.vld", doc, d, m)) {
            ++read_whole;
            StructureDocument doc2;
            DrawingSettings d2;
            RecordingMessages again;
            EXPECT_TRUE(read_vld_text(vld_text(doc, d), "g.vld", doc2, d2, again))
                << i << ": " << (again.warnings.empty() ? "" : again.warnings[0]);
        }
        EXPECT_LE(doc.positions.size(), 192u);
        EXPECT_LE(doc.asym.size(), 1000u);
        EXPECT_LE(doc.gen.size(), 5000u);
        EXPECT_LE(doc.bonds.size(), 10000u);
        for (const CalcBond& b : doc.bonds) {
            EXPECT_GE(b.atom1, 1);
            EXPECT_LE(b.atom2, static_cast<int>(doc.gen.size()));
        }
    }
    EXPECT_GT(read_whole, 0);
}

TEST(FuzzReaders, ShelxReadersSurviveDamagedFiles) {
    const std::string seeds[] = {fixture("cctbx_thpp.ins"), fixture("shelxfile_p21c_minimal.res")};
    Mutator mutator(4242);
    for (int i = 0; i < 400; ++i) {
        const std::string& seed = seeds[i % 2];
        ASSERT_FALSE(seed.empty());
        const std::string input = i < 2 ? seed : mutator.mutate(seed);
        const auto lines = split_lines(input);
        SilentMessages m;
        double w = 0;
        StructureDocument doc;
        if (read_shelx_instructions(lines, doc, w, m)) {
            ShelxWriteOptions options;
            options.symm = SymmSource::Document;
            if (const auto out = shelx_text(doc, ProgramPaths{}, options, m)) {
                StructureDocument back;
                read_shelx_instructions(split_lines(*out), back, w, m);
            }
        }
        EXPECT_LE(doc.positions.size(), 192u);
        EXPECT_LE(doc.asym.size(), 1000u);
        StructureDocument listing;
        read_shelx_listing(lines, "f.lst", listing, w, m);
        EXPECT_LE(listing.asym.size(), 1000u);
        // The whole load, with the space-group identification, on a quarter of them.
        if (i % 4 == 0) {
            StructureDocument loaded;
            ShelxReadResult r;
            const ProgramPaths paths{VELDOR_DATA_DIR, ::testing::TempDir()};
            load_shelx_text(input, "f.ins", loaded, paths, r, m);
            EXPECT_LE(loaded.positions.size(), 192u);
        }
    }
}

}  // namespace
}  // namespace veldor
