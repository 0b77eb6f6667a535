#pragma once
// "Space group symbol": the notice shown when a command needs a space-group
// symbol the structure does not have (the CIF writer gives its lines).

#include <QDialog>
#include <QStringList>

namespace veldor {

class Tfget_sp : public QDialog {
    Q_OBJECT
  public:
    explicit Tfget_sp(const QStringList& lines, QWidget* parent = nullptr);
    QString text() const;

  private:
    QStringList lines_;
};

}  // namespace veldor
