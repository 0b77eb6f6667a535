#pragma once
// The main window: the hub from which a structure is loaded or typed in,
// its cell, symmetry and atoms are fixed, the generation is chosen and the
// plot is started. It shows the document through the pure functions of
// entry/ and the libraries below; its panels hold no data of their own
// beyond their controls.
//
// Component names are those of the form: the cell fields "Edit1", "edit2"
// ... "edit6", the lists "ListBox1" (system), "ListBox2" (standard
// symbols), "ListBox3" (GETSPEC symbols), the grids "StringGrid1"
// (positions) and "StringGrid2" (asymmetric unit); tests find them by name.

#include <QMainWindow>
#include <functional>
#include <vector>

#include "core/adp.h"
#include "core/data_files.h"
#include "core/document.h"
#include "core/messages.h"
#include "drawing/drawing_state.h"
#include "entry/asym_grid.h"
#include "formats/cif_read.h"
#include "symmetry/operators.h"

class QAction;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QTableWidget;
class QTreeWidget;

namespace veldor {

class HelpWindow;
class Tfabout;
class Tfboite;
class Tfdessin;
class TfeffaceA;
class TfeffaceB;
class TfeffaceE;
class Tfformula;
class Tfget_sp;
class Tfquel_bloc;
class Tfsphere;
class Tftypliai;

// Help topics of the main window.
inline constexpr int kHelpGeneration = 1;
inline constexpr int kHelpData = 4;
inline constexpr int kHelpMain = 7;
inline constexpr int kHelpGetspec = 12;

// The "Save Data" pop-up opens at this screen position.
inline constexpr int kSaveMenuX = 250;
inline constexpr int kSaveMenuY = 240;

class Tfmainmenu : public QMainWindow {
    Q_OBJECT
  public:
    // Automatic: the compact arrangement on a screen 800 pixels wide or less.
    enum class Layout { Automatic, Normal, Compact };

    // FormCreate: drawing defaults, "No option", the panels, then the
    // dialogs in their order of creation.
    Tfmainmenu(StructureDocument& doc, DrawingState& drawing, ProgramPaths paths,
               Messages& messages, QWidget* parent = nullptr, Layout layout = Layout::Automatic);
    ~Tfmainmenu() override;

    bool compact_layout() const { return compact_; }
    QString space_group_text() const;
    // The menu actions by their object names ("Exit", "trace_ortep", ...).
    QAction* action(const QString& name) const;
    static QString caption_for(const QString& file_name);
    ThermalExpression thermal_expression() const;
    // The "Save Data" pop-up (visible after sauvegarde_data).
    QMenu* save_menu() const { return save_menu_; }

    // The windows the main window opens.
    HelpWindow* help_window() const { return help_; }
    Tfdessin* drawing_window() const { return dessin_; }
    Tfboite* box_dialog() const { return boite_; }
    Tfsphere* sphere_dialog() const { return sphere_; }
    Tftypliai* bond_lengths_dialog() const { return typliai_; }
    TfeffaceA* delete_atoms_dialog() const { return effaceA_; }
    TfeffaceB* delete_block_dialog() const { return effaceB_; }
    TfeffaceE* delete_elements_dialog() const { return effaceE_; }
    Tfabout* about_dialog() const { return about_; }
    Tfformula* formula_dialog() const { return formula_; }
    Tfquel_bloc* block_dialog() const { return quel_bloc_; }
    Tfget_sp* space_group_notice() const { return get_sp_; }

    // Windows other parts of the program provide: "Coord." opens the
    // coordination calculation, "Display the list of generated atoms"
    // shows the list after generating. Each button stays disabled until
    // its command is given.
    void set_coordination_command(std::function<void()> open);
    void set_generated_list_command(std::function<void()> show);
    // Replaces the "Select a data block" dialog (batch-like runs, pictures).
    void set_block_chooser(CifBlockChooser chooser) { block_chooser_ = std::move(chooser); }

