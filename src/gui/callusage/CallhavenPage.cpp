#include "gui/callusage/CallhavenPage.h"

#include "gui/controls/BarGraph.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "core/callusage/CallGraph.h"
#include "core/util/Colour.h"
#include "core/util/Format.h"
#include "gui/accessibility/AccessibleEvents.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/PlainText.h"

namespace qgm::gui {

namespace {

constexpr int kGraphWidth = 226, kGraphHeight = 126;
constexpr uint32_t kBarColour = 0x00A3F033;  // 0x00BBGGRR
const QColor kHover(0xCC, 0, 0);

QColor FromBgr(uint32_t c) {
  return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// The device pixel where logical pixel `v` begins, at `ratio` device pixels
// to a logical one.
int Dev(int v, qreal ratio) {
  return static_cast<int>(std::lround(v * ratio));
}

// A bar lit from the left: grey and black edges, columns lightening
// towards the left and darkening towards the right of the middle. l, r are
// the bar's logical columns (the last one its black edge); the bar stands
// from device row `top` to the image's bottom, where its bottom edge would
// be, below the picture. Each logical line is `ratio` device pixels wide,
// and the shading moves on at every device column, by the step that makes
// `step` per cent over a logical column: the same bar, in finer shades.
void ShadedBar(QImage& image, int l, int top, int r, uint32_t base, double step, qreal ratio) {
  QPainter p(&image);
  const int bottom = image.height(), line = std::max(1, Dev(1, ratio));
  auto band = [&p](int x0, int x1, int y0, int y1, const QColor& colour) {
    if (x1 > x0 && y1 > y0) p.fillRect(x0, y0, x1 - x0, y1 - y0, colour);
  };
  // Logical column x, device rows y0 .. y1 - 1.
  auto column = [&](int x, int y0, int y1, const QColor& colour) {
    band(Dev(x, ratio), Dev(x + 1, ratio), y0, y1, colour);
  };
  const QColor grey(0x80, 0x80, 0x80);
  const int body = top + line;
  column(l, body, bottom, grey);
  column(r, body, bottom, Qt::black);
  column(r, body, body + line, grey);
  const double fine = 100.0 * (1.0 - std::pow(1.0 - step / 100.0, 1.0 / ratio));
  const int m = l + (r - l) / 2;
  uint32_t colour = base;
  for (int d = Dev(m + 1, ratio) - 1; d >= Dev(l + 1, ratio); --d) {
    band(d, d + 1, top, bottom, FromBgr(colour));
    band(d, d + 1, top, top + line, grey);
    colour = Lighten(colour, fine);
  }
  column(l + 1, body, body + line, QColor(0xC0, 0xC0, 0xC0));
  colour = base;
  for (int d = Dev(m + 1, ratio); d < Dev(r, ratio); ++d) {
    colour = Darken(colour, fine);
    band(d, d + 1, top, bottom, FromBgr(colour));
    band(d, d + 1, top, top + line, grey);
  }
}

TFocusLabel* MakeLink(const QString& caption, const char* name, QWidget* parent) {
  auto* link = new TFocusLabel(caption, parent);
  link->setObjectName(QString::fromLatin1(name));
  link->SetMouseOverColor(kHover);
  link->setCursor(Qt::PointingHandCursor);
  link->SetAutoSize(true);
  link->SetTabStop(true);
  link->setMinimumSize(link->size());
  link->setEnabled(false);
  return link;
}

}  // namespace

TCallGraph::TCallGraph(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("imgCallhaven"));
  setFixedSize(kGraphWidth, kGraphHeight);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  Render(nullptr);
}

int TCallGraph::Draw(const TCallhaven& calls) {
  calls_ = &calls;
  return Render(calls_);
}

int TCallGraph::Render(const TCallhaven* calls) {
  // In the screen's device pixels, so a screen of twice the density shows
  // the bars sharp; drawn in device coordinates, then told its ratio.
  const qreal ratio = devicePixelRatioF();
  image_ = QImage(Dev(kGraphWidth, ratio), Dev(kGraphHeight, ratio), QImage::Format_RGB32);
  image_.fill(palette().color(QPalette::Button));
  update();
  int scale = 0;
  if (calls && calls->Count() >= kCallMonthsShown) {
    scale = CallGraphScale(*calls);
    // The bars' places in logical columns, their heights in device rows.
    const int w = kGraphWidth, h = image_.height(), c = w / 27;
    int x = w - c - 1;
    for (int j = 0; j < kCallMonthsShown; ++j) {
      const int barHeight = CallBarHeight(calls->Items(j).TotalCost, scale, h);
      ShadedBar(image_, x, h - barHeight, x + c - 2, kBarColour, 25, ratio);
      x -= c;
    }
  }
  image_.setDevicePixelRatio(ratio);
  return scale;
}

int TCallGraph::BarCount() const {
  return calls_ && calls_->Count() >= kCallMonthsShown ? kCallMonthsShown : 0;
}

namespace {

// The hint's lines: the month, then the costs.
QStringList HintLines(const TCallMonth& month) {
  return QString::fromStdString(CallGraphHint(month)).split(QLatin1Char('\n'));
}

}  // namespace

QString TCallGraph::BarLabel(int bar) const {
  if (bar < 0 || bar >= BarCount()) return {};
  return HintLines(calls_->Items(kCallMonthsShown - 1 - bar)).value(0);
}

QString TCallGraph::BarValue(int bar) const {
  if (bar < 0 || bar >= BarCount()) return {};
  return HintLines(calls_->Items(kCallMonthsShown - 1 - bar)).mid(1).join(QStringLiteral(", "));
}

QRect TCallGraph::BarRect(int bar) const {
  if (bar < 0 || bar >= BarCount()) return {};
  // As Render places them: the newest at the right.
  const int c = kGraphWidth / 27;
  const int x = kGraphWidth - c - 1 - (kCallMonthsShown - 1 - bar) * c;
  return {x, 0, c - 1, kGraphHeight};
}

QString TCallGraph::GraphSummary() const {
  if (BarCount() == 0) return tr("No call months yet");
  int highest = 0;
  for (int j = 1; j < kCallMonthsShown; ++j)
    if (calls_->Items(j).TotalCost > calls_->Items(highest).TotalCost) highest = j;
  auto month = [this](int j) { return HintLines(calls_->Items(j)).value(0); };
  auto total = [this](int j) {
    return QString::fromStdString(Format("%1.2m", {calls_->Items(j).TotalCost}));
  };
  return tr("%1 months up to %2, highest %3 in %4, this month %5")
      .arg(kCallMonthsShown)
      .arg(month(0), total(highest), month(highest), total(0));
}

void TCallGraph::paintEvent(QPaintEvent*) {
  // Moved to a screen of another pixel ratio since the last picture.
  if (devicePixelRatioF() != image_.devicePixelRatio()) Render(calls_);
  QPainter p(this);
  p.drawImage(0, 0, image_);
  if (!hasFocus() || current_ < 0 || current_ >= BarCount()) return;
  // A dotted frame round the current bar.
  p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
  p.setBrush(Qt::NoBrush);
  p.drawRect(BarRect(current_).intersected(rect()).adjusted(0, 0, -1, -1));
}

void TCallGraph::SetCurrentBar(int bar) {
  if (BarCount() == 0) return;
  bar = std::clamp(bar, 0, BarCount() - 1);
  const bool moved = bar != current_;
  current_ = bar;
  update();
  if (hasFocus()) TellCurrentBar(this, bar);
  if (!moved || !HintFor) return;
  const QString text = HintFor(bar);
  hint_ = text;
  setToolTip(PlainToolTip(text));
  if (!text.isEmpty())
    QToolTip::showText(mapToGlobal(BarRect(bar).center()), PlainToolTip(text), this);
}

void TCallGraph::keyPressEvent(QKeyEvent* event) {
  if (const std::optional<int> bar = BarForKey(event->key(), current_, BarCount())) {
    SetCurrentBar(*bar);
    event->accept();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (current_ >= 0 && OnColumnClick) OnColumnClick(current_);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

void TCallGraph::focusInEvent(QFocusEvent* event) {
  QWidget::focusInEvent(event);
  if (current_ < 0 || current_ >= BarCount())
    SetCurrentBar(BarCount() - 1);
  else
    SetCurrentBar(current_);
}

void TCallGraph::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  update();
}

void TCallGraph::mouseMoveEvent(QMouseEvent* event) {
  const int column = CallGraphColumnAt(event->position().toPoint().x(), kGraphWidth);
  if (column < 0 || !HintFor) return;
  const QString text = HintFor(column);
  if (text.isEmpty() || text == hint_) return;
  // Shown at once, so moving from bar to bar follows without the delay.
  hint_ = text;
  setToolTip(PlainToolTip(text));
  QToolTip::showText(event->globalPosition().toPoint(), PlainToolTip(text), this);
}

void TCallGraph::mousePressEvent(QMouseEvent* event) {
  const int column = CallGraphColumnAt(event->position().toPoint().x(), kGraphWidth);
  if (column >= 0 && OnColumnClick) OnColumnClick(column);
}

TCallhavenPage::TCallhavenPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("CallhavenPage"));
  auto* layout = new QVBoxLayout(this);
  gbCallhaven1_ = new QGroupBox(tr(" Summary Info "), this);
  gbCallhaven1_->setObjectName(QStringLiteral("gbCallhaven1"));
  auto* grid = new QGridLayout(gbCallhaven1_);
  grid->setVerticalSpacing(1);
  const QStringList heads = {tr("Type"), tr("No"), tr("Cost")};
  for (int c = 0; c < 3; ++c) {
    auto* head = new QLabel(heads[c], gbCallhaven1_);
    QFont bold = head->font();
    bold.setBold(true);
    head->setFont(bold);
    grid->addWidget(head, 0, c, c ? Qt::AlignRight : Qt::AlignLeft);
  }
  const QStringList rows = {tr("National"), tr("Mobile"), tr("CallHaven"), tr("Other"),
                            tr("TOTAL")};
  const char* counts[] = {"lblChNoN", "lblChNoM", "lblChNoX", "lblChNoO", "lblChNoT"};
  const char* costs[] = {"lblChCostN", "lblChCostM", nullptr, "lblChCostO", "lblChCostT"};
  for (int r = 0; r < 5; ++r) {
    grid->addWidget(new QLabel(rows[r], gbCallhaven1_), r + 1, 0);
    grid->addWidget(Value(counts[r]), r + 1, 1, Qt::AlignRight);
    if (costs[r]) grid->addWidget(Value(costs[r]), r + 1, 2, Qt::AlignRight);
  }
  lblChUpdate_ = new QLabel(tr("First update pending"), gbCallhaven1_);
  lblChUpdate_->setObjectName(QStringLiteral("lblChUpdate"));
  lblChUpdate_->setEnabled(false);
  grid->addWidget(lblChUpdate_, 6, 0, 1, 3);
  cbCallhaven_ = new QComboBox(gbCallhaven1_);
  cbCallhaven_->setObjectName(QStringLiteral("cbCallhaven"));
  grid->addWidget(cbCallhaven_, 7, 0, 1, 3);
  auto* links = new QHBoxLayout;
  fLblPhoneDetails_ = MakeLink(tr("Vie&w Details"), "fLblPhoneDetails", gbCallhaven1_);
  fLblPhoneUpdate_ = MakeLink(tr("&Update Info"), "fLblPhoneUpdate", gbCallhaven1_);
  links->addWidget(fLblPhoneDetails_);
  links->addStretch();
  links->addWidget(fLblPhoneUpdate_);
  grid->addLayout(links, 8, 0, 1, 3);
  layout->addWidget(gbCallhaven1_);

