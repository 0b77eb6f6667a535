// The "Create a CIF" dialog's values.

#include <gtest/gtest.h>

#include "formats/cif_dialog.h"

namespace veldor {
namespace {

TEST(FormulaDialog, OpensWithTheFormulaAndZAndReadsZAsAnInteger) {
    StructureDocument doc;
    doc.formula = "C8 H9 N O2";
    doc.positions.resize(4);
    FormulaDialogFields f = formula_dialog_fields(doc);
    EXPECT_EQ(f.formula, "C8 H9 N O2");
    EXPECT_EQ(f.z, "4");
    EXPECT_TRUE(f.include_bonds);

    RecordingMessages m;
    f.z = "2.5";
    EXPECT_FALSE(read_formula_dialog(f, m));
    EXPECT_EQ(m.warnings, std::vector<std::string>{"'2.5' is not a valid integer value"});
    f.z = " 8 ";
    f.formula = "  ";
    f.include_bonds = false;
    const auto options = read_formula_dialog(f, m);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->z, 8);
    EXPECT_EQ(options->formula, "");  // Veldor works it out
    EXPECT_FALSE(options->include_bonds);
}

}  // namespace
}  // namespace veldor
