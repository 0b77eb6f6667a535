#pragma once
// The main window: the hub from which a structure is loaded or typed in,
// its symmetry and atoms are fixed, and the plot is started.

#include <QMainWindow>

#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"

class QAction;
class QLabel;

namespace veldor {

class HelpWindow;
class Tfdessin;

// Help topics of the main window.
inline constexpr int kHelpGeneration = 1;
inline constexpr int kHelpData = 4;
inline constexpr int kHelpMain = 7;
inline constexpr int kHelpGetspec = 12;

class Tfmainmenu : public QMainWindow {
    Q_OBJECT
  public:
    Tfmainmenu(StructureDocument& doc, DrawingState& drawing, ProgramPaths paths,
               Messages& messages, QWidget* parent = nullptr);

    // True when the screen is too narrow (800 px or less) for the full layout.
    bool compact_layout() const { return compact_; }
    HelpWindow* help_window() const { return help_; }
    Tfdessin* drawing_window() const { return dessin_; }
    QString space_group_text() const;
    // The menu actions by their object names ("Exit", "Plot", ...), for tests.
    QAction* action(const QString& name) const;

    // The caption for a data file, or for a title and the VLD file it came from.
    static QString caption_for(const QString& file_name);

  public slots:
    void aide();      // menu Help
    void a_propos();  // menu About
    void show_help(int context);
    void trace_ortep();  // Plot

    // The load commands (lit_veldor, lit_shelx, lit_cif, lit_lazy,
    // lit_powder, lit_fichier_tessard): an empty name opens the file dialog.
    void load_file(StructureFileKind kind, const QString& file_name = {});
    // Loads a file by its extension, as for the file named on the command line.
    void load_by_extension(const QString& file_name);
    // Save commands: an empty name opens the file dialog.
    void Veldorfile2Click(const QString& file_name = {});
    void sauve_fichier_shelx(const QString& file_name = {});

  signals:
    // Emitted once, when the window is first activated with a start-up file.
    void startup_file_pending(const QString& name);

  protected:
    bool event(QEvent* e) override;

  private:
    void build_menus();
    void first_activation();
    void check_frame_size();
    QString open_file(const QString& filter);
    static QString file_filter(StructureFileKind kind);
    void after_load(const std::string& space_group_caption);
    void show_drawing();

    Tfdessin* dessin_ = nullptr;
    // A VLD file named on the command line is read by the first Plot.
    QString pending_vld_;
    StructureDocument& doc_;
    ProgramPaths paths_;
    Messages& messages_;
    DrawingState& drawing_;
    HelpWindow* help_ = nullptr;
    QLabel* status_ = nullptr;
    bool compact_ = false;
    bool activated_once_ = false;
};

}  // namespace veldor
