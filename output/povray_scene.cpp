#include "output/povray_scene.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <set>
#include <sstream>

#include "core/elements.h"
#include "core/text.h"
#include "drawing/scene.h"
#include "formats/text_file.h"
#include "generation/generate.h"

namespace veldor {

namespace {

constexpr double kExtentStart = 10000;
// Ends of a bond closer than this would make a degenerate cylinder.
constexpr double kShortestBond = 0.001;
// The multiplicity marks' bond colours, as fractions.
constexpr double kMarkShade = 0.5;

// Fixed-point numbers without a negative zero, so a scene reads the same
// whatever side of zero a rounding error fell on.
std::string f(double v, int width, int decimals) {
    return fixed_field(v, width, decimals);
}

// A name POV-Ray takes as part of an identifier: letters, digits and "_".
std::string identifier(std::string_view text) {
    std::string s;
    for (unsigned char c : text)
        s += std::isalnum(c) ? static_cast<char>(c) : '_';
    return s;
}

// A text between double quotes in the scene.
std::string quoted(std::string_view text) {
    std::string s;
    for (char c : text) {
        if (c == '"' || c == '\\') s += '\\';
        s += c;
    }
    return s;
}

// A text inside a comment, which must not end it early.
std::string comment(std::string text) {
    for (std::size_t at; (at = text.find("*/")) != std::string::npos;)
        text.replace(at, 2, "* /");
    return text;
}

struct Rgb {
    double r = 0, g = 0, b = 0;
};
Rgb fractions(Colour c) {
    return {red(c) / 255.0, green(c) / 255.0, blue(c) / 255.0};
}

std::string colour_line(const std::string& name, const Rgb& c) {
    return "#declare " + name + "       = color red " + f(c.r, 8, 5) + " green " + f(c.g, 8, 5) +
           " blue " + f(c.b, 8, 5) + " ;\n";
}

std::string metal_texture(const std::string& name, const std::string& colour) {
    return "#declare " + name + "      = texture {\n" +
           "                            pigment {color " + colour + " }\n" +
           "                            finish { Metal } }\n";
}

std::string shiny_texture(const std::string& name, const std::string& colour) {
    return "#declare Texture_" + name + "   = texture {\n" +
           "                        pigment {color " + colour + " }\n" +
           "                        finish { Shiny } }\n";
}

// The working values of the export: centred coordinates of every point
// and the extents of the drawn ones.
struct Frame {
    std::vector<Vec3> points;  // X, Y, Z per point (atoms, then cell corners)
    int atoms = 0;
    double ex = 0, ey = 0, rmax = 0;
};

Frame centred_points(const StructureDocument& doc, const DrawingState& state) {
    const ViewState& v = state.view;
    Frame fr;
    fr.atoms = std::min({v.atom_count, static_cast<int>(doc.display.size()),
                         static_cast<int>(state.ellipsoids.atoms.size())});
    const std::size_t n = static_cast<std::size_t>(std::max(fr.atoms, 0));
    const bool cell = v.points.size() == static_cast<std::size_t>(v.atom_count) + 8;
    for (std::size_t i = 0; i < n && i < v.points.size(); ++i)
        fr.points.push_back(v.points[i]);
    if (cell)
        for (std::size_t i = 0; i < 8; ++i)
            fr.points.push_back(v.points[static_cast<std::size_t>(v.atom_count) + i]);
    Vec3 lo{kExtentStart, kExtentStart, kExtentStart};
    Vec3 hi{-kExtentStart, -kExtentStart, -kExtentStart};
    bool any = false;
    for (std::size_t i = 0; i < fr.points.size(); ++i) {
        if (i < n && doc.display[i].drawn != 1) continue;
        any = true;
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], fr.points[i][k]);
            hi[k] = std::max(hi[k], fr.points[i][k]);
        }
        if (i < n)
            for (double l : state.ellipsoids.atoms[i].eigenvalues)
                fr.rmax = std::max(fr.rmax, 1 / std::sqrt(l));
    }
    // Nothing drawn: an empty scene around the origin rather than one
    // thousands of angstroms away.
    if (!any) lo = hi = Vec3{0, 0, 0};
    fr.ex = hi[0] - lo[0];
    fr.ey = hi[1] - lo[1];
    const double cx = (lo[0] + hi[0]) / 2, cy = (lo[1] + hi[1]) / 2;
    for (Vec3& p : fr.points)
        p = {p[0] - cx, p[1] - cy, p[2] - lo[2]};
    return fr;
}

