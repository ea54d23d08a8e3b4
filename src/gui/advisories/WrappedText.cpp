#include "gui/advisories/WrappedText.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

namespace qgm::gui {

namespace {

// Control characters (C0, DEL, C1) show as spaces and take a space's
// width, so what is measured is what is drawn.
bool IsControl(QChar c) {
  return c.category() == QChar::Other_Control;
}

QString Shown(QString line) {
  for (QChar& c : line)
    if (IsControl(c)) c = QLatin1Char(' ');
  return line;
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

QString TrimBlanks(const QString& text) {
  auto trimmed = [](QChar c) { return IsBlank(c) || c.isSpace(); };
  qsizetype from = 0, to = text.size();
  while (from < to && trimmed(text[from])) ++from;
  while (to > from && trimmed(text[to - 1])) --to;
  return text.mid(from, to - from);
}

TCharWidth CharWidths(const QFontMetrics& metrics) {
  const int space = metrics.horizontalAdvance(QLatin1Char(' '));
  return [&metrics, space](QChar c) { return IsControl(c) ? space : metrics.horizontalAdvance(c); };
}

TTextLine NextTextLine(const QString& text, int pos, int width, const TCharWidth& advance) {
  const int n = static_cast<int>(text.size());
  TTextLine line;
  line.Start = pos;
  // How many characters fit in the width.
  int fit = 0;
  for (int w = 0; pos + fit < n; ++fit) {
    w += advance(text[pos + fit]);
    if (w > width) break;
  }
  // A line feed among them, or right after them, ends the line there.
  for (int i = pos; i <= pos + fit && i < n; ++i) {
    if (text[i] != QLatin1Char('\n')) continue;
    line.End = i;
    line.Next = i + 1;
    line.AtLineFeed = true;
    return line;
  }
  if (fit == 0) {
    // Not even one character fits: the rest of the paragraph is the line.
    const int lf = static_cast<int>(text.indexOf(QLatin1Char('\n'), pos));
    line.AtLineFeed = lf >= 0;
    line.End = lf >= 0 ? lf : n;
    line.Next = lf >= 0 ? lf + 1 : n;
    return line;
  }
  if (pos + fit >= n) {
    line.End = line.Next = n;
    return line;
  }
  // Back to the last blank before the first character that does not fit;
  // a word wider than the line is cut where it stops fitting.
  int k = pos + fit;
  while (k > pos && !IsBlank(text[k])) --k;
  int end = k > pos || IsBlank(text[pos]) ? k : pos + fit;
  int next = end;
  // The blanks around the break go; a line feed stays to end the next line.
  while (end > pos && IsBlank(text[end - 1])) --end;
  while (next < n && IsBlank(text[next]) && text[next] != QLatin1Char('\n')) ++next;
  line.End = end;
  line.Next = next;
  return line;
}

int DrawWrappedText(QPainter* painter, const QFontMetrics& metrics, const QString& source,
                    const QRect& rect, int flags) {
  const QString text = TrimBlanks(source);
  if (text.isEmpty()) return 0;
  const bool measure = (flags & wtMeasureOnly) || !painter;
  const int n = static_cast<int>(text.size());
  const int lineHeight = metrics.height();
  const TCharWidth advance = CharWidths(metrics);
  int y = 0;
  for (int pos = 0; pos < n;) {
    const TTextLine wrapped = NextTextLine(text, pos, rect.width(), advance);
    if (!measure) {
      const QString line = Shown(text.mid(wrapped.Start, wrapped.End - wrapped.Start));
      const int baseline = rect.top() + y + metrics.ascent();
      const int next = wrapped.Next;
      if ((flags & wtJustify) && !wrapped.AtLineFeed && next < n && text[next].unicode() > 13 &&
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
    pos = wrapped.Next;
  }
  return y;
}

}  // namespace qgm::gui
