#pragma once
// The drawing window's mouse tools: which tool is active, what its next
// click means, the prompt it shows, and what it does when it has its atoms
// or its rectangle. The window forwards presses, releases and the right
// button here and shows the prompt, the label box and the rubber band this
// reports; every decision is made here, without a toolkit.
//
// Atom numbers are 0-based indexes of doc.display.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/atom_edits.h"
#include "drawing/drawing_state.h"
#include "drawing/labels.h"
#include "drawing/picking.h"
#include "drawing/view.h"

namespace veldor {

enum class Tool {
    None,
    Distance,           // "Dispay a bond length" (pique_distance)
    Angle,              // "diplay angle of three atoms" (pique_angle)
    Coordination,       // "Angles & Distances around an atom" (set_coordinance)
    BondAddDelete,      // "Delete/Add bond" (tue_liaison)
    CustomiseBond,      // "Customize  bonds" (customize_bond)
    MaskAtoms,          // "Mask atoms" (tue_atome)
    MaskRectangle,      // "Mask atoms in a rectangle" (select_atom_rect)
    MaskFragment,       // "Mask fragment" (masque_fragment)
    MaskBonds,          // "Mask bonds in a rectangle" (tue_liaisons)
    Translation,        // "Set translation" (set_translations)
    RingMiddle,         // "Set the ring middle" (centroid)
    MeanPlane,          // "Mean Plane determination" (set_mean_plane)
    DirectionTwoAtoms,  // "Set direction of projection" (set_direction_projection)
    PlaneThreeAtoms,    // "Projection on a plane" (matrice_sur_3atomes)
    CentreAtom,         // "Choose the centre atom" (selecte_centre)
    ZoomIn,             // "Zoop in" (set_zoom)
    LabelOffCentre,     // "Write a label off centre"
    LabelInCentre,      // "Write a label in centre"
    DeleteLabel,        // "Delete a label"
    DeleteLabelArea,    // "Delete a label area"
    BondLabel,          // "Write a bond label"
};

// Prompts and messages of the tools.
inline constexpr const char* kDistancePrompt =
    "To display a bond length: Click on two atoms. (Click on the right button to stop)";
inline constexpr const char* kAnglePrompt =
    "Angle Atom1-Atom2-Atom3Click on the first atom. (Click on the right button to cancel)";
inline constexpr const char* kSecondAtomPrompt = "Click on the second atom. Right button to cancel";
inline constexpr const char* kThirdAtomPrompt = "Click on the third atom. Right button to cancel";
inline constexpr const char* kCoordinationPrompt =
    "Distances and Angles around a central atom: click on the central atom (Right button to "
    "cancel)";
inline constexpr const char* kBondToggleStartPrompt =
    "To select a bond to Add/Delete: Click on the first atom";
inline constexpr const char* kBondToggleAgainPrompt =
    "To select a bond to Delete or add: Click on the first atom (click with right button to end)";
inline constexpr const char* kCustomiseStartPrompt =
    " Customize bond. Click on the first atom with the left button";
inline constexpr const char* kCustomiseFirstPrompt =
    "Customize a bond. Click on the first atom. Right button to cancel";
inline constexpr const char* kCustomiseSecondPrompt =
    "Customize a bond. Click on the second atom. Right button to cancel";
inline constexpr const char* kMaskAtomsPrompt =
    "Click on the atoms to be masked. (Click with the right button to stop)";
inline constexpr const char* kMaskRectanglePrompt =
    "Draw a rectangle around the atoms to be masked";
inline constexpr const char* kMaskFragmentPrompt = "Click on one atom of the frament to be masked.";
inline constexpr const char* kMaskBondsPrompt = "Draw a rectangle around the bonds to be masked";
inline constexpr const char* kTranslationPrompt =
    "Translation: Draw a rectangle around the fragment to be translated ";
inline constexpr const char* kRingPrompt = "Click on the atoms. Right button to end";
inline constexpr const char* kDirectionFirstPrompt =
    "The direction of the projection will be defined by 2 atoms: Click on the first atom. Right "
    "button to cancel";
inline constexpr const char* kDirectionSecondPrompt =
    "Click on the second atom. (Right button to end)";
inline constexpr const char* kPlaneFirstPrompt =
    "The base plane will be defined by 3 atoms. Click on the first atom. Right button to cancel";
inline constexpr const char* kCentreAtomPrompt = "Click on the atom for rotating around";
inline constexpr const char* kZoomPrompt = "Zoom. Click and drag the area of interest ";
inline constexpr const char* kLabelInCentrePrompt =
    "Write label in centre: Click on an atom with the left button.(right to end)";
inline constexpr const char* kDeleteLabelPrompt =
    "Delete label: Click on an atom with the left button.(right to end)";
inline constexpr const char* kDeleteLabelAreaPrompt =
    "Delete labels in a selected rectangle: Click and drag the area of interest";
inline constexpr const char* kBondLabelPrompt =
    "Click on the first atom with the left button to slect a bond";
inline constexpr const char* kBondLabelPlacePrompt = "Now Click on the place you want to write";
inline constexpr const char* kMoveLabelExplanation[2] = {
    "Label  editing and moving: To select the point where to write the label: Click first with "
    "the left button on the center of the atom, the current label appears in a yellow register in "
    "the lower left ",
    "hand corner of the image. Modify the label if necessary. Lastly click again on the beginning "
    "point to write. Click with the right button to end the process"};

inline constexpr const char* kNotIdentifiedAtom = "Not identified atom";
inline constexpr const char* kStopFirstMessage =
    "Stop first the current process (click the right button)";
inline constexpr const char* kMaskRectangleQuestion = "Do you want to delete the windows contents?";
inline constexpr const char* kMaskBondsQuestion =
    "Do you want to delete all the bonds in the window?";
inline constexpr const char* kDeleteLabelsQuestion =
    "Do you want to delete the labels in the window?";
inline constexpr const char* kMeanPlaneLimitMessage = "Nb of atoms exceeding 30!";
inline constexpr int kMeanPlaneMaxAtoms = 30;

inline constexpr Colour kPromptYellow = rgb(255, 255, 0);
inline constexpr Colour kPromptCyan = rgb(0, 255, 255);
// The rubber band of the rectangle tools.
inline constexpr Colour kRubberBandColour = rgb(128, 128, 128);

// "Distance " a-b " =" F7.3 and the rest of the prompt, after a tab.
std::string distance_prompt(const std::string& a, const std::string& b, double distance);
// "Angle " a-b-c " =" F6.2 " (Click right to stop)".
std::string angle_prompt(const std::string& a, const std::string& b, const std::string& c,
                         double degrees);
// The angle at b (degrees, with the program's 57.2957); nullopt when an
// arm has no length.
std::optional<double> angle_at(const Vec3& a, const Vec3& b, const Vec3& c);

// What the window must do after a tool event, beyond showing the prompt,
// the label box and the option controls, which it reads back each time.
enum class ToolRequest {
    None,
    TranslationPanel,    // show the lattice-vector panel and focus it
    BondStyleDialog,     // open "Bond customize"
    DummyStyleDialog,    // open "Dummy atom style" (a ring middle was made)
    CoordinationWindow,  // atoms[0] is the central atom
    MeanPlaneOpen,       // the mean-plane window opens
    MeanPlaneAtom,       // atoms[0] was added to the plane being picked
    MeanPlaneDone,       // atoms: the plane's atoms, in pick order
};
struct ToolOutcome {
    bool redraw = false;
    ToolRequest request = ToolRequest::None;
    std::vector<int> atoms;
    // After a zoom rectangle: the "Scale" track-bar position and its box.
    std::optional<int> zoom_track;
    std::string zoom_text;
};

struct Prompt {
    std::string text;
    Colour colour = kPromptYellow;
    bool visible = false;
};

class ToolSession {
  public:
    ToolSession(StructureDocument& doc, DrawingState& state, Messages& messages);

