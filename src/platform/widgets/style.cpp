#include "platform/widgets/style.h"

#include "platform/widgets/colours.h"

#include <QApplication>
#include <QStyleOption>

namespace {

QString desktopStyleName() {
  const QStyle* current = QApplication::style();
  if (const auto* ours = dynamic_cast<const ProgramStyle*>(current)) current = ours->baseStyle();
  return current ? current->name() : QString();
}

// Draws the indicator with the text colour where the style takes its outline from the window.
template <class Option>
bool drawLifted(const QProxyStyle& style, QStyle::PrimitiveElement element,
                const QStyleOption* option, QPainter* painter, const QWidget* widget) {
  const auto* typed = qstyleoption_cast<const Option*>(option);
  if (!typed) return false;
  Option lifted(*typed);
  lifted.palette.setColor(QPalette::Window, typed->palette.color(QPalette::Text));
  style.QProxyStyle::drawPrimitive(element, &lifted, painter, widget);
  return true;
}

}  // namespace

ProgramStyle::ProgramStyle() : QProxyStyle(desktopStyleName()) {}

void ProgramStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
  const bool indicator = element == PE_IndicatorCheckBox || element == PE_IndicatorRadioButton ||
                         element == PE_IndicatorItemViewItemCheck;
  if (indicator && option && isDark(option->palette.color(QPalette::Base))) {
    if (drawLifted<QStyleOptionViewItem>(*this, element, option, painter, widget) ||
        drawLifted<QStyleOptionButton>(*this, element, option, painter, widget)) {
      return;
    }
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}

void useProgramStyle() {
  if (dynamic_cast<const ProgramStyle*>(QApplication::style())) return;
  QApplication::setStyle(new ProgramStyle);
}
