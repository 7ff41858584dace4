#pragma once

#include <QDialog>

class QPushButton;

// A modal dialog of the program: fixed size, no working close button in its title bar, closing
// by the window manager (or Alt+F4) ignored, and Esc doing nothing unless the dialog has a
// cancel button, which Esc then clicks. The Qt form of removing the Close command from a
// window's system menu.
class FixedDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FixedDialog(QWidget* parent = nullptr);

  // Fixes the client area (pixels).
  void setClientSize(int width, int height);
  // The button that Esc clicks; none by default.
  void setCancelButton(QPushButton* button) { cancelButton_ = button; }

  // Leaves the dialog from code (its own buttons call these).
  void leave(int result = QDialog::Accepted);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  QPushButton* cancelButton_ = nullptr;
  bool leaving_ = false;
};