std::string element_name(const Atom& a) {
    return identifier(element_key(a.element));
}

class SceneWriter {
  public:
    SceneWriter(const StructureDocument& doc, const DrawingState& state,
                const PovraySceneInfo& info)
        : doc_(doc), state_(state), info_(info), fr_(centred_points(doc, state)) {}

    std::string text() {
        header();
        colours();
        sizes();
        camera();
        atoms();
        if (state_.options.labels_off_centre) atom_labels();
        if (state_.options.bond_labels) bond_labels();
        bonds();
        out_ << "\n";
        scale_bar();
        if (has_cell()) cell();
        return out_.str();
    }

  private:
    bool has_cell() const { return fr_.points.size() == static_cast<std::size_t>(fr_.atoms) + 8; }
    bool drawn(int i) const { return doc_.display[static_cast<std::size_t>(i)].drawn == 1; }

    // The texture suffix of an atom: its fragment number or its element.
    std::string texture_name(int i) const {
        const Atom& a = doc_.display[static_cast<std::size_t>(i)];
        return doc_.colour_fragments ? std::to_string(a.tag) : element_name(a);
    }

    void header() {
        out_ << "/*File created by VELDOR2\n"
             << comment(info_.date) << "\n"
             << "Structure: " << comment(info_.structure) << "\n"
             << "Povray file name: " << comment(info_.file_name) << "*/\n"
             << "#version 3.0\n"
             << "#include \"colors.inc\" \n"
             << "#include \"textures.inc\" \n"
             << "#include \"metals.inc\" \n";
    }

    void colours() {
        std::vector<std::string> textures;
        if (doc_.colour_fragments) {
            int fragments = 0;
            for (int i = 0; i < fr_.atoms; ++i)
                fragments = std::max(fragments, doc_.display[static_cast<std::size_t>(i)].tag);
            for (int k = 1; k <= fragments; ++k) {
                out_ << colour_line("couleur_" + std::to_string(k), fractions(fragment_colour(k)));
                textures.push_back(std::to_string(k));
            }
        } else {
            for (const ElementSort& s : doc_.element_sorts) {
                const std::string name = identifier(to_upper(trim(s.symbol)));
                out_ << colour_line("couleur_" + name, fractions(s.colour));
                textures.push_back(name);
            }
            out_ << colour_line("couleur_DU", fractions(state_.dummy.colour));
        }
        out_ << colour_line("color_bond", fractions(doc_.bond_colour))
             << metal_texture("Bond_Texture", "color_bond")
             << colour_line("color_scalebar", fractions(state_.scale_bar_colour))
             << metal_texture("scalebar_Texture", "color_scalebar")
             << colour_line("color_background", fractions(doc_.background_colour))
             << colour_line("color_font", fractions(state_.atom_label_font.colour))
             << "#declare Equator_Texture  = texture { \n"
             << "                            pigment {color Black }\n"
             << "                            finish { Shiny } }\n";
        for (const std::string& t : textures)
            out_ << shiny_texture(t, "couleur_" + t);
        // A drawn atom whose texture was not declared above (fragment 0, an
        // element without a sort, a dummy atom without its sort) would stop
        // POV-Ray: it gets a colour and texture of its own.
        std::set<std::string> declared(textures.begin(), textures.end());
        for (int i = 0; i < fr_.atoms; ++i) {
            if (!drawn(i)) continue;
            const std::string t = texture_name(i);
            if (!declared.insert(t).second) continue;
            const Atom& a = doc_.display[static_cast<std::size_t>(i)];
            const Colour c = doc_.colour_fragments ? fragment_colour(a.tag) : a.colour;
            out_ << colour_line("couleur_" + t, fractions(c)) << shiny_texture(t, "couleur_" + t);
        }
        out_ << "#declare Texture_Coupure = texture {\n"
             << "                        pigment {color RichBlue }\n"
             << "                        finish { Shiny } }\n";
    }

