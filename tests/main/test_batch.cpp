#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/data_files.h"
#include "formats/cif_read.h"
#include "formats/vld.h"
#include "main/batch.h"
#include "main/structure_loader.h"

namespace veldor {
namespace {

namespace fs = std::filesystem;

struct BatchRun {
    int status = -1;
    std::string err;
};

// Runs the program with standard error captured; no display is offered.
BatchRun veldor(const fs::path& dir, const std::string& args) {
    const fs::path err = dir / "stderr.txt";
    const std::string cmd = "cd '" + dir.string() +
                            "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                            VELDOR_EXECUTABLE + "' " + args + " 2> '" + err.string() + "'";
    BatchRun r;
    const int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(err);
    std::stringstream ss;
    ss << in.rdbuf();
    r.err = ss.str();
    return r;
}

class Batch : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              (std::string("veldor_batch_") +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
    const std::string thpp = VELDOR_SOURCE_DIR "/examples/thpp.ins";
};

TEST_F(Batch, ShelxToEveryOutput) {
    const BatchRun r = veldor(dir, "--batch '" + thpp +
                                       "' --generation cell --out a.vld --out b.cif --out c.shx "
                                       "--out d.png --out e.svg --out f.pdf --size 300");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    for (const char* f : {"a.vld", "b.cif", "c.shx", "d.png", "e.svg", "f.pdf", "dummy.vld"})
        EXPECT_GT(fs::file_size(dir / f), 100u) << f;
    EXPECT_EQ(QImage(QString::fromStdString((dir / "d.png").string())).size(), QSize(300, 300));

    // The written files read back.
    StructureDocument doc;
    DrawingState state;
    RecordingMessages msg;
    ASSERT_TRUE(read_vld((dir / "a.vld").string(), doc, state, msg));
    EXPECT_GT(doc.gen.size(), doc.asym.size());  // the cell holds 4 molecules
    EXPECT_EQ(doc.positions.size(), 4u);
    StructureDocument cif;
    const ProgramPaths paths{VELDOR_DATA_DIR, dir.string()};
    EXPECT_EQ(load_cif((dir / "b.cif").string(), cif, paths, msg).status, 0);
    EXPECT_EQ(cif.asym.size(), doc.asym.size());
    EXPECT_NEAR(cif.cell_parameters[1], 14.5749, 1e-4);
}

TEST_F(Batch, ExistingFilesAreKeptUnlessYes) {
    std::ofstream(dir / "a.vld") << "keep me\n";
    BatchRun r = veldor(dir, "--batch '" + thpp + "' --out a.vld");
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.err, "This file already exists. Do you want to continue? No\n");
    std::ifstream in(dir / "a.vld");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "keep me");

    r = veldor(dir, "--batch '" + thpp + "' --yes --out a.vld");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_GT(fs::file_size(dir / "a.vld"), 100u);
}

TEST_F(Batch, BadInputsFailWithAMessage) {
    BatchRun r = veldor(dir, "--batch nothere.cif --out x.vld");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "nothere.cif not found\n");

    std::ofstream(dir / "notes.txt") << "hello\n";
    r = veldor(dir, "--batch notes.txt --out x.vld");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Unknown kind of structure file: notes.txt"), std::string::npos);

    r = veldor(dir, "--batch '" + thpp + "' --out x.doc");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Unknown kind of output file: x.doc"), std::string::npos);

    r = veldor(dir, "--batch '" + thpp + "' --generation sphere --out x.vld");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--sphere r"), std::string::npos);

    r = veldor(dir, "--batch");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--batch needs a FILE"), std::string::npos);

    // A CIF in which neither the strict parser nor the line rules find a block.
    std::ofstream(dir / "broken.cif") << "loop_\n'unterminated\n_cell_length_a 5\n";
    r = veldor(dir, "--batch broken.cif --out x.vld");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Veldor cannot finf any valuable bloc"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "x.vld"));
}

// Analysis reports go next to the first --out, or into the work folder
// when there is none; a plane of aligned atoms fails the run.
TEST_F(Batch, AnalysisReports) {
    fs::create_directories(dir / "out");
    BatchRun r = veldor(dir, "--batch '" + thpp +
                                 "' --generation fragments --report distances --report "
                                 "coordination:angles --report environment:F1 --report "
                                 "plane:C9,C4,C2,C10,C1,N3 --out out/thpp.vld");
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* f : {"distances.txt", "dist.txt", "envir.txt", "plan.dat", "plan.sor"})
        EXPECT_TRUE(fs::exists(dir / "out" / f)) << f;
    EXPECT_FALSE(fs::exists(dir / "distances.txt"));

    r = veldor(dir, "--batch '" + thpp + "' --report coordinates");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir / "coordonnees.txt"));

    r = veldor(dir, "--batch '" + thpp + "' --report plane:F1,F1,F1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("The atoms of plane 1 are aligned. Do you want to continue? No"),
              std::string::npos)
        << r.err;

    r = veldor(dir, "--batch '" + thpp + "' --report angles");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--report takes distances"), std::string::npos) << r.err;
}

