#pragma once
// Small documents for the drawing tests.

#include <gtest/gtest.h>

#include <string>

#include "core/adp.h"
#include "core/document.h"
#include "core/metric.h"
#include "drawing/drawing_state.h"

namespace veldor::test {

inline StructureDocument document_with_cell(const std::array<double, 6>& cell) {
    StructureDocument doc;
    doc.cell_parameters = cell;
    RecordingMessages msg;
    EXPECT_TRUE(compute_metric(doc, msg));
    return doc;
}

// An atom with the betas of an isotropic U at fractional (x, y, z).
inline Atom iso_atom(const StructureDocument& doc, const std::string& name, const Vec3& frac,
                     double u) {
    Atom a;
    a.name = name;
    a.element = "C";
    a.label = name.substr(1);
    a.set_position(frac);
    const auto g = isotropic_factors(doc.metric);
    for (int k = 0; k < 6; ++k)
        a.adp[k] = u * g[k];
    a.iso = 1;
    a.colour = rgb(128, 128, 128);
    return a;
}

// An atom with the betas of anisotropic U11 U22 U33 U12 U13 U23.
inline Atom aniso_atom(const StructureDocument& doc, const std::string& name, const Vec3& frac,
                       const std::array<double, 6>& u) {
    Atom a = iso_atom(doc, name, frac, 0);
    const auto f = anisotropic_factors(doc.metric);
    for (int k = 0; k < 6; ++k)
        a.adp[k] = u[k] * f[k];
    a.iso = 0;
    return a;
}

// The ratio between the 2 pi^2 of the betas and that of the ellipsoids:
// an isotropic radius is c sqrt(U x this).
inline constexpr double kBetaRatio = 19.7391754562 / 19.739208802178716;

inline DrawingState fresh_state(const StructureDocument& doc) {
    DrawingState s;
    reset_orientation(s.view, doc.metric);
    return s;
}

}  // namespace veldor::test
