#include "direct.h"

#include <cmath>
#include <vector>

#include "core/adp.h"
#include "core/elements.h"
#include "core/metric.h"
#include "generation/bonds.h"
#include "generation/generate.h"

namespace veldor::direct {

namespace {

bool names_pair(const BondSort& s, const std::string& k1, const std::string& k2) {
    const std::string s1 = element_key(s.element1), s2 = element_key(s.element2);
    return (s1 == k1 && s2 == k2) || (s1 == k2 && s2 == k1);
}

// First sort naming the pair with a non-zero distance.
bool fragment_distance(const StructureDocument& doc, const Atom& a, const Atom& b, double& d) {
    for (const BondSort& s : doc.bond_sorts)
        if (names_pair(s, element_key(a.element), element_key(b.element)) && s.max_distance != 0) {
            d = s.max_distance;
            return true;
        }
    return false;
}

double reduce(double x) {
    double r = x - std::trunc(x);
    if (r < 0) r += 1;
    return r;
}

// The kept points of a box or sphere; false once the 5000th would be kept.
struct Kept {
    const Metric& metric;
    std::vector<Atom> atoms;
    bool full = false;
    bool keep(const Atom& a, double x, double y, double z, Messages& messages) {
        for (const Atom& k : atoms)
            if (distance(k.position(), {x, y, z}, metric) < 0.02) return true;
        if (atoms.size() == 4999) {
            messages.warn("Too many generated atoms");
            full = true;
            return false;
        }
        Atom c = a;
        c.x = x;
        c.y = y;
        c.z = z;
        atoms.push_back(c);
        return true;
    }
};

// Fragments as the generated list lays them out: runs of equal tag.
std::vector<std::vector<int>> fragments_of(const std::vector<Atom>& gen) {
    std::vector<std::vector<int>> frags;
    for (int i = 0; i < static_cast<int>(gen.size()); ++i) {
        if (i == 0 || gen[i].tag != gen[i - 1].tag) frags.emplace_back();
        frags.back().push_back(i);
    }
    return frags;
}

}  // namespace

void search_bonds(StructureDocument& doc, Messages& messages) {
    doc.bonds.clear();
    const int n = static_cast<int>(doc.gen.size());
    // Keys computed once: the loop below is the plain one.
    std::vector<std::string> key(n), s1, s2;
    for (int i = 0; i < n; ++i)
        key[i] = element_key(doc.gen[i].element);
    for (const BondSort& s : doc.bond_sorts) {
        s1.push_back(element_key(s.element1));
        s2.push_back(element_key(s.element2));
    }
    for (int i = 0; i < n - 1; ++i)
        for (int j = i + 1; j < n; ++j) {
            const Atom& a = doc.gen[i];
            const Atom& b = doc.gen[j];
            const int pa = std::abs(a.part), pb = std::abs(b.part);
            if (pa != 0 && pb != 0 && pa != pb) continue;
            const std::string& ka = key[i];
            const std::string& kb = key[j];
            for (std::size_t s = 0; s < doc.bond_sorts.size(); ++s) {
                if (!((s1[s] == ka && s2[s] == kb) || (s1[s] == kb && s2[s] == ka))) continue;
                const double d = distance(a.position(), b.position(), doc.metric);
                if (!(d <= doc.bond_sorts[s].max_distance) || d < 0.1) continue;
                if (doc.bonds.size() == 10000) {
                    messages.warn("Too much bonds!");
                    return;
                }
                CalcBond bond;
                bond.atom1 = i + 1;
                bond.atom2 = j + 1;
                bond.length = d;
                bond.colour = doc.bond_colour;
                bond.width = doc.bond_width;
                if (ka == "C" && kb == "C") {
                    if (d > 1.439)
                        bond.multiplicity = 0;
                    else if (d < 1.439 && d > 1.271)
                        bond.multiplicity = 1;
                    else if (d < 1.271)
                        bond.multiplicity = 2;
                }
                if (ka == "H" || kb == "H") bond.width = bond.width / 2;
                doc.bonds.push_back(bond);
            }
        }
}

void assemble_asym_fragments(StructureDocument& doc) {
    std::vector<Atom>& asym = doc.asym;
    const int n = static_cast<int>(asym.size());
    std::vector<bool> taken(n, false);
    std::vector<std::vector<int>> fragments;
    for (int start = 0; start < n; ++start) {
        if (taken[start]) continue;
        fragments.push_back({start});
        taken[start] = true;
        std::vector<int>& frag = fragments.back();
        for (std::size_t k = 0; k < frag.size(); ++k) {
            const int a = frag[k];
            for (int b = 0; b < n; ++b) {
                if (taken[b]) continue;
                double d = 0;
                if (!fragment_distance(doc, asym[a], asym[b], d)) continue;
                bool found = false;
                for (int i = -1; i <= 1 && !found; ++i)
                    for (int j = -1; j <= 1 && !found; ++j)
                        for (int l = -1; l <= 1 && !found; ++l)
                            for (std::size_t p = 0; p < doc.positions.size() && !found; ++p) {
                                const Vec3 y = doc.positions[p].op.apply(asym[b].position());
                                const Vec3 img{y[0] + i, y[1] + j, y[2] + l};
                                if (distance(asym[a].position(), img, doc.metric) <= d) {
                                    found = true;
                                    asym[b].set_position(img);
                                    if (asym[b].iso == 0) {
                                        const auto& u = asym[b].adp;
                                        const Mat3 m{{{u[0], u[3], u[4]},
                                                      {u[3], u[1], u[5]},
                                                      {u[4], u[5], u[2]}}};
                                        const Mat3 r = doc.positions[p].op.rotation();
                                        const Mat3 t = multiply(multiply(r, m), transpose(r));
                                        asym[b].adp = {t[0][0], t[1][1], t[2][2],
                                                       t[0][1], t[0][2], t[1][2]};
                                    }
                                }
                            }
                if (found) {
                    taken[b] = true;
                    frag.push_back(b);
                }
            }
        }
    }
    std::vector<Atom> out;
    for (std::size_t f = 0; f < fragments.size(); ++f)
        for (int a : fragments[f]) {
            out.push_back(asym[a]);
            out.back().tag = static_cast<int>(f) + 1;
        }
    asym = out;
}

void make_generated_atoms(StructureDocument& doc, Messages& messages) {
    std::vector<Atom> cand;
    for (std::size_t n = 0; n < doc.generation_ops.size(); ++n)
        for (const Atom& a : doc.asym) {
            Atom c = a;
            c.tag = static_cast<int>(n) + 1;
            c.set_position(doc.generation_ops[n].apply(a.position()));
            const GeneratedAdp g =
                generated_betas(a, doc.generation_ops[n].rotation(), doc.metric, messages);
            c.adp = g.beta;
            c.iso = g.iso;
            cand.push_back(c);
        }
    for (std::size_t i = 0; i < cand.size(); ++i) {
        if (cand[i].tag == 0) continue;
        for (std::size_t j = i + 1; j < cand.size(); ++j) {
            const Vec3 ri{reduce(cand[i].x), reduce(cand[i].y), reduce(cand[i].z)};
            const Vec3 rj{reduce(cand[j].x), reduce(cand[j].y), reduce(cand[j].z)};
            if (distance(ri, rj, doc.metric) < 0.02) {
                cand[j].name.clear();
                cand[j].label.clear();
                cand[j].element.clear();
                cand[j].tag = 0;
            }
        }
    }
    doc.gen.clear();
    bool overflow = false;
    for (const Atom& c : cand) {
        if (c.name.empty() || c.tag == 0) continue;
        if (doc.gen.size() == 5000)
            overflow = true;
        else
            doc.gen.push_back(c);
    }
    if (overflow) messages.warn("Too many generated atoms");
}

void assemble_generated_fragments(StructureDocument& doc, Messages& messages) {
    std::vector<Atom> gen = doc.gen;
    const int n = static_cast<int>(gen.size());
    std::vector<bool> taken(n, false);
    std::vector<std::vector<int>> fragments;
    bool stop = false;
    for (int start = 0; start < n && !stop; ++start) {
        if (taken[start]) continue;
        if (fragments.size() == 500) {
            messages.warn("Too many generated atoms");
            break;
        }
        fragments.push_back({start});
        taken[start] = true;
        std::vector<int>& frag = fragments.back();
        for (std::size_t k = 0; k < frag.size() && !stop; ++k) {
            const int a = frag[k];
            for (int b = 0; b < n && !stop; ++b) {
                if (taken[b]) continue;
                double d = 0;
                if (!fragment_distance(doc, gen[a], gen[b], d)) continue;
                bool found = false;
                Vec3 img{};
                for (int i = -4; i <= 4 && !found; ++i)
                    for (int j = -4; j <= 4 && !found; ++j)
                        for (int l = -4; l <= 4 && !found; ++l) {
                            img = {gen[b].x + i, gen[b].y + j, gen[b].z + l};
                            found = distance(gen[a].position(), img, doc.metric) <= d;
                        }
                if (!found) continue;
                if (frag.size() == 500) {
                    messages.warn("Too many atoms");
                    stop = true;
                    break;
                }
                gen[b].set_position(img);
                taken[b] = true;
                frag.push_back(b);
            }
        }
    }
    std::vector<Atom> out;
    for (std::size_t f = 0; f < fragments.size(); ++f) {
        double cx = 0, cy = 0, cz = 0;
        for (int a : fragments[f]) {
            cx += gen[a].x;
            cy += gen[a].y;
            cz += gen[a].z;
        }
        cx /= static_cast<double>(fragments[f].size());
        cy /= static_cast<double>(fragments[f].size());
        cz /= static_cast<double>(fragments[f].size());
        double best = 100000;
        int bj = 0, bk = 0, bl = 0;
        for (int j = -4; j <= 4; ++j)
            for (int k = -4; k <= 4; ++k)
                for (int l = -4; l <= 4; ++l) {
                    const Vec3 v =
                        frac_to_cart({cx + j - 0.5, cy + k - 0.5, cz + l - 0.5}, doc.metric);
                    const double d2 = dot(v, v);
                    if (d2 < best) {
                        best = d2;
                        bj = j;
                        bk = k;
                        bl = l;
                    }
                }
        for (int a : fragments[f]) {
            Atom c = gen[a];
            c.x = gen[a].x + bj;
            c.y = gen[a].y + bk;
            c.z = gen[a].z + bl;
            c.tag = static_cast<int>(f) + 1;
            c.colour = fragment_colour(static_cast<int>(f) + 1);
            out.push_back(c);
        }
    }
    doc.gen = out;
}

void merge_coincident_atoms(StructureDocument& doc) {
    std::vector<Atom> out;
    for (const Atom& a : doc.gen) {
        bool seen = false;
        for (const Atom& k : out)
            seen = seen || distance(k.position(), a.position(), doc.metric) < 0.02;
        if (!seen) out.push_back(a);
    }
    doc.gen = out;
}

void fill_box(StructureDocument& doc, Messages& messages) {
    const bool cell_contents = doc.generation_mode == GenerationMode::CellContents;
    const bool cut = cell_contents || doc.cut_box;
    double lo[3], hi[3];
    long long from[3], to[3];
    for (int c = 0; c < 3; ++c) {
        lo[c] = doc.enclosure.centre[c] - doc.enclosure.box[c] / 2;
        hi[c] = doc.enclosure.centre[c] + doc.enclosure.box[c] / 2;
        from[c] = static_cast<long long>(std::nearbyint(lo[c])) - 1;
        to[c] = static_cast<long long>(std::nearbyint(hi[c])) + 1;
    }
    auto inside = [&](double x, double y, double z) {
        return lo[0] <= x && x <= hi[0] && lo[1] <= y && y <= hi[1] && lo[2] <= z && z <= hi[2];
    };
    Kept kept{doc.metric, {}, false};
    if (cut) {
        for (const Atom& g : doc.gen) {
            const double rx = reduce(g.x), ry = reduce(g.y), rz = reduce(g.z);
            for (long long tx = from[0]; tx <= to[0]; ++tx)
                for (long long ty = from[1]; ty <= to[1]; ++ty)
                    for (long long tz = from[2]; tz <= to[2]; ++tz) {
                        const double x = rx + static_cast<double>(tx),
                                     y = ry + static_cast<double>(ty),
                                     z = rz + static_cast<double>(tz);
                        if (!inside(x, y, z)) continue;
                        if (cell_contents && doc.crystal_system == "HEXA" &&
                            !(std::fabs(x - y) <= 1.001))
                            continue;
                        if (!kept.keep(g, x, y, z, messages)) goto done;
                    }
        }
    } else {
        const auto frags = fragments_of(doc.gen);
        for (long long tx = from[0]; tx <= to[0]; ++tx)
            for (long long ty = from[1]; ty <= to[1]; ++ty)
                for (long long tz = from[2]; tz <= to[2]; ++tz)
                    for (const auto& f : frags) {
                        bool any = false;
                        for (int a : f)
                            any = any || inside(doc.gen[a].x + static_cast<double>(tx),
                                                doc.gen[a].y + static_cast<double>(ty),
                                                doc.gen[a].z + static_cast<double>(tz));
                        if (!any) continue;
                        for (int a : f)
                            if (!kept.keep(doc.gen[a], doc.gen[a].x + static_cast<double>(tx),
                                           doc.gen[a].y + static_cast<double>(ty),
                                           doc.gen[a].z + static_cast<double>(tz), messages))
                                goto done;
                    }
    }
done:
    doc.gen = kept.atoms;
}

void fill_sphere(StructureDocument& doc, Messages& messages) {
    const double r = doc.enclosure.radius;
    const Vec3 centre = doc.enclosure.centre;
    long long m[3];
    for (int c = 0; c < 3; ++c)
        m[c] = static_cast<long long>(std::nearbyint(r / doc.metric.cell[c])) + 1;
    Kept kept{doc.metric, {}, false};
    if (doc.cut_sphere) {
        for (const Atom& g : doc.gen) {
            const double rx = reduce(g.x), ry = reduce(g.y), rz = reduce(g.z);
            for (long long tx = -m[0]; tx <= m[0]; ++tx)
                for (long long ty = -m[1]; ty <= m[1]; ++ty)
                    for (long long tz = -m[2]; tz <= m[2]; ++tz) {
                        const Vec3 p{rx + static_cast<double>(tx), ry + static_cast<double>(ty),
                                     rz + static_cast<double>(tz)};
                        if (!(distance(centre, p, doc.metric) <= r)) continue;
                        if (!kept.keep(g, p[0], p[1], p[2], messages)) goto done;
                    }
        }
    } else {
        const auto frags = fragments_of(doc.gen);
        for (long long tx = -m[0]; tx <= m[0]; ++tx)
            for (long long ty = -m[1]; ty <= m[1]; ++ty)
                for (long long tz = -m[2]; tz <= m[2]; ++tz)
                    for (const auto& f : frags) {
                        bool any = false;
                        for (int a : f) {
                            const Vec3 p{doc.gen[a].x + static_cast<double>(tx),
                                         doc.gen[a].y + static_cast<double>(ty),
                                         doc.gen[a].z + static_cast<double>(tz)};
                            any = any || distance(centre, p, doc.metric) < r;
                        }
                        if (!any) continue;
                        for (int a : f)
                            if (!kept.keep(doc.gen[a], doc.gen[a].x + static_cast<double>(tx),
                                           doc.gen[a].y + static_cast<double>(ty),
                                           doc.gen[a].z + static_cast<double>(tz), messages))
                                goto done;
                    }
    }
done:
    doc.gen = kept.atoms;
}

void generate(StructureDocument& doc, Messages& messages) {
    doc.asym_backup = doc.asym;
    doc.gen.clear();
    if (doc.asym.empty()) {
        doc.gen_labels.clear();
        doc.display.clear();
        doc.bonds.clear();
        return;
    }
    check_asymmetric_unit(doc, messages);
    const GenerationMode mode = doc.generation_mode;
    const bool fragments = mode == GenerationMode::Fragments || mode == GenerationMode::Sphere ||
                           mode == GenerationMode::Box;
    if (fragments) direct::assemble_asym_fragments(doc);
    direct::make_generated_atoms(doc, messages);
    if (fragments) direct::assemble_generated_fragments(doc, messages);
    direct::merge_coincident_atoms(doc);
    for (Atom& a : doc.gen) {
        a.drawn = 1;
        a.labelled = 1;
    }
    if (mode == GenerationMode::Box || mode == GenerationMode::CellContents)
        direct::fill_box(doc, messages);
    if (mode == GenerationMode::Sphere) direct::fill_sphere(doc, messages);
    doc.asym = doc.asym_backup;
    doc.display = doc.gen;
    doc.gen_labels.clear();
    for (const Atom& a : doc.gen)
        doc.gen_labels.push_back((a.element + a.label).substr(0, 25));
    direct::search_bonds(doc, messages);
}

}  // namespace veldor::direct