TEST_F(Batch, CifBlockByName) {
    const std::string multi = VELDOR_SOURCE_DIR "/tests/data/pymatgen_MultiStructure.cif";
    BatchRun r = veldor(dir, "--batch '" + multi + "' --block nosuchblock --out x.vld");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No data block nosuchblock"), std::string::npos) << r.err;
}

// Every real test file converts to the three data formats, and each output
// reads back into the cell and asymmetric unit of the file itself.
class BatchRealFile : public Batch, public ::testing::WithParamInterface<const char*> {};

TEST_P(BatchRealFile, ConvertsToVldShelxAndCif) {
    const std::string input = std::string(VELDOR_SOURCE_DIR "/tests/data/") + GetParam();
    const BatchRun r = veldor(dir, "--batch '" + input +
                                       "' --generation cell --out out.vld --out out.shx "
                                       "--out out.cif --out out.png");
    ASSERT_EQ(r.status, 0) << r.err;

    const ProgramPaths paths{VELDOR_DATA_DIR, dir.string()};
    RecordingMessages msg;
    auto load = [&](const std::string& path) {
        StructureDocument doc;
        DrawingState drawing;
        const LoadOutcome out = load_structure(structure_file_kind(path), path, doc, drawing, paths,
                                               msg, [](const auto&) { return 0; });
        EXPECT_TRUE(out.ok) << path << ": " << (msg.warnings.empty() ? "" : msg.warnings.back());
        return doc;
    };
    const StructureDocument source = load(input);
    for (const char* out : {"out.vld", "out.shx", "out.cif"}) {
        const StructureDocument back = load((dir / out).string());
        // Lengths are written with 4 decimals, angles with 3 (VLD, SHELX) or 2 (CIF).
        for (int i = 0; i < 6; ++i)
            EXPECT_NEAR(back.cell_parameters[i], source.cell_parameters[i], i < 3 ? 1e-4 : 5e-3)
                << out;
        EXPECT_EQ(back.asym.size(), source.asym.size()) << out;
        EXPECT_EQ(back.positions.size(), source.positions.size()) << out;
        for (std::size_t a = 0; a < std::min(back.asym.size(), source.asym.size()); ++a) {
            EXPECT_NEAR(back.asym[a].x, source.asym[a].x, 1e-4) << out << " atom " << a;
            EXPECT_NEAR(back.asym[a].adp[0], source.asym[a].adp[0], 1e-5) << out << " atom " << a;
        }
    }
    StructureDocument plotted;
    DrawingState drawing;
    ASSERT_TRUE(read_vld((dir / "out.vld").string(), plotted, drawing, msg));
    EXPECT_GE(plotted.gen.size(), plotted.asym.size());
}

INSTANTIATE_TEST_SUITE_P(TestData, BatchRealFile,
                         ::testing::Values("cctbx_thpp.ins", "cctbx_thpp.cif",
                                           "shelxfile_p21c_minimal.res", "gemmi_2013551_MgI2.cif",
                                           "pymatgen_Cu7Te5.cif", "pymatgen_Graphite.cif",
                                           "pymatgen_MultiStructure.cif",
                                           "pymatgen_nosymm_HallOnly.cif", "pyobjcryst_BaTiO3.cif",
                                           "pyobjcryst_paracetamol_MeOH.cif"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

TEST(StreamMessagesTest, AnswersAsTold) {
    std::ostringstream out;
    StreamMessages no(out, false);
    EXPECT_EQ(no.confirm("Sure?"), Answer::No);
    StreamMessages yes(out, true);
    EXPECT_EQ(yes.confirm("Sure?"), Answer::Yes);
    yes.warn("Too much bonds!");
    EXPECT_EQ(out.str(), "Sure? No\nSure? Yes\nToo much bonds!\n");
    EXPECT_EQ(yes.warnings(), 1);
}

// Every picture option of the drawing window changes the picture of a real
// plot, and the colours land where they were asked for.
TEST_F(Batch, DrawingWindowPictureOptions) {
    const std::string plot = VELDOR_TESTDATA_DIR "/thpp_fragments.vld";
    auto picture = [&](const std::string& name, const std::string& options) {
        const BatchRun r =
            veldor(dir, "--batch '" + plot + "' --yes --view best " + options + " --out " + name);
        EXPECT_EQ(r.status, 0) << options << ": " << r.err;
        return QImage(QString::fromStdString((dir / name).string()))
            .convertToFormat(QImage::Format_RGB32);
    };
    const QImage plain = picture("plain.png", "");
    for (const char* options :
         {"--mask-elements F", "--bond-width 15", "--perspective 0", "--double-bonds",
          "--labels centre", "--colour N=0000ff", "--colour bonds=ff0000", "--bw --cell"})
        EXPECT_NE(picture("p.png", options), plain) << options;
    const QImage coloured =
        picture("c.png", "--colour background=102030 --colour scale-bar=ffffff");
    EXPECT_EQ(coloured.pixelColor(1, 1), QColor(16, 32, 48));
    // The scale bar's line at (10, H - 20).
    EXPECT_EQ(coloured.pixelColor(12, coloured.height() - 20), QColor(255, 255, 255));

    const BatchRun missing =
        veldor(dir, "--batch '" + plot + "' --mask-elements Xe --out m.png --yes");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("No element Xe in the structure"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace veldor
