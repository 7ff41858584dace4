#pragma once

// Every window of the program, each opened on a small book, for the tests that sweep them all.

#include "Books.h"
#include "WindowSteps.h"
#include "accounts/AccountForm.h"
#include "catalogue/OpenForm.h"
#include "entries/InputForm.h"
#include "interchange/ImportForm.h"
#include "maintenance/DelForm.h"
#include "platform/codepage.h"
#include "reports/journal/DiaryForm.h"
#include "reports/period/ChartsForm.h"
#include "reports/period/PeriodForm.h"
#include "reports/period/period.h"
#include "reports/statements/BSForm.h"
#include "search/SearchForm.h"
#include "ui/main/AboutForm.h"
#include "ui/main/MainForm.h"
#include "users/LoginForm.h"
#include "users/NewUserForm.h"

#include <QTableWidget>
#include <QTemporaryFile>

#include <functional>
#include <memory>
#include <utility>

namespace testwindows {

using Opener = std::function<std::unique_ptr<QWidget>(testbooks::Books&)>;

template <class Form>
Opener plain() {
  return [](testbooks::Books& b) { return std::make_unique<Form>(b.store); };
}

inline const std::pair<const char*, Opener> kWindows[] = {
    {"MainForm",
     [](testbooks::Books& b) {
       auto window = std::make_unique<MainForm>(b.store);
       b.store.FillAccountLists();
       window->showAccount(1);  // the cash, below nothing
       return window;
     }},
    {"LoginForm", plain<LoginForm>()},
    {"NewUserForm", plain<NewUserForm>()},
    {"OpenForm", plain<OpenForm>()},
    {"AccountForm", plain<AccountForm>()},
    {"BSForm", plain<BSForm>()},
    {"DiaryForm", plain<DiaryForm>()},
    {"DelForm", [](testbooks::Books& b) { return std::make_unique<DelForm>(b.store, b.view); }},
    {"InputForm", [](testbooks::Books& b) { return std::make_unique<InputForm>(b.store, b.view); }},
    {"SearchForm",
     [](testbooks::Books& b) {
       auto form = std::make_unique<SearchForm>(b.store);
       // An amount that is none shows the window's warning line.
       child<QLineEdit>(*form, "AmountFrom")->setText(QStringLiteral("十元"));
       return form;
     }},
    {"PeriodForm", plain<PeriodForm>()},
    {"ChartsForm",
     [](testbooks::Books& b) {
       return std::make_unique<ChartsForm>(
           b.store, period::buildReport(b.store, period::monthPeriod(2024, 7)));
     }},
    {"ImportForm",
     [](testbooks::Books& b) {
       auto form = std::make_unique<ImportForm>(b.store);
       // A statement read: an amount paid out, and a line that cannot be read.
       auto* statement = new QTemporaryFile(QDir::tempPath() + "/XXXXXX.csv", form.get());
       if (!statement->open()) qFatal("no temporary file");
       statement->write(codepage::encode(QStringLiteral(
           "交易日期,摘要,支出,存入\r\n112/07/05,午餐,85,\r\n112/13/01,錯誤,1,\r\n")));
       statement->flush();
       child<QLineEdit>(*form, "FilePath")->setText(statement->fileName());
       click(*form, "Read");
       if (child<QTableWidget>(*form, "Preview")->rowCount() != 2) qFatal("statement not read");
       return form;
     }},
    {"AboutForm",
     [](testbooks::Books&) {
       return std::make_unique<AboutForm>(QStringLiteral("readme.htm"),
                                          QStringLiteral("someone@example.org"));
     }},
};

// A cash account spent below nothing: negative amounts and totals in its ledger.
inline void fill(testbooks::Books& b) {
  b.entry("2024/07/01", "A-現金", "Equity", 1500, QStringLiteral("初值"));
  b.entry("2024/07/02", "E-餐", "A-現金", 2000);
}

// The window of one row, built over a small book with negative amounts, then shown.
struct ShownWindow {
  testbooks::Books book{{"A-現金", "Equity", "L-卡", "E-餐"}};
  std::unique_ptr<QWidget> form;

  explicit ShownWindow(int row) {
    fill(book);
    form = kWindows[static_cast<size_t>(row)].second(book);
    form->show();
  }
};

inline void addRows() {
  QTest::addColumn<int>("window");
  for (size_t i = 0; i < std::size(kWindows); ++i) QTest::newRow(kWindows[i].first) << int(i);
}

}  // namespace testwindows
