#pragma once

#include <QMainWindow>

class Module1;

class MainForm : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainForm(Module1& store, QWidget* parent = nullptr);

  // The start-up sequence; false when the program ends before a database was opened.
  bool start();

 private:
  Module1& store_;
};
