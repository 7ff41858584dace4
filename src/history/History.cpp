#include "history/History.h"

#include "history/steps.h"
#include "store/booktables.h"

#include <utility>

History::History(int depth) : depth_(depth) {}

History::~History() = default;

QString History::undoName() const { return done_.empty() ? QString() : done_.back()->name; }

QString History::redoName() const { return undone_.empty() ? QString() : undone_.back()->name; }

void History::record(const history::Tables& before, const store::BookTables& tables,
                     const QString& name) {
  auto step = history::makeStep(before, tables, name);
  if (!pendingSides_.empty()) {
    if (!step) {
      step = std::make_unique<history::Step>();
      step->name = name;
      step->touchesTables = false;
    }
    step->sides = std::move(pendingSides_);
    pendingSides_.clear();
  }
  if (!step) return;
  done_.push_back(std::move(step));
  while (static_cast<int>(done_.size()) > depth_) done_.pop_front();
  undone_.clear();
  emit changed();
}

void History::recordSide(const QString& name, std::unique_ptr<history::SideChange> change) {
  if (!change) return;
  if (stepsUnderWay_ > 0) {
    pendingSides_.push_back(std::move(change));
    return;
  }
  auto step = std::make_unique<history::Step>();
  step->name = name;
  step->touchesTables = false;
  step->sides.push_back(std::move(change));
  done_.push_back(std::move(step));
  while (static_cast<int>(done_.size()) > depth_) done_.pop_front();
  undone_.clear();
  emit changed();
}

std::optional<Message> History::undo(store::BookTables& tables) {
  return cross(tables, history::Direction::Backward);
}

std::optional<Message> History::redo(store::BookTables& tables) {
  return cross(tables, history::Direction::Forward);
}

std::optional<Message> History::cross(store::BookTables& tables, history::Direction direction) {
  const bool backward = direction == history::Direction::Backward;
  Steps& from = backward ? done_ : undone_;
  Steps& to = backward ? undone_ : done_;
  const QString verb = backward ? QStringLiteral("復原") : QStringLiteral("重做");
  if (from.empty()) return refusal(QStringLiteral("沒有可以%1的動作").arg(verb));

  history::Step& step = *from.back();
  if (step.touchesTables && !history::apply(step, tables, direction)) {
    // Something changed the book outside the history: a step taken now would mix the two.
    const QString name = step.name;
    clear();
    return refusal(
        QStringLiteral("無法%1「%2」：帳本已經和當時不同，之前的步驟都無法再%1").arg(verb, name));
  }
  // The side files follow, the last made first on the way back.
  const auto back = backward ? history::Direction::Forward : history::Direction::Backward;
  const auto count = static_cast<std::ptrdiff_t>(step.sides.size());
  for (std::ptrdiff_t k = 0; k < count; ++k) {
    auto& side = *step.sides[static_cast<size_t>(backward ? count - 1 - k : k)];
    const auto failed = side.cross(direction);
    if (!failed) continue;
    // Everything crossed so far goes back: the step stays whole, to be tried again.
    for (std::ptrdiff_t j = k - 1; j >= 0; --j) {
      (void)step.sides[static_cast<size_t>(backward ? count - 1 - j : j)]->cross(back);
    }
    if (step.touchesTables) (void)history::apply(step, tables, back);
    return refusal(QStringLiteral("無法%1「%2」：%3").arg(verb, step.name, *failed));
  }
  to.push_back(std::move(from.back()));
  from.pop_back();
  emit changed();
  return std::nullopt;
}

void History::clear() {
  if (done_.empty() && undone_.empty()) return;
  done_.clear();
  undone_.clear();
  emit changed();
}

void History::belongTo(const QString& bookFolder) {
  if (bookFolder != book_) clear();
  book_ = bookFolder;
}

std::size_t History::bytes() const {
  std::size_t total = 0;
  for (const auto& step : done_) total += step->bytes();
  for (const auto& step : undone_) total += step->bytes();
  return total;
}

HistoryStep::HistoryStep(History& history, const store::BookTables& tables, QString name)
    : history_(history), tables_(tables), name_(std::move(name)) {
  if (history_.stepsUnderWay_++ == 0) {
    before_ = std::make_unique<history::Tables>(history::tablesOf(tables_));
  }
}

HistoryStep::~HistoryStep() {
  --history_.stepsUnderWay_;
  if (before_) history_.record(*before_, tables_, name_);
}