  auto* gb2 = new QGroupBox(tr(" Monthly Totals ($)"), this);
  gb2->setObjectName(QStringLiteral("gbCallhaven2"));
  auto* g2 = new QGridLayout(gb2);
  lblChMax_ = Value("lblChMax");
  lblChMax_->setText(QStringLiteral("0"));
  auto* zero = Value("lblChZero");
  zero->setText(QStringLiteral("0"));
  auto* frame = new QFrame(gb2);
  frame->setObjectName(QStringLiteral("pnlCallhaven1"));
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Sunken);
  frame->setLineWidth(1);
  auto* frameLayout = new QVBoxLayout(frame);
  frameLayout->setContentsMargins(1, 1, 1, 1);
  imgCallhaven_ = new TCallGraph(frame);
  imgCallhaven_->setAccessibleName(gb2->title().trimmed());
  frameLayout->addWidget(imgCallhaven_);
  g2->addWidget(lblChMax_, 0, 0, Qt::AlignRight | Qt::AlignTop);
  g2->addWidget(zero, 1, 0, Qt::AlignRight | Qt::AlignBottom);
  g2->addWidget(frame, 0, 1, 2, 2);
  lblChLo_ = Value("lblChLo");
  lblChLo_->setText(QStringLiteral("--/--/--"));
  lblChHi_ = Value("lblChHi");
  lblChHi_->setText(QStringLiteral("--/--/--"));
  g2->addWidget(lblChLo_, 2, 1, Qt::AlignLeft);
  g2->addWidget(lblChHi_, 2, 2, Qt::AlignRight);
  layout->addWidget(gb2);
  layout->addStretch();

  imgCallhaven_->HintFor = [this](int column) {
    const int index = 27 - column;
    if (!calls_ || calls_->Count() < kCallMonthsShown || index < 0) return QString();
    return QString::fromStdString(CallGraphHint(calls_->Items(index)));
  };
  imgCallhaven_->OnColumnClick = [this](int column) {
    const int index = 27 - column;
    if (index >= 0 && index < cbCallhaven_->count()) {
      cbCallhaven_->setCurrentIndex(index);
      ShowCallMonth(index);
    }
  };
  connect(cbCallhaven_, &QComboBox::activated, this, [this](int index) { ShowCallMonth(index); });
  fLblPhoneUpdate_->OnClick = [this] {
    if (OnUpdate) OnUpdate();
  };
  fLblPhoneDetails_->OnClick = [this] {
    const int index = cbCallhaven_->currentIndex();
    if (calls_ && index >= 0 && index < calls_->Count() && OnDetails)
      OnDetails(calls_->Items(index).Year, calls_->Items(index).Month);
  };
}