    void sizes() {
        const double b = doc_.bond_width * 0.01;
        if (has_cell()) out_ << "#declare Bond_Radius2       = " << f(b * 0.5, 6, 3) << " ;\n";
        out_ << "#declare Bond_Radius3       = " << f(b * 0.25, 6, 3) << " ;\n"
             << "#declare Bond_Radius       = " << f(b, 6, 3) << " ;\n"
             << "#declare Bond_Dummy        = " << f(info_.custom_bond_radius * b / 3, 6, 3)
             << " ;\n"
             << "#declare Bond_Hydrogene    = " << f(b / 3, 6, 3) << " ;\n"
             << "#declare View_Distance     = " << f((fr_.ey + 2 * fr_.rmax) * 10, 8, 2) << ";\n";
    }

    void camera() {
        out_ << "global_settings { assumed_gamma 2.2 ambient_light rgb < 1, 1, 1 > }\n"
             << "camera { \n"
             << "        location < 0.0 , 0.0 , View_Distance >\n"
             << "        angle     10.0\n"
             << "        up       < 0.0 , 1.0 , 0.0 > \n"
             << "        right    <-1.33, 0.0 , 0.0 >\n"
             << "        look_at  < 0.0 , 0.0 , 0.0 >\n"
             << "       } \n"
             << "background { color_background }\n"
             << "light_source { < 0.0,   0.0, 500.0 >\n"
             << "      color red 2.0 green 2.0 blue 2.0 }\n"
             << "light_source { < 0.0, 510,   0.0 >\n"
             << "     color red 2.0 green 2.0 blue 2.0 } \n";
    }

    // "object {" and the ellipsoid a x^2 + b y^2 + c z^2 = 1; the third
    // equator writes its zero vectors one blank wider.
    void quadric(double a, double b, double c, bool wide_zeros = false) {
        const char* zero = wide_zeros ? "<      0,   0,    0    >" : "<     0,   0,    0    >";
        out_ << "object {\n"
             << "         quadric { < " << f(a, 8, 5) << "," << f(b, 8, 5) << "," << f(c, 8, 5)
             << " >\n"
             << zero << "\n"
             << zero << ", -1}\n";
    }

    void equators(const Vec3& l) {
        const Vec3 q[3] = {{75 * l[0], 0.95 * l[1], 0.95 * l[2]},
                           {0.95 * l[0], 75 * l[1], 0.95 * l[2]},
                           {0.95 * l[0], 0.95 * l[1], 75 * l[2]}};
        for (int k = 0; k < 3; ++k) {
            quadric(q[k][0], q[k][1], q[k][2], k == 2);
            out_ << "     texture {Equator_Texture}\n"
                 << "         }\n"
                 << "\n";
        }
    }

    void transform(const Mat3& m, const Vec3& p) {
        out_ << "matrix < " << f(m[0][0], 10, 5) << "," << f(m[1][0], 10, 5) << ","
             << f(m[2][0], 10, 5) << ",\n"
             << "         " << f(m[0][1], 10, 5) << "," << f(m[1][1], 10, 5) << ","
             << f(m[2][1], 10, 5) << ",\n"
             << "         " << f(m[0][2], 10, 5) << "," << f(m[1][2], 10, 5) << ","
             << f(m[2][2], 10, 5) << ",\n"
             << "         " << f(p[0], 8, 3) << " ," << f(p[1], 8, 3) << " ," << f(p[2], 8, 3)
             << "> \n";
    }

