#include "drawing/tools.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "core/metric.h"
#include "core/text.h"
#include "drawing/bond_edits.h"
#include "generation/bonds.h"

namespace veldor {

namespace {

// Tools that pick atoms show every atom labelled in centre while they run.
bool picks_atoms(Tool t) {
    switch (t) {
        case Tool::Distance:
        case Tool::Angle:
        case Tool::Coordination:
        case Tool::BondAddDelete:
        case Tool::CustomiseBond:
        case Tool::MaskAtoms:
        case Tool::MaskFragment:
        case Tool::RingMiddle:
        case Tool::MeanPlane:
        case Tool::DirectionTwoAtoms:
        case Tool::PlaneThreeAtoms:
        case Tool::CentreAtom:
            return true;
        default:
            return false;
    }
}

// Below this the three atoms of a base plane are taken as aligned.
constexpr double kAlignedTolerance = 1e-8;

}  // namespace

std::string distance_prompt(const std::string& a, const std::string& b, double distance) {
    return "\tDistance " + a + "-" + b + " =" + format_fixed(distance, 7, 3) +
           " (Click on the right button to end or click again on a first atom to continue)";
}

std::string angle_prompt(const std::string& a, const std::string& b, const std::string& c,
                         double degrees) {
    return "Angle " + a + "-" + b + "-" + c + " =" + format_fixed(degrees, 6, 2) +
           " (Click right to stop)";
}

std::optional<double> angle_at(const Vec3& a, const Vec3& b, const Vec3& c) {
    const Vec3 u = {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
    const Vec3 v = {c[0] - b[0], c[1] - b[1], c[2] - b[2]};
    const double lu = length(u), lv = length(v);
    if (lu == 0 || lv == 0) return std::nullopt;
    const double cosine = std::clamp(dot(u, v) / (lu * lv), -1.0, 1.0);
    return std::acos(cosine) * kRadToDeg;
}

ToolSession::ToolSession(StructureDocument& doc, DrawingState& state, Messages& messages)
    : doc_(doc), state_(state), messages_(messages) {}

bool ToolSession::is_rectangle_tool(Tool t) {
    return t == Tool::MaskRectangle || t == Tool::MaskBonds || t == Tool::Translation ||
           t == Tool::ZoomIn || t == Tool::DeleteLabelArea;
}

void ToolSession::show(const std::string& text, Colour colour) {
    prompt_ = {text, colour, true};
}

Vec3 ToolSession::cartesian(int atom) const {
    return frac_to_cart(doc_.display[static_cast<std::size_t>(atom)].position(), doc_.metric);
}

const std::string& ToolSession::name(int atom) const {
    return doc_.display[static_cast<std::size_t>(atom)].name;
}

bool ToolSession::repeats(int atom) const {
    return std::find(picks_.begin(), picks_.end(), atom) != picks_.end();
}

ToolOutcome ToolSession::start(Tool tool) {
    ToolOutcome out;
    if (tool == Tool::ZoomIn && is_rectangle_tool(tool_)) return out;
    if (tool == Tool::Translation && tool_ == Tool::Translation) return out;
    if (tool_ != Tool::None) {
        cancel();
        out.redraw = true;
    }
    tool_ = tool;
    if (tool == Tool::None) return out;
    state_.view.mouse_mode = 0;
    if (picks_atoms(tool)) {
        saved_labels_ = save_label_state(doc_, state_.options);
        show_centred_labels_for_picking(doc_, state_.options);
        out.redraw = true;
    }
    switch (tool) {
        case Tool::Distance:
            show(kDistancePrompt);
            break;
        case Tool::Angle:
            show(kAnglePrompt);
            break;
        case Tool::Coordination:
            show(kCoordinationPrompt);
            break;
        case Tool::BondAddDelete:
            show(kBondToggleStartPrompt);
            break;
        case Tool::CustomiseBond:
            show(kCustomiseStartPrompt, kPromptCyan);
            out.request = ToolRequest::BondStyleDialog;
            break;
        case Tool::MaskAtoms:
            show(kMaskAtomsPrompt);
            break;
        case Tool::MaskRectangle:
            show(kMaskRectanglePrompt);
            break;
        case Tool::MaskFragment:
            show(kMaskFragmentPrompt);
            break;
        case Tool::MaskBonds:
            show(kMaskBondsPrompt);
            break;
        case Tool::Translation:
            show(kTranslationPrompt);
            break;
        case Tool::RingMiddle:
            show(kRingPrompt);
            break;
        case Tool::MeanPlane: {
            // Results of an earlier plane must not be taken for the new one.
            std::error_code ec;
            for (const char* f : {"plan.dat", "plan.sor"})
                std::filesystem::remove(std::filesystem::path(env_.work_dir) / f, ec);
            out.request = ToolRequest::MeanPlaneOpen;
            break;
        }
        case Tool::DirectionTwoAtoms:
            show(kDirectionFirstPrompt);
            break;
        case Tool::PlaneThreeAtoms:
            show(kPlaneFirstPrompt);
            break;
        case Tool::CentreAtom:
            show(kCentreAtomPrompt);
            break;
        case Tool::ZoomIn:
            show(kZoomPrompt);
            break;
        case Tool::LabelOffCentre:
            prompt_.visible = false;  // the explanation text stands for the prompt
            break;
        case Tool::LabelInCentre:
            show(kLabelInCentrePrompt);
            break;
        case Tool::DeleteLabel:
            show(kDeleteLabelPrompt);
            break;
        case Tool::DeleteLabelArea:
            show(kDeleteLabelAreaPrompt);
            break;
        case Tool::BondLabel:
            show(kBondLabelPrompt, kPromptCyan);
            break;
        case Tool::None:
            break;
    }
    if (prompt_.visible || tool == Tool::LabelOffCentre) messages_.beep();
    return out;
}

bool ToolSession::refuse_label_entry() {
    if (!prompt_.visible && !explanation_visible()) return false;
    messages_.beep();
    messages_.beep();
    messages_.warn(kStopFirstMessage);
    return true;
}

void ToolSession::press(Point at) {
    press_ = at;
    pressed_ = true;
}

std::optional<PixelRect> ToolSession::rubber_band(Point pointer) const {
    if (!pressed_ || !is_rectangle_tool(tool_) || translation_panel_) return std::nullopt;
    return drag_rectangle(press_, pointer);
}

ToolOutcome ToolSession::release(Point at, bool left_button) {
    const bool was_pressed = pressed_;
    pressed_ = false;
    if (!left_button) return end();
    if (tool_ == Tool::None) return {};
    if (is_rectangle_tool(tool_)) {
        if (!was_pressed || !is_drag(press_, at) || translation_panel_) return {};
        return rectangle(drag_rectangle(press_, at));
    }
    return click(at);
}

ToolOutcome ToolSession::click(Point at) {
    ToolOutcome out;
    // Picks of a drawing whose atoms have been replaced since are dropped.
    const int n = static_cast<int>(doc_.display.size());
    std::erase_if(picks_, [n](int a) { return a >= n; });
    std::erase_if(ring_, [n](const RingPick& p) { return p.atom >= n; });
    // The second click of a moved label or a bond label places it anywhere.
    if (tool_ == Tool::LabelOffCentre && !picks_.empty()) {
        place_label(doc_, state_.view, picks_.front(), at.x, at.y, label_box_text_);
        picks_.clear();
        label_box_visible_ = false;
        out.redraw = true;
        return out;
    }
    if (tool_ == Tool::BondLabel && pending_bond_) {
        place_bond_label(doc_, state_.view, *pending_bond_, at.x, at.y, label_box_text_,
                         state_.options.oblique_bond_labels);
        pending_bond_.reset();
        label_box_visible_ = false;
        show(kBondLabelPrompt, kPromptCyan);
        out.redraw = true;
        return out;
    }
    const std::optional<int> atom = pick_atom(doc_, state_.view, page(), at);
    if (!atom) {
        messages_.beep();
        messages_.warn(kNotIdentifiedAtom);
        return out;
    }
    return picked_atom(*atom);
}

ToolOutcome ToolSession::picked_atom(int atom) {
    ToolOutcome out;
    // Tools that need distinct atoms wait for another one after a repeat.
    const bool distinct = tool_ == Tool::Angle || tool_ == Tool::BondAddDelete ||
                          tool_ == Tool::CustomiseBond || tool_ == Tool::DirectionTwoAtoms ||
                          tool_ == Tool::PlaneThreeAtoms || tool_ == Tool::BondLabel;
    if (distinct && repeats(atom)) {
        messages_.beep();
        return out;
    }
    switch (tool_) {
        case Tool::Distance:
            picks_.push_back(atom);
            if (picks_.size() == 2) {
                const double d = length(subtract(cartesian(picks_[0]), cartesian(picks_[1])));
                show(distance_prompt(name(picks_[0]), name(picks_[1]), d));
                picks_.clear();
            }
            break;
        case Tool::Angle:
            picks_.push_back(atom);
            if (picks_.size() == 1) show(kSecondAtomPrompt);
            if (picks_.size() == 2) show(kThirdAtomPrompt);
            if (picks_.size() == 3) {
                const auto a =
                    angle_at(cartesian(picks_[0]), cartesian(picks_[1]), cartesian(picks_[2]));
                show(
                    angle_prompt(name(picks_[0]), name(picks_[1]), name(picks_[2]), a.value_or(0)));
                picks_.clear();
            }
            break;
        case Tool::Coordination:
            out.request = ToolRequest::CoordinationWindow;
            out.atoms = {atom};
            break;
        case Tool::BondAddDelete:
            picks_.push_back(atom);
            if (picks_.size() == 1) {
                show(kSecondAtomPrompt);
            } else {
                toggle_bond(doc_, state_.view, picks_[0], picks_[1], messages_);
                show(kBondToggleAgainPrompt);
                picks_.clear();
                out.redraw = true;
            }
            break;
        case Tool::CustomiseBond:
            picks_.push_back(atom);
            if (picks_.size() == 1) {
                show(kCustomiseSecondPrompt, kPromptCyan);
            } else {
                if (customise_bond(doc_, picks_[0], picks_[1], state_.bond_style.colour,
                                   state_.bond_style.radius))
                    out.redraw = true;
                else
                    messages_.beep();
                show(kCustomiseFirstPrompt, kPromptCyan);
                picks_.clear();
            }
            break;
        case Tool::MaskAtoms:
            mask_atom(doc_, atom);
            if (!state_.view.zoomed) set_up_scene(doc_, state_, env_.height);
            out.redraw = true;
            break;
        case Tool::MaskFragment:
            mask_fragment(doc_, atom);
            finish();
            out.redraw = true;
            break;
        case Tool::RingMiddle: {
            const std::size_t i = static_cast<std::size_t>(atom);
            ring_.push_back({atom, doc_.display[i].position(), state_.view.points[i]});
            picks_.push_back(atom);
            break;
        }
        case Tool::MeanPlane:
            if (static_cast<int>(picks_.size()) >= kMeanPlaneMaxAtoms) {
                messages_.warn(kMeanPlaneLimitMessage);
                break;
            }
            picks_.push_back(atom);
            out.request = ToolRequest::MeanPlaneAtom;
            out.atoms = {atom};
            break;
        case Tool::DirectionTwoAtoms:
            picks_.push_back(atom);
            if (picks_.size() == 1) {
                show(kDirectionSecondPrompt);
            } else {
                direction_by_two_atoms(doc_, state_, picks_[0], picks_[1], env_, messages_);
                finish();
                out.redraw = true;
            }
            break;
        case Tool::PlaneThreeAtoms:
            if (picks_.size() == 2) {
                const Vec3 r1 = cartesian(picks_[0]), r2 = cartesian(picks_[1]);
                const Vec3 n = cross(subtract(r2, r1), subtract(r2, cartesian(atom)));
                if (length(n) < kAlignedTolerance) {
                    messages_.beep();  // aligned atoms define no plane
                    break;
                }
            }
            picks_.push_back(atom);
            if (picks_.size() == 1) show(kSecondAtomPrompt);
            if (picks_.size() == 2) show(kThirdAtomPrompt);
            if (picks_.size() == 3) {
                base_plane_by_three_atoms(doc_, state_, picks_[0], picks_[1], picks_[2], env_,
                                          messages_);
                finish();
                out.redraw = true;
            }
            break;
        case Tool::CentreAtom:
            centre_on_atom(state_.view, atom);
            finish();
            out.redraw = true;
            break;
        case Tool::LabelOffCentre:
            messages_.beep();
            messages_.beep();
            messages_.beep();
            picks_ = {atom};
            label_box_text_ = current_label(doc_, atom);
            label_box_visible_ = true;
            break;
        case Tool::LabelInCentre:
            centre_label(doc_, atom);
            messages_.beep();
            messages_.beep();
            messages_.beep();
            out.redraw = true;
            break;
        case Tool::DeleteLabel:
            delete_label(doc_, atom);
            out.redraw = true;
            break;
        case Tool::BondLabel:
            picks_.push_back(atom);
            if (picks_.size() == 1) {
                show(kSecondAtomPrompt, kPromptCyan);
                break;
            }
            pending_bond_ = find_bond(doc_, picks_[0], picks_[1], true);
            picks_.clear();
            if (!pending_bond_) {
                messages_.beep();  // no drawn bond joins them: start again
                show(kBondLabelPrompt, kPromptCyan);
                break;
            }
            label_box_text_ =
                bond_label_proposal(doc_.bonds[static_cast<std::size_t>(*pending_bond_)].length);
            label_box_visible_ = true;
            show(kBondLabelPlacePrompt, kPromptCyan);
            break;
        default:
            break;
    }
    return out;
}

ToolOutcome ToolSession::rectangle(const PixelRect& r) {
    ToolOutcome out;
    const PageGeometry pg = page();
    switch (tool_) {
        case Tool::MaskRectangle:
            if (messages_.confirm(kMaskRectangleQuestion) == Answer::Yes) {
                mask_atoms_inside(doc_, atoms_in_rectangle(doc_, state_.view, pg, r, false));
                recompute_ellipsoids(doc_, state_, env_, messages_);
                set_up_scene(doc_, state_, env_.height);
                state_.options.labels_in_centre = false;
                out.redraw = true;
            }
            finish();
            break;
        case Tool::MaskBonds:
            if (messages_.confirm(kMaskBondsQuestion) == Answer::Yes) {
                mask_bonds_inside(doc_, atoms_in_rectangle(doc_, state_.view, pg, r, false));
                out.redraw = true;
            }
            finish();
            break;
        case Tool::DeleteLabelArea:
            if (messages_.confirm(kDeleteLabelsQuestion) == Answer::Yes) {
                delete_labels(doc_, atoms_in_rectangle(doc_, state_.view, pg, r, false));
                out.redraw = true;
            }
            finish();
            break;
        case Tool::Translation:
            to_translate_ = atoms_in_rectangle(doc_, state_.view, pg, r, true);
            translation_panel_ = true;
            out.request = ToolRequest::TranslationPanel;
            break;
        case Tool::ZoomIn: {
            const std::optional<int> track =
                zoom_rectangle(state_, {r.left, r.top}, {r.right, r.bottom}, env_);
            if (track) {
                out.zoom_track = track;
                out.zoom_text = zoom_text(state_.view.zoom, 2);
            }
            finish();
            out.redraw = true;
            break;
        }
        default:
            break;
    }
    return out;
}

ToolOutcome ToolSession::translation_ok(const std::array<std::string, 3>& boxes) {
    ToolOutcome out;
    if (tool_ != Tool::Translation || !translation_panel_) return out;
    const std::optional<std::array<int, 3>> t = read_translation(boxes, messages_);
    if (!t) return out;  // the panel stays open with what was typed
    if ((*t)[0] == 0 && (*t)[1] == 0 && (*t)[2] == 0) {
        finish();
        out.redraw = true;
        return out;
    }
    translate_atoms(doc_, to_translate_, *t);
    finish();
    set_up_scene(doc_, state_, env_.height);
    out.redraw = true;
    return out;
}

ToolOutcome ToolSession::bond_style_chosen(bool ok) {
    ToolOutcome out;
    if (tool_ != Tool::CustomiseBond) return out;
    if (!ok) {
        cancel();
        out.redraw = true;
        return out;
    }
    picks_.clear();
    show(kCustomiseFirstPrompt, kPromptCyan);
    return out;
}

void ToolSession::finish() {
    if (saved_labels_) restore_label_state(doc_, state_.options, *saved_labels_);
    saved_labels_.reset();
    tool_ = Tool::None;
    prompt_ = {};
    picks_.clear();
    ring_.clear();
    label_box_visible_ = false;
    pending_bond_.reset();
    translation_panel_ = false;
    to_translate_.clear();
    pressed_ = false;
    state_.view.mouse_mode = 1;
}

void ToolSession::cancel() {
    finish();
}

ToolOutcome ToolSession::end() {
    ToolOutcome out;
    if (tool_ == Tool::None) return out;
    const Tool tool = tool_;
    const std::vector<RingPick> ring = ring_;
    const std::vector<int> plane = picks_;
    finish();
    out.redraw = true;
    if (tool == Tool::RingMiddle) {
        if (add_ring_middle(doc_, state_.dummy, ring, messages_)) {
            recompute_ellipsoids(doc_, state_, env_, messages_);
            set_up_scene(doc_, state_, env_.height);
            out.request = ToolRequest::DummyStyleDialog;
        }
    } else if (tool == Tool::MeanPlane) {
        out.request = ToolRequest::MeanPlaneDone;
        out.atoms = plane;
    }
    return out;
}

void reset_drawing(StructureDocument& doc, DrawingState& state, const DrawingEnvironment& env,
                   Messages& messages) {
    ViewState& v = state.view;
    v.zoom = 1.0;
    v.scale = v.base_scale;
    restore_display(doc);
    if (v.zoomed || v.screen_centre[0] != env.width / 2 || v.screen_centre[1] != env.height / 2) {
        v.screen_centre[0] = env.width / 2;
        v.screen_centre[1] = env.height / 2;
        if (!v.saved_points.empty()) v.points = v.saved_points;
    }
    v.zoomed = false;
    v.saved_points.clear();
    v.mouse_mode = 1;
    recompute_ellipsoids(doc, state, env, messages);
    search_bonds(doc, messages);
    set_up_scene(doc, state, env.height);
}

}  // namespace veldor