QLabel* TCallhavenPage::Value(const char* name) {
  auto* label = new QLabel(QStringLiteral("--"), this);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

void TCallhavenPage::ShowMonths(const TCallhaven& calls, const TCallMonthsLoaded& loaded) {
  calls_ = &calls;
  cbCallhaven_->clear();
  const int scale = imgCallhaven_->Draw(calls);
  if (calls.Count() < kCallMonthsShown) return;  // no file at all: the labels stay
  for (const std::string& entry : loaded.Selector)
    cbCallhaven_->addItem(QString::fromStdString(entry));
  lblChUpdate_->setText(loaded.CurrentFileTime > 0
                            ? tr("Last updated: ") +
                                  QString::fromStdString(FormatDateTime("ddd d mmm - h:nn am/pm",
                                                                        loaded.CurrentFileTime))
                            : tr("No CallHaven calls recorded this month"));
  lblChMax_->setText(QString::number(scale));
  lblChLo_->setText(QString::fromStdString(CallGraphMonthLabel(calls.Items(27))));
  lblChHi_->setText(QString::fromStdString(CallGraphMonthLabel(calls.Items(0))));
  cbCallhaven_->setCurrentIndex(0);
  fLblPhoneDetails_->setEnabled(true);
  fLblPhoneUpdate_->setEnabled(true);
  ShowCallMonth(0);
}

void TCallhavenPage::ShowCallMonth(int index) {
  if (!calls_ || calls_->Count() < kCallMonthsShown || index < 0 || index >= calls_->Count())
    return;
  const TCallMonth& m = calls_->Items(index);
  auto set = [this](const char* name, const QString& text) {
    if (auto* label = findChild<QLabel*>(QString::fromLatin1(name))) label->setText(text);
  };
  auto money = [](Money v) { return QString::fromStdString(Format("%1.2n", {v})); };
  set("lblChNoN", QString::number(m.NationalCalls));
  set("lblChNoM", QString::number(m.MobileCalls));
  set("lblChNoX", QString::number(m.CallhavenCalls));
  set("lblChNoO", QString::number(m.OtherCalls));
  set("lblChNoT", QString::number(m.TotalCalls));
  set("lblChCostN", money(m.NationalCost));
  set("lblChCostM", money(m.MobileCost));
  set("lblChCostO", money(m.OtherCost));
  set("lblChCostT", money(m.TotalCost));
}

void TCallhavenPage::SetRefreshing(bool running) {
  fLblPhoneUpdate_->setEnabled(!running);
  if (running)
    gbCallhaven1_->setCursor(Qt::WaitCursor);
  else
    gbCallhaven1_->unsetCursor();
}

}  // namespace qgm::gui
