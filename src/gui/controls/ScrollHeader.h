#pragma once
// A flat caption bar above a list, or a framed panel: a background and a
// choice of shadow edges (light on the left and top, dark on the right and
// bottom). It holds child controls such as its caption label.

#include <QColor>
#include <QFlags>
#include <QWidget>

#include <functional>

namespace qgm::gui {

class TScrollHeader : public QWidget {
  Q_OBJECT
 public:
  enum TShadowEdge { seLeft = 1, seTop = 2, seRight = 4, seBottom = 8 };
  Q_DECLARE_FLAGS(TShadowEdges, TShadowEdge)

  explicit TScrollHeader(QWidget* parent = nullptr);

  TShadowEdges ShadowEdges() const { return edges_; }
  void SetShadowEdges(TShadowEdges edges);
  // Invalid means the desktop's button face, drawn as a header.
  QColor Color() const { return color_; }
  void SetColor(const QColor& color);
  // On: nothing is drawn under the edges, the parent shows through.
  bool ParentBackground() const { return parentBackground_; }
  void SetParentBackground(bool on);

  // Called last when painting.
  std::function<void(QPainter& painter)> OnPaint;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TShadowEdges edges_ = TShadowEdges(seLeft | seTop | seRight | seBottom);
  QColor color_;
  bool parentBackground_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TScrollHeader::TShadowEdges)

}  // namespace qgm::gui
