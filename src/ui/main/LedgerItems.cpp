#include "ui/main/LedgerItems.h"

#include "platform/widgets/colours.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/style.h"

#include <QHeaderView>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTreeWidget>

#include <utility>

namespace {

const QColor kRed(254, 54, 60);

// The running total a row shows in 累計, kept with the row for lastRunningTotal().
constexpr int kTotalRole = Qt::UserRole;

// The ledger's cells with the narrowest margins the style allows: 日期 is only wide enough
// for the check box and a whole date when nothing else takes room.
class CompactCells : public ProgramStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_FocusFrameHMargin) return 1;
    if (metric == PM_IndicatorWidth || metric == PM_IndicatorHeight) return 12;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

// One ledger row. Its cells are read from the row itself instead of being copied into the
// item one by one: the busiest ledger has thousands of rows and is rebuilt after every change.
// Whatever is set on the item later (a tick, a text) is stored as usual and takes precedence.
class LedgerItem : public QTreeWidgetItem {
 public:
  LedgerItem(store::LedgerRow row, bool coloured)
      : QTreeWidgetItem(UserType), row_(std::move(row)), coloured_(coloured) {
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  }

  QVariant data(int column, int role) const override {
    QVariant stored = QTreeWidgetItem::data(column, role);
    if (stored.isValid()) return stored;
    switch (role) {
      case Qt::DisplayRole:
      case Qt::EditRole:
        return cellText(column);
      case Qt::CheckStateRole:
        if (column == DateColumn) return static_cast<int>(Qt::Unchecked);
        break;
      case Qt::TextAlignmentRole:
        if (column == AmountColumn || column == TotalColumn || column == NumberColumn) {
          return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
        }
        break;
      case Qt::ForegroundRole:
        if (coloured_ && ((column == AmountColumn && row_.amountRed) ||
                          (column == TotalColumn && row_.totalRed))) {
          // Lightened on a dark theme's background, where the red alone is hard to read.
          const QTreeWidget* view = treeWidget();
          return QBrush(view ? readableOn(kRed, view->palette().color(QPalette::Base)) : kRed);
        }
        break;
      case kTotalRole:
        if (column == TotalColumn) return row_.runningTotal;
        break;
      default:
        break;
    }
    return {};
  }

  void setData(int column, int role, const QVariant& value) override {
    // Setting the tick it already has is no change and tells nobody.
    if (role == Qt::CheckStateRole && data(column, role) == value) return;
    QTreeWidgetItem::setData(column, role, value);
  }

 private:
  QString cellText(int column) const {
    switch (column) {
      case DateColumn:
        return row_.date;
      case OtherColumn:
        return row_.other;
      case AmountColumn:
        return row_.amount;
      case TotalColumn:
        return row_.total;
      case MemoColumn:
        return row_.memo;
      case NumberColumn:
        return row_.number;
      default:
        return {};
    }
  }

  store::LedgerRow row_;
  bool coloured_;
};

}  // namespace

void setUpLedger(QTreeWidget& ledger) {
  // Fixed-pitch digits keep amounts and totals in columns and a whole date within 日期.
  ledger.setFont(fixedPitchFont(9));
  auto* cells = new CompactCells;
  cells->setParent(&ledger);
  ledger.setStyle(cells);
  ledger.setAccessibleName(QStringLiteral("帳目"));
  ledger.setColumnCount(6);
  ledger.setHeaderLabels({QStringLiteral("日期"), QStringLiteral("類別"), QStringLiteral("金額"),
                          QStringLiteral("累計"), QStringLiteral("備註"), QStringLiteral("編號")});
  ledger.header()->setMinimumSectionSize(16);  // 編號 is narrower than the style's minimum
  const int widths[] = {80, 115, 70, 70, 160, 36};
  for (int column = 0; column < 6; ++column) ledger.setColumnWidth(column, widths[column]);
  for (int column : {AmountColumn, TotalColumn, NumberColumn}) {
    ledger.headerItem()->setTextAlignment(column, Qt::AlignRight | Qt::AlignVCenter);
  }
  ledger.header()->setStretchLastSection(false);
  ledger.header()->setSectionsMovable(false);
  ledger.setRootIsDecorated(false);
  ledger.setUniformRowHeights(true);
  ledger.setAllColumnsShowFocus(true);
  ledger.setSelectionMode(QAbstractItemView::SingleSelection);
  ledger.setSelectionBehavior(QAbstractItemView::SelectRows);
  ledger.setEditTriggers(QAbstractItemView::NoEditTriggers);
  ledger.setSortingEnabled(false);
}

QTreeWidgetItem* makeLedgerItem(store::LedgerRow row, bool coloured) {
  return new LedgerItem(std::move(row), coloured);
}

namespace {

// A small padlock, drawn rather than loaded: the ledger's only picture.
QIcon lockIcon() {
  static const QIcon icon = [] {
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor green(30, 130, 60);
    p.setPen(QPen(green, 1.4));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 0.8, 6, 7), 0, 180 * 16);
    p.drawLine(QPointF(3, 4.3), QPointF(3, 6));
    p.drawLine(QPointF(9, 4.3), QPointF(9, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(green);
    p.drawRoundedRect(QRectF(1.5, 5.5, 9, 6), 1, 1);
    return QIcon(pixmap);
  }();
  return icon;
}

}  // namespace

void markReconciled(QTreeWidgetItem& item, const QString& reconciliation) {
  const QString tip = QStringLiteral("已對帳（%1）").arg(reconciliation);
  item.setData(MemoColumn, Qt::DecorationRole, lockIcon());
  for (int column = DateColumn; column <= NumberColumn; ++column)
    item.setData(column, Qt::ToolTipRole, tip);
  item.setData(MemoColumn, Qt::AccessibleTextRole, tip + QLatin1Char(' ') + item.text(MemoColumn));
}

qint64 runningTotalOf(const QTreeWidgetItem& item) {
  return item.data(TotalColumn, kTotalRole).toLongLong();
}
