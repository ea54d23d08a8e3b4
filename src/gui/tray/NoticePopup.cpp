#include "gui/tray/NoticePopup.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "core/platform/Launcher.h"
#include "core/util/CodePage.h"

namespace qgm::gui {
namespace {
QString FromText(const std::string& text1252) { return QString::fromStdString(Cp1252ToUtf8(text1252)); }
}  // namespace

TNoticePopup::TNoticePopup(const TNoticeRequest& notice, std::function<void(const std::string&)> onClosed)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      reference_(notice.Reference),
      onClosed_(std::move(onClosed)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setFixedWidth(280);
  auto* layout = new QVBoxLayout(this);
  auto* caption = new QLabel(FromText(notice.Caption), this);
  caption->setStyleSheet(QStringLiteral("font-weight: bold; color: white; background: #1f4e9c; padding: 3px;"));
  layout->addWidget(caption);
  auto* body = new QLabel(FromText(notice.Body), this);
  body->setWordWrap(true);
  body->setFixedWidth(260);  // wraps to this width and grows in height
  body->setObjectName(QStringLiteral("lblMessage"));
  layout->addWidget(body);
  if (!notice.LinkAddress.empty() || !notice.LinkCaption.empty()) {
    auto* link = new QPushButton(notice.LinkCaption.empty() ? tr("more info") : FromText(notice.LinkCaption), this);
    link->setFlat(true);
    link->setCursor(Qt::PointingHandCursor);
    const std::string address = notice.LinkAddress;
    const auto click = notice.OnLinkClick;
    connect(link, &QPushButton::clicked, this, [address, click] {
      if (click) click();
      // Only web addresses are opened from notices.
      else if (TLauncher::IsWebAddress(address)) QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
    });
    layout->addWidget(link);
  }
  auto* closeButton = new QPushButton(tr("Close"), this);
  connect(closeButton, &QPushButton::clicked, this, &QWidget::close);
  layout->addWidget(closeButton, 0, Qt::AlignRight);
  if (notice.Alert) {
    // Alerts stand out in yellow.
    QPalette yellow = palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 128));
    setPalette(yellow);
    setAutoFillBackground(true);
  }
  layout->setSizeConstraint(QLayout::SetFixedSize);
  adjustSize();
  // Popups open in the bottom-right corner, each new one above those still open.
  static std::vector<TNoticePopup*> open;
  int bottom = 0;
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    bottom = area.bottom() - 4;
    for (const TNoticePopup* other : open) bottom = std::min(bottom, other->y() - 6);
    if (bottom - height() < area.top()) bottom = area.bottom() - 4;  // full: start again at the corner
    move(area.right() - width() - 4, bottom - height());
  }
  open.push_back(this);
  connect(this, &QObject::destroyed, [this] { std::erase(open, this); });
  if (notice.AutoCloseSeconds > 0) QTimer::singleShot(notice.AutoCloseSeconds * 1000, this, [this] { close(); });
}

void TNoticePopup::closeEvent(QCloseEvent* event) {
  if (onClosed_ && !reference_.empty()) onClosed_(reference_);
  event->accept();
}

}  // namespace qgm::gui
