// The item list: painting and page scrolling a list of 100,000 items of
// mixed heights, beside the same on a list of ten (measured in the same
// run, the anchor). Both are painted at the same scroll position; page
// scrolls go through the scroll bar as a click on its track does.
#include <benchmark/benchmark.h>

#include "gui/controls/ScrollingCtrl.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>

#include <memory>

namespace {

using qgm::gui::TScrollingCtrl;
using qgm::gui::TScrollItem;

// An item that draws a caption, as the program's lists do.
class TCaptionItem : public TScrollItem {
 public:
  void Paint(QPainter& painter) override {
    TScrollItem::Paint(painter);
    painter.drawText(QRect(GlyphRect().right() + 6, ScreenTop(), 200, Height()), Qt::AlignVCenter,
                     QStringLiteral("Channel %1").arg(Index()));
  }
};

std::unique_ptr<TScrollingCtrl> MakeList(int count) {
  auto list = std::make_unique<TScrollingCtrl>();
  list->SetScrollItemClass<TCaptionItem>();
  list->resize(242, 200);
  list->SetDefaultStyle(1);
  list->BeginUpdate();
  const int heights[3] = {18, 26, 44};
  for (int i = 0; i < count; ++i) {
    TScrollItem* item = list->AddItem();
    item->SetHeight(heights[i % 3]);
    item->ShowCheckBox = i % 2 == 0;
  }
  list->EndUpdate();
  list->show();
  return list;
}

// The first scroll position both lists reach: the ten-item list's surface
// is about 300 pixels, so 100 pixels down, and the long list from there.
constexpr int kPosition = 100;

void BM_Paint(benchmark::State& state) {
  auto list = MakeList(static_cast<int>(state.range(0)));
  list->ScrollTo(kPosition);
  QImage image(list->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    list->viewport()->render(&image);
    benchmark::DoNotOptimize(image.bits());
  }
}

void BM_PageScroll(benchmark::State& state) {
  auto list = MakeList(static_cast<int>(state.range(0)));
  // The long list pages in its middle; the short one over its whole length.
  list->ScrollTo(state.range(0) > 10 ? list->SurfaceHeight() / 2 : 0);
  QScrollBar* bar = list->verticalScrollBar();
  QImage image(list->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
  bool down = true;
  for (auto _ : state) {
    bar->triggerAction(down ? QAbstractSlider::SliderPageStepAdd
                            : QAbstractSlider::SliderPageStepSub);
    list->viewport()->render(&image);
    benchmark::DoNotOptimize(image.bits());
    down = !down;
  }
}

BENCHMARK(BM_Paint)->Arg(10)->Arg(100000);
BENCHMARK(BM_PageScroll)->Arg(10)->Arg(100000);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
