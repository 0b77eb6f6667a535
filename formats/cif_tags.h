#pragma once
// The CIF items the readers look for, in the form tags are compared: lower
// case, with the dotted DDLm form ("_cell.length_a") taken as the
// underscore form. Internal to formats/.

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

#include "core/text.h"

namespace veldor::cif_tags {

inline std::string key(std::string_view tag) {
    std::string k = to_lower(tag);
    std::replace(k.begin(), k.end(), '.', '_');
    return k;
}

inline constexpr const char* kCellLengthA = "_cell_length_a";
inline constexpr std::array<const char*, 6> kCell = {"_cell_length_a",   "_cell_length_b",
                                                     "_cell_length_c",   "_cell_angle_alpha",
                                                     "_cell_angle_beta", "_cell_angle_gamma"};
inline constexpr std::array<const char*, 2> kOperators = {"_symmetry_equiv_pos_as_xyz",
                                                          "_space_group_symop_operation_xyz"};
inline constexpr std::array<const char*, 2> kHm = {"_symmetry_space_group_name_h-m",
                                                   "_space_group_name_h-m_alt"};
inline constexpr std::array<const char*, 2> kHall = {"_symmetry_space_group_name_hall",
                                                     "_space_group_name_hall"};
// The formula items in the order they are preferred.
inline constexpr std::array<const char*, 5> kFormula = {
    "_chemical_formula_moiety", "_chemical_formula_structural", "_chemical_formula_analytical",
    "_chemical_formula_sum", "_chemical_formula_iupac"};

inline constexpr const char* kLabel = "_atom_site_label";
inline constexpr const char* kTypeSymbol = "_atom_site_type_symbol";
inline constexpr std::array<const char*, 3> kFract = {"_atom_site_fract_x", "_atom_site_fract_y",
                                                      "_atom_site_fract_z"};
inline constexpr const char* kDisorderGroup = "_atom_site_disorder_group";
inline constexpr const char* kUiso = "_atom_site_u_iso_or_equiv";
inline constexpr const char* kBiso = "_atom_site_b_iso_or_equiv";
inline constexpr const char* kAnisoLabel = "_atom_site_aniso_label";
inline constexpr std::array<const char*, 6> kAnisoU = {
    "_atom_site_aniso_u_11", "_atom_site_aniso_u_22", "_atom_site_aniso_u_33",
    "_atom_site_aniso_u_12", "_atom_site_aniso_u_13", "_atom_site_aniso_u_23"};
inline constexpr std::array<const char*, 6> kAnisoB = {
    "_atom_site_aniso_b_11", "_atom_site_aniso_b_22", "_atom_site_aniso_b_33",
    "_atom_site_aniso_b_12", "_atom_site_aniso_b_13", "_atom_site_aniso_b_23"};

template <std::size_t N>
bool is_one_of(const std::string& k, const std::array<const char*, N>& tags) {
    return std::any_of(tags.begin(), tags.end(), [&](const char* t) { return k == t; });
}

inline bool is_symmetry(const std::string& k) {
    return is_one_of(k, kOperators) || is_one_of(k, kHm) || is_one_of(k, kHall);
}

}  // namespace veldor::cif_tags
