#include "reports/journal/DiaryForm.h"

#include "book/workspace.h"
#include "interchange/exports.h"
#include "platform/dialogs.h"
#include "platform/widgets/build.h"
#include "platform/widgets/fonts.h"
#include "platform/widgets/screen.h"
#include "reports/journal/document.h"
#include "store/ledger.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTreeView>

#include <algorithm>

// The journal's rows for the list view; the list never changes while the window is open.
class JournalModel : public QAbstractTableModel {
 public:
  JournalModel(std::vector<interchange::JournalRow> rows, QObject* parent)
      : QAbstractTableModel(parent), rows_(std::move(rows)) {}

  const std::vector<interchange::JournalRow>& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : 5;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    if (role == Qt::TextAlignmentRole) return alignment(index.column());
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const interchange::JournalRow& row = rows_[static_cast<size_t>(index.row())];
    // A name or memo too long for its column can be read whole in its tip.
    if (role == Qt::ToolTipRole) {
      if (index.column() == 1) return store::trimTrailingSpaces(row.increase);
      if (index.column() == 2) return store::trimTrailingSpaces(row.decrease);
      if (index.column() == 4 && !row.memo.isEmpty()) return row.memo;
      return {};
    }
    switch (index.column()) {
      case 0:
        return row.date;
      case 1:
        return row.increase;
      case 2:
        return row.decrease;
      case 3:
        return row.amount;
      default:
        return row.memo;
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::TextAlignmentRole) return alignment(section);
    if (role != Qt::DisplayRole) return {};
    static const char16_t* const kHeaders[] = {u"日期", u"資產增加", u"資產減少", u"金額", u"備註"};
    if (section < 0 || section > 4) return {};
    return QString::fromUtf16(kHeaders[section]);
  }

 private:
  static QVariant alignment(int column) {
    const Qt::Alignment a =
        column == 3 ? (Qt::AlignRight | Qt::AlignVCenter) : (Qt::AlignLeft | Qt::AlignVCenter);
    return QVariant::fromValue(a);
  }

  std::vector<interchange::JournalRow> rows_;
};

namespace {

// Shows a cell's text as a person reads it: the names' filling blanks would otherwise push an
// ellipsis into every name cell, and a memo's line breaks would hide all but its first line.
// The list keeps the texts themselves unchanged for the exports.
class CellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  QString displayText(const QVariant& value, const QLocale&) const override {
    QString text = value.toString();
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    while (text.endsWith(QLatin1Char(' '))) text.chop(1);
    return text;
  }
};

}  // namespace

DiaryForm::DiaryForm(book::Workspace& store, Dialogs& dialogs, QWidget* parent)
    : FixedDialog(parent),
      store_(store),
      dialogs_(dialogs),
      model_(new JournalModel(interchange::journalRows(store), this)) {
  setObjectName(QStringLiteral("DiaryForm"));
  setWindowTitle(QStringLiteral("日記帳"));
  setClientSize(616, 481);
  setFont(uiFont());
  buildList();
  buildButtons();
  centreOnScreen(*this);
}

void DiaryForm::buildList() {
  list_ = new QTreeView(this);
  list_->setObjectName(QLatin1String(kList));
  list_->setGeometry(8, 8, 601, 433);
  list_->setRootIsDecorated(false);
  list_->setItemsExpandable(false);
  list_->setUniformRowHeights(true);
  list_->setAllColumnsShowFocus(true);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setModel(model_);
  list_->setAccessibleName(QStringLiteral("日記帳"));
  list_->header()->setStretchLastSection(true);
  list_->header()->setSectionsMovable(false);
  list_->setItemDelegate(new CellDelegate(list_));
  // The date and the longest amount are never cut; the memo takes what is left beside the
  // vertical scroll bar.
  const QFontMetrics metrics = list_->fontMetrics();
  const int margin = 2 * list_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 4;
  const int dateWidth =
      std::max(65, metrics.horizontalAdvance(QStringLiteral("0000/00/00")) + margin);
  const int amountWidth =
      std::max(80, metrics.horizontalAdvance(QStringLiteral("-2147483648")) + margin);
  const int room = list_->width() - 2 * list_->frameWidth() -
                   list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - dateWidth - 2 * 115 -
                   amountWidth;
  const int widths[] = {dateWidth, 115, 115, amountWidth, std::max(room, 150)};
  for (int column = 0; column < 5; ++column) list_->setColumnWidth(column, widths[column]);
}

void DiaryForm::buildButtons() {
  csvButton_ = build::button(this, kSaveCsv, QStringLiteral("存成CSV檔(&C)"), {8, 448, 129, 25});
  textButton_ =
      build::button(this, kSaveText, QStringLiteral("存成純文字檔(T)"), {144, 448, 129, 25});
  okButton_ = build::button(this, kOk, QStringLiteral("確定"), {528, 448, 81, 25});
  okButton_->setDefault(true);
  QPushButton* print = build::button(this, kPrint, QStringLiteral("列印(&P)"), {280, 448, 70, 25});
  QPushButton* pdf =
      build::button(this, kSavePdf, QStringLiteral("存成PDF(&F)"), {355, 448, 82, 25});
  connect(print, &QPushButton::clicked, this,
          [this] { printing::print(dialogs_, printing::journalDocument(store_), this); });
  connect(pdf, &QPushButton::clicked, this, [this] {
    printing::saveAsPdf(dialogs_, printing::journalDocument(store_),
                        store_.user().databaseName() + QStringLiteral("-日記帳.pdf"), this);
  });

  connect(okButton_, &QPushButton::clicked, this, [this] { leave(QDialog::Accepted); });
  connect(csvButton_, &QPushButton::clicked, this,
          [this] { exportAs(interchange::ExportKind::Csv); });
  connect(textButton_, &QPushButton::clicked, this,
          [this] { exportAs(interchange::ExportKind::Text); });

  // The exports for other programs, a spreadsheet's CSV and a ledger/hledger journal, share one
  // button: the row has no room for two more.
  auto* others = new QMenu(this);
  QAction* csvUtf8 = others->addAction(QStringLiteral("CSV UTF-8(&U)"));
  csvUtf8->setObjectName(QLatin1String(kExportCsvUtf8));
  QAction* journal = others->addAction(QStringLiteral("純文字帳本(&L)"));
  journal->setObjectName(QLatin1String(kExportJournal));
  QPushButton* exports =
      build::button(this, kOtherExports, QStringLiteral("匯出(&E)"), {442, 448, 79, 25});
  exports->setMenu(others);
  connect(csvUtf8, &QAction::triggered, this, [this] {
    const QString path = dialogs_.chooseFile(
        interchange::otherExportRequest(store_, interchange::OtherExport::SpreadsheetCsv));
    if (!path.isEmpty())
      dialogs_.message(
          interchange::exportForOthers(store_, interchange::OtherExport::SpreadsheetCsv, path));
  });
  connect(journal, &QAction::triggered, this, [this] {
    const QString path = dialogs_.chooseFile(
        interchange::otherExportRequest(store_, interchange::OtherExport::Journal));
    if (!path.isEmpty())
      dialogs_.message(
          interchange::exportForOthers(store_, interchange::OtherExport::Journal, path));
  });
}

const std::vector<interchange::JournalRow>& DiaryForm::rowsShown() const { return model_->rows(); }

void DiaryForm::exportAs(interchange::ExportKind kind) {
  dialogs_.message(interchange::exportJournal(store_, rowsShown(), kind));
}

void openJournal(book::Workspace& store, Dialogs& dialogs, QWidget* parent) {
  DiaryForm form(store, dialogs, parent);
  dialogs.exec(form);
}