  public slots:
    void aide();             // menu Help (topic 7)
    void a_propos();         // menu About
    void help_data();        // "Data Help " (topic 4)
    void generation_help();  // "GenerationHelp " (topic 1)
    void BitBtn1Click();     // help of the GETSPEC panel (topic 12)
    void show_help(int context);

    void trace_ortep();        // Plot
    void affiche_child();      // "Display the list of generated atoms"
    void data_keyboard();      // "Data keybord"
    void litdonneesclavier();  // "OK" of typed data
    void Calcul_varnel();      // "Coord."

    // The load commands (lit_veldor, lit_shelx, lit_cif, lit_lazy,
    // lit_powder, lit_fichier_tessard): an empty name opens the file dialog.
    void load_file(StructureFileKind kind, const QString& file_name = {});
    // Loads a file by its extension, as for the file named on the command line.
    void load_by_extension(const QString& file_name);
    // Save commands: an empty name opens the file dialog.
    void Veldorfile2Click(const QString& file_name = {});
    void sauve_fichier_shelx(const QString& file_name = {});
    void sauve_fichier_cif(const QString& file_name = {});
    void sauvegarde_data();  // "Save Data": the pop-up of the two formats

    void efface_atome();     // "A"
    void efface_bloc();      // "B"
    void effaace_element();  // "E"
    void restaure();         // "Restore the initial Data"
    void erase_tout();       // "Erase all the coordinates"
    void modif_liaisons();   // "Edit/Modify bonds length limits"

    void selection_thermal_expression(int id);            // "Uij" 0, "Bij" 1, "Betaij" 2
    void Iso_aniso(int id);                               // "Aniso" 0, "Iso" 1
    void select_all();                                    // "Select All"
    void unselect_all();                                  // "Unselect All"
    void click_system(int row);                           // a click in "System"
    void click_standard_group(int row);                   // a click in "Standard symbols"
    void click_groupe_getspec(int row);                   // a click in "GETSPEC  symbols"
    void check_generation_option(int row, bool checked);  // the generation check list

  signals:
    // Emitted once, when the window is first activated with a start-up file.
    void startup_file_pending(const QString& name);
    // Before a structure is loaded or typed: results of the last one go.
    void structure_loading();
    // The drawing window's check boxes were cleared and its label tools go
    // back to their first item, "Font".
    void drawing_checks_reset();
    // "Iso" (true) hides the drawing window's "Thermal parameters" choice,
    // "Aniso" (false) shows it again.
    void isotropic_display(bool iso);
    // The start-up file does not exist: the program ends (status 1).
    void startup_failed();

  protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    // Building (Tfmainmenu_panels.cpp).
    void build_menus();
    void build_panels();
    QGroupBox* build_cell_panel();
    QGroupBox* build_positions_panel();
    QGroupBox* build_asym_panel();
    QGroupBox* build_generation_panel();
    void arrange_panels();
    void create_dialogs();

    // Start-up and loading (Tfmainmenu.cpp).
    void first_activation();
    void check_frame_size();
    QString open_file(int filter_index);
    QString save_file(int filter_index);
    std::string save_target(const QString& given, int filter_index, const std::string& extension);
    std::optional<int> choose_block(const std::vector<CifBlockInfo>& blocks);
    void after_load(StructureFileKind kind, const std::string& space_group_caption);
    void show_drawing();
    bool plot_for_display();

