#pragma once

#include "platform/widgets/FixedDialog.h"
#include "reports/period/period.h"

#include <QImage>

#include <vector>

class Module1;
class QTabWidget;

// "圖表": where the money went, income against expense by month, and net worth at month ends.
// A chart with nothing to show says "沒有資料" in its place.
class ChartsForm : public FixedDialog {
  Q_OBJECT

 public:
  ChartsForm(Module1& store, const period::Report& report, QWidget* parent = nullptr);

  // The chart on the tab shown, as a picture; a null image when the tab has no chart.
  QImage currentImage() const;

 private:
  void savePng();
  void copyImage();

  Module1& store_;
  QTabWidget* tabs_;
};

// The three charts drawn as pictures of the given size, for printing; a chart without data
// is left out.
std::vector<QImage> chartImages(const Module1& store, const period::Report& report, QSize size);

// Shows the charts of the period modally.
void openCharts(Module1& store, const period::Report& report, QWidget* parent);
