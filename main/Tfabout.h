#pragma once
// "About": the program's name, version and what it does.

#include <QDialog>

namespace veldor {

class Tfabout : public QDialog {
    Q_OBJECT
  public:
    explicit Tfabout(QWidget* parent = nullptr);
};

}  // namespace veldor
