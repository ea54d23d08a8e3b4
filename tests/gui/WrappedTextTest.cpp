// Wrapping any text from outside: every call ends, every line fits (or is
// the one exception the rules allow), no visible character is lost, and
// what is drawn is what was measured.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QRect>

#include <random>
#include <vector>

#include "gui/advisories/WrappedText.h"

namespace qgm::gui {
namespace {

// Random text as feeds send it and worse: words of every length in several
// scripts, runs of blanks, every control character, bare carriage returns.
class TTextMaker {
 public:
  explicit TTextMaker(unsigned seed, bool surrogates) : rng_(seed), surrogates_(surrogates) {}
  int Pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(rng_); }
  QString Text() {
    QString s;
    const int parts = Pick(0, 40);
    for (int i = 0; i < parts; ++i) {
      if (Pick(0, 1)) {
        AddWord(s);
      } else {
        AddBlanks(s);
      }
    }
    return s;
  }

 private:
  void AddWord(QString& s) {
    const int length = Pick(0, 9) == 0 ? Pick(20, 90) : Pick(1, 10);
    const int script = Pick(0, 9);
    for (int i = 0; i < length; ++i) {
      switch (script) {
        case 0:
          s += QChar(Pick(0xA0, 0xFF));  // Latin-1, the no-break space among them
          break;
        case 1:
          s += QChar(Pick(0x410, 0x44F));  // Cyrillic
          break;
        case 2:
          s += QChar(Pick(0x4E00, 0x4FFF));  // CJK
          break;
        case 3:
          s += QChar(Pick(0x7F, 0x9F));  // DEL and the C1 controls
          break;
        case 4:
          if (surrogates_) {
            s += QChar(0xD83D);  // emoji: a surrogate pair
            s += QChar(Pick(0xDE00, 0xDE4F));
            break;
          }
          [[fallthrough]];
        default:
          s += QChar(Pick(33, 126));
      }
    }
  }
  void AddBlanks(QString& s) {
    static const char16_t kBlanks[] = {u' ',  u' ',  u' ',  u' ',  u'\t', u'\v', u'\f',
                                       u'\0', u'\r', u'\n', u'\n', 1,     27,    31};
    const int count = Pick(1, 4);
    for (int i = 0; i < count; ++i) {
      if (Pick(0, 12) == 0) {
        s += QStringLiteral("\r\n");
      } else {
        s += QChar(kBlanks[Pick(0, static_cast<int>(std::size(kBlanks)) - 1)]);
      }
    }
  }
  std::mt19937 rng_;
  bool surrogates_;
};

int Width(const QString& text, int from, int to, const TCharWidth& advance) {
  int w = 0;
  for (int i = from; i < to; ++i) w += advance(text[i]);
  return w;
}

QString Visible(const QString& text) {
  QString v;
  for (QChar c : text)
    if (!IsBlank(c)) v += c;
  return v;
}

QString Printable(QString text) {
  for (QChar& c : text)
    if (c.category() == QChar::Other_Control) c = QLatin1Char(' ');
  return text;
}

// Cuts `text` into lines, checking each against the rules; stops at the
// first line that breaks one.
std::vector<TTextLine> CheckedLines(const QString& text, int width, const TCharWidth& advance) {
  const bool failedBefore = ::testing::Test::HasFailure();
  std::vector<TTextLine> lines;
  const int n = static_cast<int>(text.size());
  for (int pos = 0; pos < n;) {
    const TTextLine line = NextTextLine(text, pos, width, advance);
    lines.push_back(line);
    EXPECT_EQ(line.Start, pos);
    EXPECT_GT(line.Next, pos) << "no progress at " << pos;
    if (line.Next <= pos) return lines;
    EXPECT_LE(line.Start, line.End);
    EXPECT_LE(line.End, line.Next);
    EXPECT_LE(line.Next, n);
    for (int i = line.Start; i < line.End; ++i) {
      EXPECT_NE(text[i], QLatin1Char('\n'));
    }
    // Only blanks are dropped between lines.
    for (int i = line.End; i < line.Next; ++i) {
      EXPECT_TRUE(IsBlank(text[i])) << i;
    }
    EXPECT_EQ(line.AtLineFeed, line.Next > line.End && text[line.Next - 1] == QLatin1Char('\n'));
    const bool paragraphEnd = line.End == n || text[line.End] == QLatin1Char('\n');
    if (advance(text[pos]) > width) {
      // Nothing fits: the rest of the paragraph is one line.
      EXPECT_TRUE(paragraphEnd) << pos;
    } else {
      EXPECT_LE(Width(text, line.Start, line.End, advance), width) << pos;
      // A word wider than the line is cut where it stops fitting.
      if (line.End == line.Next && line.End < n) {
        EXPECT_GT(Width(text, line.Start, line.End + 1, advance), width) << pos;
      }
    }
    if (::testing::Test::HasFailure() && !failedBefore) return lines;
    pos = line.Next;
  }
  return lines;
}

// Every character wider than the widest line some of the time, some blanks
// without any width.
int OddWidth(QChar c) {
  if (IsBlank(c)) return c.unicode() % 4;
  return 1 + (c.unicode() * 7919) % 40;
}

TEST(WrappedText, AnyTextWrapsIntoLinesThatFitWithoutLosingACharacter) {
  TTextMaker maker(20240611, true);
  for (int round = 0; round < 30000; ++round) {
    const QString text = TrimBlanks(maker.Text());
    const int width = maker.Pick(1, 400);
    SCOPED_TRACE(::testing::Message()
                 << "round " << round << " width " << width << " text " << text.toStdString());
    const std::vector<TTextLine> lines = CheckedLines(text, width, OddWidth);
    if (HasFailure()) return;
    QString kept;
    for (const TTextLine& l : lines) kept += text.mid(l.Start, l.End - l.Start);
    ASSERT_EQ(Visible(kept), Visible(text));
  }
}

TEST(WrappedText, OrdinaryTextBreaksAtSpacesAndLineFeeds) {
  const TCharWidth tenEach = [](QChar) { return 10; };
  auto lines = [&](const QString& text, int width) {
    QStringList out;
    for (const TTextLine& l : CheckedLines(text, width, tenEach))
      out << text.mid(l.Start, l.End - l.Start);
    return out;
  };
  EXPECT_EQ(lines(QStringLiteral("the quick brown fox"), 100),
            QStringList({QStringLiteral("the quick"), QStringLiteral("brown fox")}));
  EXPECT_EQ(lines(QStringLiteral("one\ntwo"), 100),
            QStringList({QStringLiteral("one"), QStringLiteral("two")}));
  EXPECT_EQ(lines(QStringLiteral("abcdefghijkl"), 50),
            QStringList({QStringLiteral("abcde"), QStringLiteral("fghij"), QStringLiteral("kl")}));
  // A tab, form feed or any other control breaks like a space.
  EXPECT_EQ(lines(QStringLiteral("Outage\tSydney exchange"), 100),
            QStringList(
                {QStringLiteral("Outage"), QStringLiteral("Sydney"), QStringLiteral("exchange")}));
  EXPECT_EQ(lines(QStringLiteral("ab\f\v\tcdefgh ij"), 60),
            QStringList({QStringLiteral("ab"), QStringLiteral("cdefgh"), QStringLiteral("ij")}));
  // Nothing fits: each paragraph is one line.
  EXPECT_EQ(lines(QStringLiteral("ab cd\nef"), 5),
            QStringList({QStringLiteral("ab cd"), QStringLiteral("ef")}));
}

// A paint device that keeps the text drawn on it, with where.
class TTextRecorder : public QPaintDevice {
 public:
  struct TRun {
    QPointF At;
    QString Text;
  };
  QPaintEngine* paintEngine() const override { return &engine_; }
  std::vector<TRun>& Runs() { return engine_.runs; }

