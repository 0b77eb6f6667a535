#pragma once
// Orientation and projection of the drawing: the view-coordinate table and
// its fit into the picture, mouse rotation and translation, orientation
// from axes, atoms or the best view, the centre atom, zoom, and the small
// read-outs (projection direction, orientation picture).
//
// Frames: fractional; Cartesian crystal frame (x along a*, z along c);
// view frame in angstrom with X right, Y up, Z towards the viewer. The
// projection is orthographic.
//
// Nothing here ends the program: a singular matrix shows its message and
// leaves the view as it was.

#include <array>
#include <optional>
#include <string>

#include "core/document.h"
#include "core/messages.h"
#include "drawing/canvas.h"
#include "drawing/drawing_state.h"

namespace veldor {

// Picture sizes of the drawing window (normal and compact layout).
inline constexpr int kPictureSize = 692;
inline constexpr int kCompactPictureSize = 525;

// Radians per pixel of mouse motion in "Rotation XY".
inline constexpr double kRadiansPerPixel = 0.01;
// Below this the one-axis construction falls back to the identity.
inline constexpr double kAxisParallelTolerance = 0.0001;
// Two given axes whose unit vectors' dot product exceeds this are refused.
inline constexpr double kPerpendicularTolerance = 0.01;
// A rotation is accepted when |det| lies within this of 1.
inline constexpr double kUnitDeterminantTolerance = 0.001;
// Starting value of the largest squared distance in the fit.
inline constexpr double kFitStart = 0.0001;

inline constexpr const char* kMouseRotationSingular = "erreur dans dessin ligne 1427";
inline constexpr const char* kConsistencyOrientationSingular = "erreur dans oemath ligne 1936";
inline constexpr const char* kConsistencyRotationSingular = "erreur dans oemath ligne 1942";
inline constexpr const char* kOneAxisRotationSingular = "erreur dans oemath ligne 1066";
inline constexpr const char* kOneAxisOrientationSingular = "erreur dans oemath ligne 1072";
inline constexpr const char* kTwoAxesOrientationSingular = "erreur dans oemath ligne 1885";
inline constexpr const char* kTwoAxesRotationSingular = "erreur dans oemath ligne 2010";
inline constexpr const char* kThreeAxesSingular = "erreur dans oemath ligne 2032";
inline constexpr const char* kNotPerpendicularMessage = "Error! The vectors are not perpendicular";
inline constexpr const char* kDeterminantMessage = " Math error (determinant)";
inline constexpr const char* kThreeAxesDeterminantMessage =
    " The matrix determinant is different from 1";
inline constexpr const char* kTypeErrorMessage = "Type error";

// What the view routines need beyond the document and the drawing state.
struct DrawingEnvironment {
    int width = kPictureSize;  // picture size in pixels
    int height = kPictureSize;
    std::string work_dir = ".";  // where espion.txt goes
};

// The screen's page geometry: the picture size, screen_centre and scale.
PageGeometry screen_page(const ViewState& view, const DrawingEnvironment& env);

// Ellipsoids of every displayed atom at the current probability and thermal
// mode, then their outlines for the current rotation.
void recompute_ellipsoids(const StructureDocument& doc, DrawingState& state,
                          const DrawingEnvironment& env, Messages& messages);

// Scene set-up: view coordinates of the displayed atoms (and the cell
// corners, and the ring point), recentred on the visible points (or on the
// ring point), and the fit: base_scale and scale. Clears rotation_angles.
void set_up_scene(const StructureDocument& doc, DrawingState& state, int image_height);

// Window set-up when the drawing window is activated: mouse mode "Rotation
// XY", view origin in the picture centre, ellipsoids and outlines, scene.
void initialise_view(const StructureDocument& doc, DrawingState& state,
                     const DrawingEnvironment& env, Messages& messages);

// Incremental rotations of the mouse: the matrix for a motion of (dx, dy)
// pixels in "Rotation XY", and for the pointer going from `from` to `to`
// around the view origin (x0, y0) in "Rotation Z", with the angles turned.
struct IncrementalRotation {
    Mat3 matrix = identity3();
    Vec3 angles{};  // radians about screen X, Y, Z
};
IncrementalRotation rotation_xy(double dx, double dy);
IncrementalRotation rotation_z(Point from, Point to, int x0, int y0);

// Applies a mouse rotation: switches the shading off, adds the angles,
// turns view_matrix and every derived matrix, turns the view table in place
// (no recentring) and recomputes the outlines. A singular result shows
// kMouseRotationSingular and changes nothing.
bool apply_rotation(DrawingState& state, const Metric& metric, const IncrementalRotation& r,
                    Messages& messages);

// "Translation": moves the view origin by (dx, dy) pixels.
void translate_view(ViewState& view, int dx, int dy);

// Makes every matrix consistent with columns 1 and 2 of orientation_matrix
// (re-orthogonalised in Cartesian space).
bool make_consistent(ViewState& view, const Metric& metric, Messages& messages);

// The orientation dialog's three rows.
enum class AxisSpace { Direct, Reciprocal };
struct AxisRow {
    Vec3 v{};
    AxisSpace space = AxisSpace::Reciprocal;
};
struct OrientationRequest {
    // The dialog's start: X direct, Y and Z reciprocal, all zero.
    std::array<AxisRow, 3> rows{AxisRow{{}, AxisSpace::Direct}, AxisRow{}, AxisRow{}};
};

// One box of the dialog: an empty box is 0; a box that does not read as a
// number shows "Type error", is emptied and counts as 0.
double read_axis_box(std::string& text, Messages& messages);

enum class OrientationResult {
    Unchanged,  // no row given: the dialog closes without change
    Refused,    // a check failed: the dialog stays open, the view is unchanged
    Applied,    // the matrices were set and made consistent
};
// OK of the dialog: normalises the given rows, runs the one-, two- or
// three-axes check and makes the matrices consistent. The caller then
// recomputes the ellipsoids and sets the scene up again.
OrientationResult set_orientation_from_axes(ViewState& view, const Metric& metric,
                                            const OrientationRequest& request, Messages& messages);

// The checks themselves, on the rows already stored in orientation_inverse
// (direct components) and orientation_matrix. k, i, j are 0-based rows.
bool orient_one_axis(ViewState& view, const Metric& metric, int k, Messages& messages);
bool orient_two_axes(ViewState& view, const Metric& metric, int i, int j, Messages& messages);
bool orient_three_axes(ViewState& view, const Metric& metric, Messages& messages);

// Projection along a Cartesian direction, then ellipsoids, outlines and
// scene set-up again. False when a matrix was singular.
bool project_along(const StructureDocument& doc, DrawingState& state, const Vec3& cartesian,
                   const DrawingEnvironment& env, Messages& messages);

// Direction of projection from displayed atom a1 through a2 (0-based).
bool direction_by_two_atoms(const StructureDocument& doc, DrawingState& state, int a1, int a2,
                            const DrawingEnvironment& env, Messages& messages);
// Projection on the plane of three displayed atoms (0-based).
bool base_plane_by_three_atoms(const StructureDocument& doc, DrawingState& state, int a1, int a2,
                               int a3, const DrawingEnvironment& env, Messages& messages);

// The atoms "B.View" chooses: the farthest pair in view space, then the
// atom farthest from its midpoint; atoms 1, 2, 3 when there are exactly
// three; none with fewer.
std::optional<std::array<int, 3>> best_view_atoms(const ViewState& view);
// "B.View": projection on the plane of those atoms. False when nothing
// happened.
bool best_view(const StructureDocument& doc, DrawingState& state, const DrawingEnvironment& env,
               Messages& messages);

// Makes displayed atom `atom` (0-based) the view origin and so the centre
// of later rotations. screen_centre does not move.
void centre_on_atom(ViewState& view, int atom);

// "Scale" track bar (-4..10): zoom = 1 + 0.2 position, scale follows.
void set_zoom_track(ViewState& view, int position);
// The scale box: " X " with the zoom and `decimals` decimals.
std::string zoom_text(double zoom, int decimals);
// The scale box after a scene set-up.
inline constexpr const char* kZoomResetText = "X 1.0";
inline constexpr const char* kZoomOutText = "X 1.00";

// "Zoop in": the rectangle from `press` to `release` (pixels). A drag of 2
// pixels or less, or a rectangle holding no point, changes nothing and
// gives nullopt; otherwise the points inside are centred and fill the
// picture width, and the new track-bar position (-4..10) is returned.
std::optional<int> zoom_rectangle(DrawingState& state, Point press, Point release,
                                  const DrawingEnvironment& env);
// "Zoop out": zoom 1, mouse mode "Rotation XY", scene set-up.
void reset_zoom(const StructureDocument& doc, DrawingState& state, const DrawingEnvironment& env);

// The projection direction (view Z in fractional components) divided by its
// largest absolute component, and its three box texts (F10.5).
struct ProjectionDirection {
    Vec3 uvw{};
    std::array<std::string, 3> texts;
};
ProjectionDirection projection_direction(const ViewState& view);

// The small orientation picture: the cell's twelve edges in yellow on blue
// with the letters o, a, b, c, as turned by view_matrix.
void draw_orientation_picture(Canvas& canvas, const Mat3& view_matrix, int width, int height);

}  // namespace veldor
