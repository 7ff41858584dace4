#pragma once

#include "interchange/journalexport.h"
#include "interchange/journalrows.h"
#include "platform/widgets/FixedDialog.h"

#include <vector>

class Dialogs;
class JournalModel;
namespace book {
class Workspace;
}
class QPushButton;
class QTreeView;

// "日記帳": every entry in slot order, with the two exports of what the list shows.
class DiaryForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr char kList[] = "Liv1";
  static constexpr char kSaveCsv[] = "Cmd1";
  static constexpr char kSaveText[] = "Cmd2";
  static constexpr char kPrint[] = "Print";
  static constexpr char kSavePdf[] = "SavePdf";
  static constexpr char kOtherExports[] = "ExportOthers";  // a menu of the two below
  static constexpr char kExportCsvUtf8[] = "ExportCsvUtf8";
  static constexpr char kExportJournal[] = "ExportJournal";
  static constexpr char kOk[] = "Cmd0";

  // The list is filled once, before the window is shown.
  explicit DiaryForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent = nullptr);

  // The rows as the list holds them, in list order.
  const std::vector<interchange::JournalRow>& rowsShown() const;

 private:
  void buildList();
  void buildButtons();
  void exportAs(interchange::ExportKind kind);

  book::Workspace& store_;
  Dialogs& dialogs_;
  JournalModel* model_;
  QTreeView* list_;
  QPushButton* okButton_;
  QPushButton* csvButton_;
  QPushButton* textButton_;
};

// The journal with its two exports (DiaryForm).
void openJournal(book::Workspace& store, Dialogs& dialogs, QWidget* parent);
