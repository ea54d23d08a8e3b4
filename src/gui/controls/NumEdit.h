#pragma once
// A one-line field for numbers: only digits, "-" and "." can be typed, and
// only edits that leave a valid number are taken (others beep); an
// out-of-range value shows in red; without the focus the number is shown in
// its display format (integer, currency, percent or general).

#include <QColor>
#include <QLineEdit>

namespace qgm::gui {

class TNumedit : public QLineEdit {
  Q_OBJECT
 public:
  enum TNumericType { ntInteger, ntCurrency, ntPercent, ntGeneral };

  explicit TNumedit(QWidget* parent = nullptr);

  TNumericType NumericType() const { return type_; }
  void SetNumericType(TNumericType type);
  int DecimalPlaces() const { return decimals_; }
  void SetDecimalPlaces(int places);  // ignored for integers; 0..8 otherwise
  bool DecimalsTruncated() const { return truncated_; }
  void SetDecimalsTruncated(bool on);
  int MinVal() const { return min_; }
  void SetMinVal(int value);
  int MaxVal() const { return max_; }  // 0: no upper limit
  void SetMaxVal(int value) { max_ = value; }

  // The number shown; an unreadable text gives 0, an out-of-range one the
  // lower limit (or 0 when the range spans it).
  long double Value() const;
  void SetValue(long double value);
  bool InRange() const { return inRange_; }
  bool IsInRange(long double value) const;

  // The text in its display format.
  QString DisplayText() const;
  // Only the characters a number may hold.
  static QString CleanText(const QString& text);

 signals:
  // After every accepted change of the text.
  void changed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void SetTextChecked(const QString& text, int caret);
  // Shows a text the rules accepted (or the program set).
  void Show(const QString& text);
  void CheckOtherEdit(const QString& edited);
  void InsertText(const QString& s);
  void DeleteAt(int position);
  void SetFontColour(const QColor& colour);
  void Reformat();

  TNumericType type_ = ntInteger;
  int decimals_ = 0;
  bool truncated_ = false;
  int min_ = 0;
  int max_ = 0;
  bool inRange_ = true;
  QColor savedColour_;
  QString accepted_;  // the text last shown by the rules
};

}  // namespace qgm::gui