    // The panels and the document (Tfmainmenu_data.cpp).
    std::array<std::string, 6> cell_texts() const;
    void show_cell(const std::array<bool, 6>* constrained = nullptr);
    std::vector<PositionsGridRow> positions_rows() const;
    void show_positions(const std::vector<PositionsGridRow>& rows);
    void clear_positions();
    void show_position_count();
    void paint_position_row(int row);
    std::vector<AsymGridRow> asym_rows() const;
    void show_asym(const std::vector<AsymGridRow>& rows);
    void show_asym_row(int row, const AsymGridRow& cells);
    void show_asym_headings();
    void refill_asym();
    void set_error_cell(const GridCell& cell);
    void show_generation_option(GenerationMode mode);
    void show_lists(const std::vector<std::string>& standard, int standard_index,
                    const std::vector<std::string>& getspec, int getspec_index);
    void set_data_panels(bool cell, bool positions, bool asym, bool generation);
    void after_group_chosen();
    void asym_cell_changed(int row, int column, int previous_row, int previous_column);
    void cell_field_left(int field);
    void position_cell_clicked(int row, int column);
    // Reads what the panels hold into the document before a command: the
    // cell when it changed, the positions grid and the asymmetric grid.
    // Messages on failure ("Cell parameters error" or, at Plot, "No cell
    // parameters"; "Decoding Error: ..."; the red cell and "Coordinates
    // read error").
    bool read_data_panels(bool for_plot);
    // Reads pending edits of the asymmetric grid (before a dialog shows
    // the atoms); false after the red cell.
    bool take_asym_edits();

    StructureDocument& doc_;
    DrawingState& drawing_;
    ProgramPaths paths_;
    Messages& messages_;
    bool compact_ = false;
    bool activated_once_ = false;
    bool typing_ = false;   // between "Data keybord" and its "OK"
    bool filling_ = false;  // the window itself is writing into its controls
    bool asym_edited_ = false;
    ThermalExpression shown_expression_ = ThermalExpression::U;
    GridCell error_cell_;
    // Where the space-group symbol came from: the SHELX writer takes its
    // SYMM lines from the catalogue or from the interpreter's "scfs.dat".
    enum class SymbolSource { File, Catalogue, Interpreter } symbol_source_ = SymbolSource::File;
    // A VLD file named on the command line is read by the first Plot.
    QString pending_vld_;
    CifBlockChooser block_chooser_;
    std::function<void()> coordination_command_;
    std::function<void()> generated_list_command_;

    // Cell and symmetry panel.
    QGroupBox* cell_panel_ = nullptr;
    QLineEdit* cell_[6] = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
    QListWidget* systems_ = nullptr;   // ListBox1
    QListWidget* standard_ = nullptr;  // ListBox2
    QTreeWidget* getspec_ = nullptr;   // ListBox3: symbol, Hall symbol, number
    // Positions panel.
    QGroupBox* positions_panel_ = nullptr;
    QLabel* space_group_label_ = nullptr;
    QLabel* position_count_ = nullptr;
    QTableWidget* positions_ = nullptr;  // StringGrid1
    // Asymmetric-unit panel.
    QGroupBox* asym_panel_ = nullptr;
    QTableWidget* asym_ = nullptr;  // StringGrid2
    QLabel* grid_error_ = nullptr;
    QButtonGroup* expression_ = nullptr;
    QButtonGroup* iso_aniso_ = nullptr;
    QPushButton* typed_ok_ = nullptr;
    QPushButton* coord_ = nullptr;
    // Generation panel.
    QGroupBox* generation_panel_ = nullptr;
    QListWidget* options_ = nullptr;
    QPushButton* generated_list_ = nullptr;
    QPushButton* plot_ = nullptr;
    QMenu* save_menu_ = nullptr;

    HelpWindow* help_ = nullptr;
    Tfdessin* dessin_ = nullptr;
    TfeffaceE* effaceE_ = nullptr;
    Tftypliai* typliai_ = nullptr;
    Tfboite* boite_ = nullptr;
    TfeffaceA* effaceA_ = nullptr;
    TfeffaceB* effaceB_ = nullptr;
    Tfsphere* sphere_ = nullptr;
    Tfabout* about_ = nullptr;
    Tfformula* formula_ = nullptr;
    Tfquel_bloc* quel_bloc_ = nullptr;
    Tfget_sp* get_sp_ = nullptr;
};

}  // namespace veldor