 protected:
  int metric(PaintDeviceMetric m) const override {
    switch (m) {
      case PdmWidth:
      case PdmHeight:
        return 2000;
      case PdmDpiX:
      case PdmDpiY:
      case PdmPhysicalDpiX:
      case PdmPhysicalDpiY:
        return 96;
      case PdmDepth:
        return 32;
      case PdmDevicePixelRatio:
        return 1;
      case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
      default:
        return 0;
    }
  }

 private:
  class TEngine : public QPaintEngine {
   public:
    TEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF& at, const QTextItem& item) override {
      runs.push_back({at, item.text()});
    }
    Type type() const override { return QPaintEngine::User; }
    std::vector<TRun> runs;
  };
  mutable TEngine engine_;
};

TEST(WrappedText, WhatIsDrawnIsWhatWasMeasuredLineByLine) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  TTextMaker maker(7, false);
  const int flagChoices[] = {0, wtJustify, wtCentre, wtRight};
  for (int round = 0; round < 3000; ++round) {
    const QString text = maker.Text();
    const int width = maker.Pick(1, 400);
    const int flags = flagChoices[maker.Pick(0, 3)];
    SCOPED_TRACE(::testing::Message() << "round " << round << " width " << width << " flags "
                                      << flags << " text " << text.toStdString());
    TTextRecorder device;
    QPainter painter(&device);
    painter.setFont(font);
    const QFontMetrics metrics(painter.font());
    const QRect rect(11, 5, width, 1000);
    const int height = DrawWrappedText(&painter, metrics, text, rect, flags);
    painter.end();
    EXPECT_EQ(DrawWrappedText(nullptr, metrics, text, rect, wtMeasureOnly), height);

    const QString trimmed = TrimBlanks(text);
    const TCharWidth advance = CharWidths(metrics);
    const std::vector<TTextLine> lines = CheckedLines(trimmed, width, advance);
    if (HasFailure()) return;
    ASSERT_EQ(height, static_cast<int>(lines.size()) * metrics.height());
    // Each run on the baseline of its line, the lines' visible characters
    // in their order.
    std::vector<QString> drawn(lines.size());
    for (const auto& run : device.Runs()) {
      const int y = qRound(run.At.y()) - rect.top() - metrics.ascent();
      ASSERT_EQ(y % metrics.height(), 0) << y;
      const size_t line = static_cast<size_t>(y / metrics.height());
      ASSERT_LT(line, lines.size());
      drawn[line] += run.Text;
    }
    for (size_t i = 0; i < lines.size(); ++i) {
      const TTextLine& l = lines[i];
      // Controls show as spaces.
      ASSERT_EQ(Visible(drawn[i]), Visible(Printable(trimmed.mid(l.Start, l.End - l.Start))))
          << "line " << i;
    }
  }
}

}  // namespace
}  // namespace qgm::gui

