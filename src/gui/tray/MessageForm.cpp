#include "gui/tray/MessageForm.h"
#include "gui/app/Text.h"

#include <algorithm>

#include <QAccessible>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QVBoxLayout>

#include "core/usage/Notices.h"
#include "core/util/CodePage.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/LinkStyle.h"
#include "gui/controls/WorkAreaPlace.h"
#include "gui/platform/WindowRoles.h"

namespace qgm::gui {
namespace {

// Design units of 144 dots per inch in pixels at 96.
int Px(int units) {
  return units * 2 / 3;
}

QString WrappedBody(std::string rest, const QFontMetrics& metrics, int width) {
  // How many of the first characters fit: the longest prefix no wider. No
  // character is narrower than a pixel, so no more than `w` are measured
  // (a 4096-character body measured whole for every line held the window).
  const TTextFitter fit = [&metrics](std::string_view text, int w) -> std::optional<size_t> {
    const QString shown = Q(std::string(text.substr(0, static_cast<size_t>(std::max(w, 1)))));
    qsizetype lo = 0, hi = shown.size();
    while (lo < hi) {
      const qsizetype mid = (lo + hi + 1) / 2;
      if (metrics.horizontalAdvance(shown.left(mid)) <= w) {
        lo = mid;
      } else {
        hi = mid - 1;
      }
    }
    return static_cast<size_t>(lo);
  };
  QString text;
  while (!rest.empty()) {
    auto [line, next] = WrapLine(rest, width, fit);
    text += Q(line) + QLatin1Char('\n');
    rest = std::move(next);
  }
  return text;
}

TFocusLabel* Link(const QString& caption, QWidget* parent) {
  auto* label = new TFocusLabel(caption, parent);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(Px(16));
  font.setBold(true);
  label->setFont(font);
  SetTextColour(*label, kLinkColour);
  label->SetAlignment(Qt::AlignLeft);
  label->SetTabStop(true);
  label->setFixedSize(Px(346), Px(27));
  return label;
}

}  // namespace

TMessageForm::TMessageForm(const TNoticeRequest& notice,
                           std::function<void(const std::string&)> openUrl,
                           std::function<void(const std::string&)> onClosed, ITimerFactory& timers)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      caption_(Q(notice.Caption)),
      body_(Q(notice.Body)),
      linkUrl_(notice.LinkAddress),
      linkClick_(notice.OnLinkClick),
      reference_(notice.Reference),
      autoCloseSeconds_(notice.AutoCloseSeconds),
      openUrl_(std::move(openUrl)),
      onClosed_(std::move(onClosed)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(QStringLiteral("QGM Message"));
  KeepOffTaskbar(*this);  // a notice, not a task of its own
  setFixedSize(Px(381), Px(412));
  // Panel1: the active-caption colour as a frame; Shape1 and Panel2 inside.
  setAutoFillBackground(true);
  QPalette frame = palette();
  frame.setColor(QPalette::Window, palette().color(QPalette::Highlight));
  setPalette(frame);
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(Px(6) + 2, Px(6) + 2, Px(6) + 2, Px(6) + 2);
  auto* panel2 = new QWidget(this);
  panel2->setObjectName(QStringLiteral("Panel2"));
  panel2->setAutoFillBackground(true);
  QPalette inner = panel2->palette();
  inner.setColor(QPalette::Window,
                 notice.Alert ? QColor(255, 255, 0) : palette().color(QPalette::Button));
  if (notice.Alert) inner.setColor(QPalette::WindowText, Qt::black);  // on the yellow
  panel2->setPalette(inner);
  outer->addWidget(panel2);

  // Notices come from servers, some over plain HTTP: shown as plain text,
  // never as markup that could style a fake message or add links.
  auto* lblCaption = new QLabel(panel2);
  lblCaption->setTextFormat(Qt::PlainText);
  lblCaption->setText(caption_);
  lblCaption->setObjectName(QStringLiteral("lblCaption"));
  QFont title(QStringLiteral("Arial Narrow"));
  title.setPixelSize(Px(26));
  title.setBold(true);
  lblCaption->setFont(title);
  lblCaption->move(Px(8), Px(15));
  lblCaption->adjustSize();

  auto* lblBody = new QLabel(panel2);
  lblBody->setTextFormat(Qt::PlainText);
  lblBody->setObjectName(QStringLiteral("lblBody"));
  QFont body(QStringLiteral("Arial"));
  body.setPixelSize(Px(18));
  lblBody->setFont(body);
  // The body cut into lines as wide as the panel less the label's margin on
  // both sides, each followed by a line feed: a word too long for a line
  // is broken inside, and a line feed of the text leaves an empty line.
  const int lineWidth = width() - 2 * outer->contentsMargins().left() - 2 * Px(8);
  lblBody->setText(WrappedBody(notice.Body, QFontMetrics(body), lineWidth));
  lblBody->move(Px(8), Px(56));
  lblBody->adjustSize();

  lblGetMoreInfo_ = Link(
      notice.LinkCaption.empty() ? tr("For more information click here") : Q(notice.LinkCaption),
      panel2);
  lblGetMoreInfo_->setObjectName(QStringLiteral("lblGetMoreInfo"));
  lblGetMoreInfo_->move(Px(8), Px(302));
  lblGetMoreInfo_->SetOpensAddress(!notice.LinkAddress.empty());
  lblGetMoreInfo_->setVisible(!notice.LinkAddress.empty() || !notice.LinkCaption.empty());
  lblGetMoreInfo_->OnClick = [this] {
    if (!linkUrl_.empty() && openUrl_) openUrl_(linkUrl_);
    if (linkClick_) linkClick_();
    close();
  };
  lblClose_ = Link(tr("Close"), panel2);
  lblClose_->setObjectName(QStringLiteral("lblClose"));
  lblClose_->move(Px(8), Px(350));
  lblClose_->OnClick = [this] { close(); };

  // The client area's right and bottom edges meet those of the work area.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.right() + 1 - width(), area.bottom() + 1 - height());
  }
  // A window manager that frames it or places it its own way: the whole
  // popup, Close included, stays on the work area.
  new TWorkAreaPlace(*this);
  timer1_ = timers.MakeTimer([this] {
    timer1_->Stop();
    reference_.clear();  // an auto-closed notice does not count as seen
    close();
  });
}

TMessageForm::~TMessageForm() = default;

void TMessageForm::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  // Shape1: an outline in the button face, 3 units in from the edge.
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Button));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect().adjusted(Px(3), Px(3), -Px(3) - 1, -Px(3) - 1));
}

void TMessageForm::showEvent(QShowEvent* event) {
  if (autoCloseSeconds_ > 0) {
    timer1_->SetInterval(autoCloseSeconds_ * 1000);
    timer1_->Start();
  }
  QWidget::showEvent(event);
  if (QAccessible::isActive()) {
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
  }
}

void TMessageForm::closeEvent(QCloseEvent* event) {
  if (!reference_.empty() && onClosed_) onClosed_(reference_);
  reference_.clear();
  event->accept();
}

}  // namespace qgm::gui