    // The picture size and work folder the tools compute with.
    void set_environment(const DrawingEnvironment& env) { env_ = env; }

    Tool active() const { return tool_; }
    // A tool waits for clicks: mouse rotation and translation are off.
    bool waiting_for_clicks() const { return tool_ != Tool::None; }
    static bool is_rectangle_tool(Tool t);
    const Prompt& prompt() const { return prompt_; }
    // The explanation of the moved-label tool (two lines) is shown.
    bool explanation_visible() const { return tool_ == Tool::LabelOffCentre; }
    // The label box at the lower left of the picture.
    bool label_box_visible() const { return label_box_visible_; }
    const std::string& label_box_text() const { return label_box_text_; }
    void set_label_box_text(std::string text) { label_box_text_ = std::move(text); }
    bool translation_panel_visible() const { return translation_panel_; }
    // The atoms picked so far by the active tool.
    const std::vector<int>& picked() const { return picks_; }

    // Starts a tool (ending the one that ran, whose labels come back). "Zoop
    // in" is ignored while another rectangle tool runs, "Set translation"
    // while it runs already.
    ToolOutcome start(Tool tool);
    // A labelling-list entry was ticked: while a prompt or the moved-label
    // explanation is shown it is refused with kStopFirstMessage and two
    // beeps (true).
    bool refuse_label_entry();

    // Mouse: press and release positions in picture pixels.
    void press(Point at);
    // The rubber band between the press and the pointer while a rectangle
    // tool drags (left button down).
    std::optional<PixelRect> rubber_band(Point pointer) const;
    ToolOutcome release(Point at, bool left_button);
    // The right button, "Return" and closing the window: the labels saved at
    // the start come back, the prompt and the label box go, mouse mode
    // "Rotation XY"; the ring middle is made and the mean plane handed over.
    ToolOutcome end();
    // The same without the end actions of the ring and the mean plane.
    void cancel();

    // The translation panel's OK with its three boxes.
    ToolOutcome translation_ok(const std::array<std::string, 3>& boxes);
    // "Bond customize" answered: OK starts picking the bonds with the
    // style it stored in state.bond_style; Cancel ends the tool.
    ToolOutcome bond_style_chosen(bool ok);

  private:
    void show(const std::string& text, Colour colour = kPromptYellow);
    void finish();
    ToolOutcome click(Point at);
    ToolOutcome rectangle(const PixelRect& r);
    ToolOutcome picked_atom(int atom);
    PageGeometry page() const { return screen_page(state_.view, env_); }
    Vec3 cartesian(int atom) const;
    const std::string& name(int atom) const;
    bool repeats(int atom) const;

    StructureDocument& doc_;
    DrawingState& state_;
    Messages& messages_;
    DrawingEnvironment env_;

    Tool tool_ = Tool::None;
    Prompt prompt_;
    std::vector<int> picks_;
    std::vector<RingPick> ring_;
    std::optional<LabelState> saved_labels_;
    bool label_box_visible_ = false;
    std::string label_box_text_;
    std::optional<int> pending_bond_;  // bond label waiting for its place
    bool translation_panel_ = false;
    std::vector<int> to_translate_;
    Point press_{};
    bool pressed_ = false;
};

// "Reset": zoom 1, the display copy restored with every atom drawn, the
// screen centre back in the middle when the picture was moved, mouse mode
// "Rotation XY", ellipsoids, bonds and the scene computed again.
void reset_drawing(StructureDocument& doc, DrawingState& state, const DrawingEnvironment& env,
                   Messages& messages);

}  // namespace veldor