    void atoms() {
        const bool planes = state_.options.draw_planes;
        const bool cut = state_.options.draw_planes_and_axes;
        for (int i = 0; i < fr_.atoms; ++i) {
            if (!drawn(i)) continue;
            const std::size_t si = static_cast<std::size_t>(i);
            const AtomEllipsoid& e = state_.ellipsoids.atoms[si];
            const Vec3& l = e.eigenvalues;
            Mat3 m = multiply(state_.view.rotation, e.eigenvectors);
            const std::string texture = "      texture {Texture_" + texture_name(i) + "}\n";
            out_ << "/*" << comment(atom_label_text(doc_, i)) << "*/\n";
            if (!planes && !cut) {
                quadric(l[0], l[1], l[2]);
                out_ << texture;
                transform(m, fr_.points[si]);
                out_ << "                }\n";
                continue;
            }
            out_ << (cut ? "object { difference { union {\n" : "object { union {\n");
            quadric(l[0], l[1], l[2]);
            out_ << texture << "         }\n";
            equators(l);
            if (!cut) {
                out_ << "                }\n";
                transform(m, fr_.points[si]);
                out_ << "                }\n";
                continue;
            }
            out_ << "         } box { < 0.000,   0.0000,   0.0000 > ,\n"
                 << "                 < " << f(std::sqrt(1 / l[0]), 7, 3) << ","
                 << f(std::sqrt(1 / l[1]), 7, 3) << "," << f(std::sqrt(1 / l[2]), 7, 3) << " >\n"
                 << "texture { Texture_Coupure } }\n";
            // The removed octant [0, r1] x [0, r2] x [0, r3] faces the camera.
            for (int k = 0; k < 3; ++k)
                if (m[2][k] < 0)
                    for (int row = 0; row < 3; ++row)
                        m[row][k] = -m[row][k];
            transform(m, fr_.points[si]);
            out_ << "                }}\n";
        }
    }

    void text_object(const std::string& text, const char* pigment, double size) {
        out_ << "   text{ttf \"timrom.ttf\" \"" << quoted(text) << "\" 0.5 0\n"
             << "pigment {" << pigment << "}\n"
             << "scale < " << f(size, 6, 2) << "," << f(size, 6, 2) << "," << f(size, 6, 2)
             << " >\n";
    }

    // Labels the screen shows: placed off centre (both offsets non-zero),
    // of a drawn and labelled atom.
    void atom_labels() {
        const double size = state_.atom_label_font.size * 0.025;
        for (int i = 0; i < fr_.atoms; ++i) {
            const Atom& a = doc_.display[static_cast<std::size_t>(i)];
            if (a.label_dx == 0 || a.label_dy == 0 || a.drawn != 1 || a.labelled != 1) continue;
            const Vec3& p = fr_.points[static_cast<std::size_t>(i)];
            text_object(atom_label_text(doc_, i), "color_font", size);
            out_ << "translate < " << f(p[0] - a.label_dx, 7, 2) << ","
                 << f(p[1] - a.label_dy, 7, 2) << f(p[2], 7, 2) << " >\n"
                 << "}\n";
        }
    }

    bool bond_drawn(const CalcBond& b) const {
        const int i = b.atom1 - 1, j = b.atom2 - 1;
        return i >= 0 && j >= 0 && i < fr_.atoms && j < fr_.atoms && drawn(i) && drawn(j) &&
               b.width > 0;
    }

    void bond_labels() {
        const double size = state_.bond_label_font.size * 0.025;
        for (const CalcBond& b : doc_.bonds) {
            if (b.label_dx == 0 || b.label_dy == 0 || b.label.empty() || !bond_drawn(b)) continue;
            std::string text = b.label;
            if (const auto at = text.find("\u00c5"); at != std::string::npos)
                text.replace(at, std::string("\u00c5").size(), "A");
            const Vec3& p = fr_.points[static_cast<std::size_t>(b.atom1 - 1)];
            text_object(text, "color_font", size);
            out_ << "rotate < 0 , 0, " << f(b.label_angle, 7, 2) << " >\n"
                 << "translate < " << f(p[0] - b.label_dx, 7, 2) << ","
                 << f(p[1] - b.label_dy, 7, 2) << f(p[2], 7, 2) << " >\n"
                 << "}\n";
        }
    }

