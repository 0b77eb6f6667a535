#include <gtest/gtest.h>

#include "main/batch_options.h"

namespace veldor {
namespace {

BatchParse parse(std::vector<std::string> args) {
    return parse_batch_options(args);
}

TEST(BatchOptions, FullCommandLine) {
    const BatchParse p = parse(
        {"--batch",  "x.cif",           "--generation", "sphere",    "--sphere",     "6.5",
         "--centre", "0.5,0.5,0",       "--cut",        "no",        "--select-all", "--block",
         "I",        "--include-bonds", "yes",          "--formula", "C8 H9 N O2",   "--z",
         "4",        "--yes",           "--out",        "a.vld",     "--out",        "b.cif"});
    ASSERT_TRUE(p.options) << p.error;
    const BatchOptions& o = *p.options;
    EXPECT_EQ(o.input, "x.cif");
    EXPECT_EQ(o.outputs, (std::vector<std::string>{"a.vld", "b.cif"}));
    EXPECT_EQ(o.generation, GenerationMode::Sphere);
    EXPECT_EQ(o.sphere_radius, 6.5);
    EXPECT_EQ(o.centre, (Vec3{0.5, 0.5, 0}));
    EXPECT_EQ(o.cut, false);
    EXPECT_TRUE(o.select_all);
    EXPECT_EQ(o.block, "I");
    EXPECT_EQ(o.include_bonds, true);
    EXPECT_EQ(o.formula, "C8 H9 N O2");
    EXPECT_EQ(o.z, 4);
    EXPECT_TRUE(o.yes);
}

TEST(BatchOptions, DefaultsLeaveTheFileChoices) {
    const BatchParse p = parse({"--batch", "x.ins", "--out", "y.shx"});
    ASSERT_TRUE(p.options);
    EXPECT_FALSE(p.options->generation);
    EXPECT_FALSE(p.options->cut);
    EXPECT_FALSE(p.options->yes);
}

TEST(BatchOptions, RefusalsSayWhy) {
    EXPECT_EQ(parse({"--batch"}).error, "--batch needs a FILE");
    EXPECT_EQ(parse({"--batch", "x.cif"}).error,
              "batch mode needs at least one --out OUT, --print PAGE.pdf or --report KIND");
    EXPECT_EQ(parse({"--batch", "x.cif", "--out"}).error, "--out needs a value");
    EXPECT_EQ(parse({"--batch", "x.cif", "--generation", "all", "--out", "y.vld"}).error,
              "--generation takes none, box, sphere, fragments or cell");
    EXPECT_EQ(parse({"--batch", "x.cif", "--box", "1,2", "--out", "y.vld"}).error,
              "--box takes three numbers a,b,c");
    EXPECT_EQ(parse({"--batch", "x.cif", "--sphere", "-1", "--out", "y.vld"}).error,
              "--sphere takes a radius in angstrom");
    EXPECT_EQ(parse({"--batch", "x.cif", "--cut", "maybe", "--out", "y.vld"}).error,
              "--cut takes yes or no");
    EXPECT_EQ(parse({"--batch", "x.cif", "--z", "0", "--out", "y.vld"}).error,
              "--z takes a whole number from 1");
    EXPECT_EQ(parse({"--batch", "x.cif", "--probability", "55", "--out", "y.png"}).error,
              "--probability takes 10, 20, ... 100");
    EXPECT_EQ(parse({"--batch", "x.cif", "--view", "direction:1,0", "--out", "y.png"}).error,
              "--view takes best, initial or direction:u,v,w");
    EXPECT_EQ(parse({"--batch", "x.cif", "--wat", "--out", "y.vld"}).error,
              "unknown option: --wat");
    EXPECT_EQ(parse({"--batch", "x.cif", "stray", "--out", "y.vld"}).error,
              "unexpected argument: stray");
}

TEST(BatchOptions, PictureOptions) {
    const BatchParse p = parse({"--batch", "x.vld", "--probability", "30", "--iso", "--view",
                                "direction:1,1,0", "--cell", "--labels", "centre", "--bw", "--size",
                                "800", "--zoom", "1.5", "--out", "y.png"});
    ASSERT_TRUE(p.options) << p.error;
    EXPECT_EQ(p.options->probability, 30);
    EXPECT_TRUE(p.options->iso);
    EXPECT_EQ(p.options->view, "direction:1,1,0");
    EXPECT_TRUE(p.options->cell);
    EXPECT_EQ(p.options->labels, "centre");
    EXPECT_EQ(p.options->size, 800);
    EXPECT_EQ(p.options->zoom, 1.5);
}

TEST(BatchOptions, DrawingWindowOptions) {
    const BatchParse p =
        parse({"--batch", "x.vld", "--labels", "off-centre", "--bond-labels", "--double-bonds",
               "--position-code", "--mask-elements", "H, F", "--bond-width", "12", "--perspective",
               "0", "--colour", "C=808080", "--color", "background=#FFFFe0", "--out", "y.png"});
    ASSERT_TRUE(p.options) << p.error;
    const BatchOptions& o = *p.options;
    EXPECT_EQ(o.labels, "off-centre");
    EXPECT_TRUE(o.bond_labels && o.double_bonds && o.position_code);
    EXPECT_EQ(o.mask_elements, (std::vector<std::string>{"H", "F"}));
    EXPECT_EQ(o.bond_width, 12);
    EXPECT_EQ(o.perspective, 0.0);
    ASSERT_EQ(o.colours.size(), 2u);
    EXPECT_EQ(o.colours[0], std::make_pair(std::string("C"), rgb(128, 128, 128)));
    EXPECT_EQ(o.colours[1], std::make_pair(std::string("background"), rgb(255, 255, 224)));

    auto refusal = [](const std::string& option, const std::string& value) {
        return parse({"--batch", "x.vld", option, value, "--out", "y.png"}).error;
    };
    EXPECT_EQ(refusal("--labels", "left"), "--labels takes none, centre or off-centre");
    EXPECT_EQ(refusal("--bond-width", "21"),
              "--bond-width takes 1 to 20 (hundredths of an angstrom)");
    EXPECT_EQ(refusal("--perspective", "-1"), "--perspective takes 0 to 20 (degrees)");
    EXPECT_EQ(refusal("--colour", "C=80808"),
              "--colour takes NAME=RRGGBB (an element, background, bonds or scale-bar)");
    EXPECT_EQ(refusal("--colour", "=808080"),
              "--colour takes NAME=RRGGBB (an element, background, bonds or scale-bar)");
    EXPECT_EQ(refusal("--mask-elements", ","), "--mask-elements takes elements such as H,F");
}

}  // namespace
}  // namespace veldor
