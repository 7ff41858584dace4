#pragma once

#include "platform/widgets/FixedDialog.h"
#include "reports/period/period.h"
#include "ui/print/pages.h"

#include <QImage>

#include <vector>

class Dialogs;
namespace book {
class Workspace;
}
class QPushButton;
class QTabWidget;

// "圖表": where the money went, income against expense by month, and net worth at the ends of
// the period's months. A chart with nothing to show says "沒有資料" in its place. The charts
// follow the desktop's palette, light or dark.
class ChartsForm : public FixedDialog {
  Q_OBJECT

 public:
  static constexpr const char* kTabs = "Charts";
  static constexpr const char* kNoData = "NoData";
  static constexpr const char* kSavePng = "SavePng";
  static constexpr const char* kCopy = "Copy";
  static constexpr const char* kClose = "Close";

  ChartsForm(book::Workspace& store, Dialogs& dialogs, const period::Report& report,
             QWidget* parent = nullptr);

  // The chart on the tab shown, as a picture; a null image when the tab has no chart.
  QImage currentImage() const;

 private:
  void addChartTabs(const period::Report& report);
  void addButtons();
  void savePng();
  void copyImage();

  book::Workspace& store_;
  Dialogs& dialogs_;
  QTabWidget* tabs_;
  QPushButton* savePngButton_ = nullptr;
  QPushButton* copyButton_ = nullptr;
};

// The charts with data, for printing: each drawn anew, light, at the size it gets on paper.
std::vector<printing::Picture> chartPictures(const book::Workspace& store,
                                             const period::Report& report);

// Shows the charts of the period modally.
void openCharts(book::Workspace& store, Dialogs& dialogs, const period::Report& report,
                QWidget* parent);