    void cylinder(const Vec3& a, const Vec3& b, const std::string& radius) {
        out_ << "cylinder {<" << f(a[0], 8, 3) << "," << f(a[1], 8, 3) << "," << f(a[2], 8, 3)
             << "  >\n"
             << "          <" << f(b[0], 8, 3) << "," << f(b[1], 8, 3) << ", " << f(b[2], 8, 3)
             << "   > " << radius << "\n";
    }

    void bonds() {
        for (const CalcBond& b : doc_.bonds) {
            if (!bond_drawn(b)) continue;
            const Vec3& p = fr_.points[static_cast<std::size_t>(b.atom1 - 1)];
            const Vec3& q = fr_.points[static_cast<std::size_t>(b.atom2 - 1)];
            const Vec3 d{q[0] - p[0], q[1] - p[1], q[2] - p[2]};
            if (std::sqrt(dot(d, d)) < kShortestBond) continue;
            Rgb c = fractions(state_.options.black_and_white ? kWhite : b.colour);
            if (state_.options.double_triple_bonds && b.multiplicity == 1) c = {0, kMarkShade, 0};
            if (state_.options.double_triple_bonds && b.multiplicity == 2) c = {0, 0, kMarkShade};
            out_ << colour_line("color_bond", c) << metal_texture("Bond_Texture", "color_bond")
                 << metal_texture("Bond_Texture_couleur", "color_bond");
            cylinder(p, q, f(b.width * 0.01, 8, 3));
            if (doc_.colour_fragments)
                out_ << "texture {Texture_" << texture_name(b.atom1 - 1) << " } } \n";
            else
                out_ << "texture {Bond_Texture} } \n";
        }
    }

    void scale_bar() {
        const double x0 = (-fr_.ex / 2 - fr_.rmax) * 1.2;
        const double y0 = (-fr_.ey / 2 - fr_.rmax) * 1.2;
        out_ << "cylinder {<" << f(x0, 8, 3) << "," << f(y0, 8, 3) << "," << f(0, 8, 3) << "  >\n"
             << "          <" << f(x0 + 1, 8, 3) << "," << f(y0, 8, 3) << "," << f(0, 8, 3)
             << "   > Bond_Radius3\n"
             << "texture {scalebar_Texture} } \n";
        text_object("1A", "color_scalebar", state_.atom_label_font.size * 0.03);
        out_ << "translate < " << f(x0 + 0.5 - 0.1, 8, 3) << "," << f(y0 + 0.1, 7, 2) << ", "
             << f(0, 8, 3) << "  >\n"
             << "}\n"
             << "\n";
    }

    void cell() {
        static constexpr int kEdges[12][2] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {4, 5}, {5, 6},
                                              {6, 7}, {7, 4}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
        const std::size_t n = static_cast<std::size_t>(fr_.atoms);
        for (const auto& e : kEdges) {
            cylinder(fr_.points[n + static_cast<std::size_t>(e[0])],
                     fr_.points[n + static_cast<std::size_t>(e[1])], "Bond_Radius2");
            out_ << "texture {Bond_Texture} } \n";
        }
        static constexpr const char* kLetters[4] = {"O", "a", "b", "c"};
        static constexpr int kCorners[4] = {0, 1, 3, 4};
        for (int k = 0; k < 4; ++k) {
            const Vec3& p = fr_.points[n + static_cast<std::size_t>(kCorners[k])];
            text_object(kLetters[k], "color_font", state_.atom_label_font.size * 0.03);
            out_ << "translate < " << f(p[0], 7, 2) << "," << f(p[1], 7, 2) << f(p[2], 7, 2)
                 << " >\n"
                 << "}\n";
        }
    }

    const StructureDocument& doc_;
    const DrawingState& state_;
    const PovraySceneInfo& info_;
    Frame fr_;
    std::ostringstream out_;
};

}  // namespace

std::string povray_scene(const StructureDocument& doc, const DrawingState& state,
                         const PovraySceneInfo& info) {
    return SceneWriter(doc, state, info).text();
}

bool write_povray_scene(const std::string& path, const StructureDocument& doc,
                        const DrawingState& state, const PovraySceneInfo& info,
                        Messages& messages) {
    return save_file_atomically(path, povray_scene(doc, state, info), messages);
}

}  // namespace veldor
