#pragma once
// The drawing window's two labelling panels: "Tools for labelling" (atom
// labels) and "Bonds labelling". Each holds a check list whose entries act
// at once when ticked (only one stays ticked); the window decides what a
// ticked entry does.

#include <QGroupBox>

class QButtonGroup;
class QListWidget;
class QListWidgetItem;
class QWidget;

namespace veldor {

inline constexpr int kHelpLabelling = 9;

// A check list in which ticking an entry reports it and unticks the others.
class CheckList : public QObject {
    Q_OBJECT
  public:
    CheckList(QListWidget* list, const QStringList& entries);
    void untick_all();
    void set_ticked(int entry, bool ticked);
    // A tick that was refused: the entry ticked before it comes back.
    void refuse(int entry);
    bool ticked(int entry) const;
    QListWidget* list() const { return list_; }

  signals:
    void ticked_entry(int entry);

  private:
    QListWidget* list_;
    bool updating_ = false;
    int previous_ = -1;  // the entry ticked before the last tick
};

class LabellingPanel : public QGroupBox {
    Q_OBJECT
  public:
    enum Entry {
        Font,
        WriteOffCentre,
        WriteInCentre,
        DeleteLabel,
        DeleteAll,
        DeleteCentred,
        DeleteMoved,
        DeleteArea,
        RestoreCentred,
        RestoreMoved,
    };
    explicit LabellingPanel(QWidget* parent = nullptr);
    CheckList* entries() const { return entries_; }
    // The moved-label mode: the "Add the position code?" group (the
    // window shows the explanation over the picture).
    void show_moved_label_mode(bool on);
    bool moved_label_mode() const;
    bool position_code() const;
    void set_position_code(bool yes);

  signals:
    void help_requested(int context);
    void close_requested();
    void position_code_changed(bool yes);

  private:
    CheckList* entries_;
    QGroupBox* position_code_;
    QButtonGroup* position_code_group_;
};

class BondLabellingPanel : public QGroupBox {
    Q_OBJECT
  public:
    enum Entry { Font, WriteBondLabel, DeleteAll };
    explicit BondLabellingPanel(QWidget* parent = nullptr);
    CheckList* entries() const { return entries_; }
    bool oblique() const;
    void set_oblique(bool oblique);

  signals:
    void close_requested();
    void string_setting_changed(bool oblique);

  private:
    CheckList* entries_;
    QButtonGroup* string_setting_;
};

}  // namespace veldor
