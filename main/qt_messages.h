#pragma once
// Message boxes for the program: warnings with an OK button, Yes/No/Cancel
// questions, the system beep and the hourglass cursor.

#include <QPointer>
#include <QWidget>

#include "core/messages.h"

namespace veldor {

class QtMessages : public Messages {
  public:
    explicit QtMessages(QWidget* parent = nullptr) : parent_(parent) {}
    void set_parent(QWidget* parent) { parent_ = parent; }

    void warn(const std::string& text) override;
    Answer confirm(const std::string& text) override;
    void beep() override;
    void busy(bool on) override;

  private:
    QPointer<QWidget> parent_;
};

}  // namespace veldor
