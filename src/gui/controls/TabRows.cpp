#include "gui/controls/TabRows.h"

#include <QAccessible>

#include <QMouseEvent>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace qgm::gui {
namespace {

// Either side of a caption: the captions are drawn by us, without the
// style's wide tab margins, so seven of them fit the window's width.
constexpr int kPadding = 1;

}  // namespace

TTabRows::TTabRows(QTabWidget* tabs, QWidget* parent) : QWidget(parent), tabs_(tabs) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
  tabs_->tabBar()->hide();
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
    Relayout();
    update();
    // A screen reader speaks the tab the keys reached.
    if (index >= 0 && QAccessible::isActive()) {
      QAccessibleEvent selected(this, hasFocus() ? QAccessible::Focus : QAccessible::Selection);
      selected.setChild(index);
      QAccessible::updateAccessibility(&selected);
    }
  });
  Relayout();
}

int TTabRows::RowHeight() const {
  return fontMetrics().height() + 8;
}

int TTabRows::NaturalWidth(int index) const {
  QString text = tabs_->tabText(index);
  text.remove(QLatin1Char('&'));
  return fontMetrics().horizontalAdvance(text) + 2 * kPadding;
}

void TTabRows::Relayout() {
  const int count = tabs_->count();
  const int available = std::max(width(), 1);
  std::vector<int> visible;
  for (int i = 0; i < count; ++i) {
    if (tabs_->isTabVisible(i)) visible.push_back(i);
  }
  // As few rows as hold every caption, the tabs shared out evenly among
  // them in order.
  std::vector<std::vector<int>> rows;
  const int n = static_cast<int>(visible.size());
  for (int rowCount = 1; rowCount <= std::max(n, 1); ++rowCount) {
    rows.assign(static_cast<size_t>(rowCount), {});
    bool fits = true;
    for (int r = 0, next = 0; r < rowCount; ++r) {
      const int take = (n - next + (rowCount - r) - 1) / (rowCount - r);
      int used = 0;
      for (int k = 0; k < take; ++k, ++next) {
        rows[static_cast<size_t>(r)].push_back(visible[static_cast<size_t>(next)]);
        used += NaturalWidth(visible[static_cast<size_t>(next)]);
      }
      if (used > available && take > 1) fits = false;
    }
    if (fits) break;
  }
  // The row of the current tab goes next to the pages (the bottom row).
  const int current = tabs_->currentIndex();
  const auto holding = std::find_if(rows.begin(), rows.end(), [current](const auto& r) {
    return std::find(r.begin(), r.end(), current) != r.end();
  });
  if (holding != rows.end()) std::rotate(holding, holding + 1, rows.end());

  rects_.assign(static_cast<size_t>(count), QRect());
  const int h = RowHeight();
  for (size_t r = 0; r < rows.size(); ++r) {
    const auto& row = rows[r];
    int natural = 0;
    for (int i : row) natural += NaturalWidth(i);
    // Stretched to the full width; the last tab takes what rounding leaves.
    int x = 0;
    for (size_t k = 0; k < row.size(); ++k) {
      const int w = k + 1 == row.size() ? available - x
                                        : NaturalWidth(row[k]) * available / std::max(natural, 1);
      rects_[static_cast<size_t>(row[k])] = QRect(x, static_cast<int>(r) * h, w, h);
      x += w;
    }
  }
  const int rowCount = static_cast<int>(rows.size());
  if (rowCount != rowCount_) {
    rowCount_ = rowCount;
    updateGeometry();
  }
}

QRect TTabRows::TabRect(int index) const {
  return index >= 0 && static_cast<size_t>(index) < rects_.size()
             ? rects_[static_cast<size_t>(index)]
             : QRect();
}

QSize TTabRows::sizeHint() const {
  return {tabs_->width(), rowCount_ * RowHeight()};
}

void TTabRows::paintEvent(QPaintEvent*) {
  QStylePainter p(this);
  const int current = tabs_->currentIndex();
  for (int i = 0; i < tabs_->count(); ++i) {
    const QRect r = TabRect(i);
    if (r.isEmpty()) continue;
    QStyleOptionTab opt;
    opt.initFrom(this);
    opt.shape = QTabBar::RoundedNorth;
    opt.rect = r;
    opt.state |= QStyle::State_Enabled;
    if (i == current) opt.state |= QStyle::State_Selected;
    opt.position = QStyleOptionTab::Middle;
    p.drawControl(QStyle::CE_TabBarTabShape, opt);
    p.drawItemText(r, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), true, tabs_->tabText(i),
                   QPalette::WindowText);
  }
}

void TTabRows::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  for (int i = 0; i < tabs_->count(); ++i) {
    if (TabRect(i).contains(event->position().toPoint())) {
      tabs_->setCurrentIndex(i);
      return;
    }
  }
}

void TTabRows::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Relayout();
}

bool TTabRows::event(QEvent* event) {
  // A tab shown or hidden, or new captions: the rows are laid out afresh.
  if (event->type() == QEvent::Polish || event->type() == QEvent::FontChange ||
      event->type() == QEvent::Show) {
    Relayout();
  }
  return QWidget::event(event);
}

}  // namespace qgm::gui
