#include "gui/advisories/WrappedText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

namespace qgm::gui {

namespace {

bool IsSpace(QChar c) {
  return c.unicode() <= 32;
}

// Draws a line with the width left over spread over its spaces, the first
// spaces taking a pixel more when it does not divide evenly.
void DrawJustified(QPainter& painter, const QFontMetrics& metrics, const QString& line, int x,
                   int baseline, int width) {
  const int spaces = static_cast<int>(line.count(QLatin1Char(' ')));
  const int extra = width - metrics.horizontalAdvance(line);
  int gap = 0;
  int pen = x;
  int start = 0;
  for (int i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] != QLatin1Char(' ')) continue;
    const QString word = line.mid(start, i - start);
    painter.drawText(pen, baseline, word);
    pen += metrics.horizontalAdvance(word);
    if (i < line.size()) {
      pen += metrics.horizontalAdvance(QLatin1Char(' ')) + extra / spaces +
             (gap < extra % spaces ? 1 : 0);
      ++gap;
    }
    start = i + 1;
  }
}

}  // namespace

int DrawWrappedText(QPainter* painter, const QFontMetrics& metrics, const QString& source,
                    const QRect& rect, int flags) {
  const QString text = source.trimmed();
  if (text.isEmpty()) return 0;
  const bool measure = (flags & wtMeasureOnly) || !painter;
  const int n = static_cast<int>(text.size());
  const int lineHeight = metrics.height();
  int y = 0;
  int pos = 0;
  while (pos < n) {
    // How many characters fit in the width.
    int fit = 0;
    for (int w = 0; pos + fit < n; ++fit) {
      w += metrics.horizontalAdvance(text[pos + fit]);
      if (w > rect.width()) break;
    }
    int end, next;
    bool atLineFeed = false;
    const int lf = static_cast<int>(text.indexOf(QLatin1Char('\n'), pos));
    if (lf >= 0 && lf <= pos + fit) {
      end = lf;
      next = lf + 1;
      atLineFeed = true;
    } else if (fit == 0 || pos + fit >= n) {
      end = next = n;
    } else {
      // Back to the last space before the first character that does not
      // fit; a word wider than the line is cut where it stops fitting.
      int k = pos + fit;
      while (k > pos && !IsSpace(text[k])) --k;
      end = k > pos || IsSpace(text[pos]) ? k : pos + fit;
      next = end;
      while (end > pos && text[end - 1] == QLatin1Char(' ')) --end;
      while (next < n && text[next] == QLatin1Char(' ')) ++next;
    }
    if (!measure) {
      const QString line = text.mid(pos, end - pos);
      const int baseline = rect.top() + y + metrics.ascent();
      const bool more = next < n;
      if ((flags & wtJustify) && !atLineFeed && more && text[next].unicode() > 13 &&
          line.contains(QLatin1Char(' '))) {
        DrawJustified(*painter, metrics, line, rect.left(), baseline, rect.width());
      } else {
        int x = rect.left();
        if (flags & wtCentre)
          x += (rect.width() - metrics.horizontalAdvance(line)) / 2;
        else if (flags & wtRight)
          x += rect.width() - metrics.horizontalAdvance(line);
        painter->drawText(x, baseline, line);
      }
    }
    y += lineHeight;
    pos = next;
  }
  return y;
}

}  // namespace qgm::gui
