#pragma once
// The program's drawings (made by resources/generator/make_tray_art.cpp
// and embedded at build time), each at one and at two device pixels per
// logical pixel, and a view that shows one at its screen's density.

#include <QImage>
#include <QWidget>

#include <cstddef>

namespace qgm::gui {

// An RGBA PAM file's picture; a null image when it is not one.
QImage PamImage(const unsigned char* bytes, std::size_t size);

enum class EArtwork { ProviderLogo, AboutPicture };

// The drawing for a screen of `ratio` device pixels per logical one: the
// plain one below 1.1, else the one drawn at twice the size (device pixel
// ratio 2, so it keeps its logical size and is only ever scaled down).
const QImage& ArtworkImage(EArtwork which, qreal ratio);

// A drawing shown at its logical size, centred in the widget.
class TArtworkView : public QWidget {
 public:
  TArtworkView(EArtwork which, QWidget* parent);
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  EArtwork which_;
};

}  // namespace qgm::gui
