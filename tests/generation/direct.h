#pragma once
// Plain, obviously correct versions of the generation loops and the bond
// search: every pair, every operator, every translation, in the stated
// order. The library's fast versions must give exactly the same atoms,
// order, fragment numbers, bonds and messages.

#include "core/document.h"
#include "core/messages.h"

namespace veldor::direct {

void search_bonds(StructureDocument& doc, Messages& messages);
void assemble_asym_fragments(StructureDocument& doc);
void make_generated_atoms(StructureDocument& doc, Messages& messages);
void assemble_generated_fragments(StructureDocument& doc, Messages& messages);
void merge_coincident_atoms(StructureDocument& doc);
void fill_box(StructureDocument& doc, Messages& messages);
void fill_sphere(StructureDocument& doc, Messages& messages);
void generate(StructureDocument& doc, Messages& messages);

}  // namespace veldor::direct
