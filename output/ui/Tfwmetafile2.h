#pragma once
// "Metafile create": the width of the metafile picture in pixels and its
// pen width; OK asks for the file and writes the metafile of the picture.

#include <QDialog>
#include <optional>
#include <string>

#include "output/page_layout.h"
#include "output/ui/output_commands.h"

class QLineEdit;

namespace veldor {

// What a box that must hold a whole number says when it does not.
std::string integer_read_error(const std::string& text);
inline constexpr const char* kMetafileWidthRange = "The width must lie between 16 and 20000 pixels";
inline constexpr const char* kMetafilePenRange = "The pen width must lie between 1 and 50";

// The two boxes as settings; nullopt after the message that refuses them.
std::optional<MetafileSettings> read_metafile_settings(const std::string& width,
                                                       const std::string& pen_width,
                                                       Messages& messages);

class Tfwmetafile2 : public QDialog {
    Q_OBJECT
  public:
    explicit Tfwmetafile2(const OutputContext& ctx, QWidget* parent = nullptr);

  public slots:
    // OK: reads both boxes (a refused box keeps its text and the window
    // stays), asks for the file, writes the metafile and closes; a
    // cancelled file dialog closes the window too.
    void cree_metafile();

  private:
    OutputContext ctx_;
    QLineEdit* width_ = nullptr;
    QLineEdit* pen_width_ = nullptr;
};

}  // namespace veldor
