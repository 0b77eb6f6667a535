// The box and sphere dialogs' values.

#include <gtest/gtest.h>

#include "fixtures.h"
#include "generation/enclosure_dialog.h"

namespace veldor {
namespace {

TEST(EnclosureDialog, OpensOnTheCurrentValues) {
    StructureDocument doc = testing::make_document({10, 11, 12, 90, 95, 90}, "P21/c");
    testing::add_atom(doc, "C", "1", 0.123456, -0.5, 1);
    doc.enclosure = {{1.01, 2, 0.5}, {0.25, 0.5, 0.123456}, 7.5};
    doc.cut_box = true;
    const EnclosureFields box = box_fields(doc);
    EXPECT_EQ(box.sizes, (std::array<std::string, 3>{"1.010", "2.000", "0.500"}));
    EXPECT_EQ(box.centre, (std::array<std::string, 3>{"0.2500", "0.5000", "0.1235"}));
    EXPECT_TRUE(box.cut);
    const EnclosureFields sphere = sphere_fields(doc);
    EXPECT_EQ(sphere.sizes[0], "7.500");
    EXPECT_FALSE(sphere.cut);
    const std::vector<EnclosureAtom> atoms = enclosure_atoms(doc);
    ASSERT_EQ(atoms.size(), 1u);
    EXPECT_EQ(atoms[0].name, "C1");
    EXPECT_EQ(atoms[0].xyz, (std::array<std::string, 3>{"0.1235", "-0.5000", "1.0000"}));
}

TEST(EnclosureDialog, FieldsAndWhatOkStores) {
    std::string empty = " ";
    EXPECT_EQ(read_enclosure_field(empty, true), 0.0);
    EXPECT_EQ(empty, "0");
    std::string negative = "-1";
    EXPECT_FALSE(read_enclosure_field(negative, true));      // no negative size
    EXPECT_EQ(read_enclosure_field(negative, false), -1.0);  // a centre may be anywhere

    StructureDocument doc;
    EnclosureFields f{{"2", "", "x"}, {"0.5", "0.5", "0.5"}, false};
    EXPECT_EQ(store_box_fields(doc, f), 2);
    EXPECT_EQ(doc.enclosure.box, (Vec3{1.01, 1.01, 1.01}));  // nothing stored
    f.sizes[2] = "3";
    f.cut = true;
    EXPECT_EQ(store_box_fields(doc, f), -1);
    EXPECT_EQ(doc.enclosure.box, (Vec3{2, 0, 3}));
    EXPECT_TRUE(doc.cut_box);
    EnclosureFields s{{"4.5", "", ""}, {"0", "0", "z"}, true};
    EXPECT_EQ(store_sphere_fields(doc, s), 5);
    s.centre[2] = "0.25";
    EXPECT_EQ(store_sphere_fields(doc, s), -1);
    EXPECT_DOUBLE_EQ(doc.enclosure.radius, 4.5);
    EXPECT_EQ(doc.enclosure.centre, (Vec3{0, 0, 0.25}));
    EXPECT_TRUE(doc.cut_sphere);
}

}  // namespace
}  // namespace veldor
