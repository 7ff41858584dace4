#include "history/History.h"

#include "history/steps.h"
#include "store/Module1.h"

#include <utility>

History::History(int depth) : depth_(depth) {}

History::~History() = default;

QString History::undoName() const { return done_.empty() ? QString() : done_.back()->name; }

QString History::redoName() const { return undone_.empty() ? QString() : undone_.back()->name; }

void History::record(const history::Tables& before, const Module1& store, const QString& name) {
  auto step = history::makeStep(before, store, name);
  if (!step) return;
  done_.push_back(std::move(step));
  while (static_cast<int>(done_.size()) > depth_) done_.pop_front();
  undone_.clear();
  emit changed();
}

std::optional<Message> History::undo(Module1& store) {
  return cross(store, history::Direction::Backward);
}

std::optional<Message> History::redo(Module1& store) {
  return cross(store, history::Direction::Forward);
}

std::optional<Message> History::cross(Module1& store, history::Direction direction) {
  const bool backward = direction == history::Direction::Backward;
  Steps& from = backward ? done_ : undone_;
  Steps& to = backward ? undone_ : done_;
  const QString verb = backward ? QStringLiteral("復原") : QStringLiteral("重做");
  if (from.empty()) return refusal(QStringLiteral("沒有可以%1的動作").arg(verb));

  if (!history::apply(*from.back(), store, direction)) {
    // Something changed the book outside the history: a step taken now would mix the two.
    const QString name = from.back()->name;
    clear();
    return refusal(
        QStringLiteral("無法%1「%2」：帳本已經和當時不同，之前的步驟都無法再%1").arg(verb, name));
  }
  to.push_back(std::move(from.back()));
  from.pop_back();
  store.showAccountCount();
  store.showEntryCount();
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

HistoryStep::HistoryStep(Module1& store, QString name) : store_(store), name_(std::move(name)) {
  if (store_.history().stepsUnderWay_++ == 0) {
    before_ = std::make_unique<history::Tables>(history::tablesOf(store));
  }
}

HistoryStep::~HistoryStep() {
  --store_.history().stepsUnderWay_;
  if (before_) store_.history().record(*before_, store_, name_);
}
