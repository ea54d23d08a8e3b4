#include "gui/controls/Artwork.h"

#include <QPainter>

#include <algorithm>
#include <cstring>
#include <string>

extern const unsigned char kProviderLogoPam[];
extern const std::size_t kProviderLogoPamSize;
extern const unsigned char kProviderLogo2xPam[];
extern const std::size_t kProviderLogo2xPamSize;
extern const unsigned char kAboutPicturePam[];
extern const std::size_t kAboutPicturePamSize;
extern const unsigned char kAboutPicture2xPam[];
extern const std::size_t kAboutPicture2xPamSize;

namespace qgm::gui {

QImage PamImage(const unsigned char* bytes, std::size_t size) {
  const char* data = reinterpret_cast<const char*>(bytes);
  const char* end = data + size;
  const char* kEnd = "ENDHDR\n";
  const char* payload = std::search(data, end, kEnd, kEnd + std::strlen(kEnd));
  if (payload == end) return QImage();
  const std::string header(data, payload);
  payload += std::strlen(kEnd);
  auto field = [&header](const char* name) {
    const auto at = header.find(std::string("\n") + name + " ");
    return at == std::string::npos ? 0 : std::atoi(header.c_str() + at + std::strlen(name) + 2);
  };
  const int w = field("WIDTH"), h = field("HEIGHT");
  if (w <= 0 || h <= 0 || field("DEPTH") != 4 || end - payload < static_cast<long>(w) * h * 4)
    return QImage();
  return QImage(reinterpret_cast<const uchar*>(payload), w, h, QImage::Format_RGBA8888).copy();
}

namespace {

QImage Twice(QImage image) {
  image.setDevicePixelRatio(2);
  return image;
}

}  // namespace

const QImage& ArtworkImage(EArtwork which, qreal ratio) {
  // Each drawing is read from its bytes when first asked for, not before.
  const bool dense = ratio >= 1.1;
  if (which == EArtwork::ProviderLogo) {
    if (dense) {
      static const QImage logo2x = Twice(PamImage(kProviderLogo2xPam, kProviderLogo2xPamSize));
      return logo2x;
    }
    static const QImage logo = PamImage(kProviderLogoPam, kProviderLogoPamSize);
    return logo;
  }
  if (dense) {
    static const QImage about2x = Twice(PamImage(kAboutPicture2xPam, kAboutPicture2xPamSize));
    return about2x;
  }
  static const QImage about = PamImage(kAboutPicturePam, kAboutPicturePamSize);
  return about;
}

TArtworkView::TArtworkView(EArtwork which, QWidget* parent) : QWidget(parent), which_(which) {
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QSize TArtworkView::sizeHint() const {
  return ArtworkImage(which_, 1).size();
}

void TArtworkView::paintEvent(QPaintEvent*) {
  const QImage& image = ArtworkImage(which_, devicePixelRatioF());
  const QSize size = image.deviceIndependentSize().toSize();
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QRect(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size),
                    image);
}

}  // namespace qgm::gui