namespace qgm::gui {
namespace {

// Justified, a line is drawn a word at a time to fill the width; only a
// line that wraps into a next line of the same paragraph is.
TEST(WrappedText, JustifiesOnlyLinesWrappedIntoMoreOfTheParagraph) {
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  const QFontMetrics metrics(font);
  const int fits = metrics.horizontalAdvance(QStringLiteral("aaa bbb c"));
  struct Case {
    QString text;
    int width;
    size_t firstLineRuns;
  };
  const Case cases[] = {
      {QStringLiteral("aaa bbb ccc ddd"), fits, 2},                     // wraps on
      {QStringLiteral("aaa bbb\nccc ddd"), 1000, 1},                    // ends at a line feed
      {QStringLiteral("aaa bbb"), 1000, 1},                             // the last line
      {QStringLiteral("aaa bbb                    \nccc"), fits, 1},  // next line: a line feed
  };
  for (const Case& c : cases) {
    TTextRecorder device;
    QPainter painter(&device);
    painter.setFont(font);
    DrawWrappedText(&painter, QFontMetrics(painter.font()), c.text, QRect(0, 0, c.width, 500),
                    wtJustify);
    painter.end();
    size_t runs = 0;
    int right = 0;
    for (const auto& run : device.Runs()) {
      if (qRound(run.At.y()) != metrics.ascent()) continue;
      ++runs;
      right = qRound(run.At.x()) + metrics.horizontalAdvance(run.Text);
    }
    EXPECT_EQ(runs, c.firstLineRuns) << c.text.toStdString();
    if (c.firstLineRuns > 1) {
      EXPECT_EQ(right, c.width) << c.text.toStdString();
    }
  }
}

}  // namespace
}  // namespace qgm::gui
