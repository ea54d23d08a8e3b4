#include "gui/controls/NumEdit.h"

#include "gui/controls/Contrast.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/util/Format.h"

namespace qgm::gui {
namespace {

bool Allowed(QChar c) {
  return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-') ||
         c == QLatin1Char('.');
}

// The whole text as a number (the C locale's reading), or false.
bool Convert(const QString& text, long double& out) {
  const std::string s = text.toStdString();
  if (s.empty()) return false;
  char* end = nullptr;
  out = std::strtold(s.c_str(), &end);
  return end == s.c_str() + s.size() && std::isfinite(out);
}

}  // namespace

TNumedit::TNumedit(QWidget* parent) : QLineEdit(parent) {
  setAlignment(Qt::AlignRight);
  Show(QStringLiteral("0"));
  savedColour_ = palette().color(QPalette::Text);
  // Edits that do not come through the keys handled here (the context
  // menu's Paste, Undo and Delete, Shift+Insert, a drop) follow the same
  // rules as typing.
  connect(this, &QLineEdit::textEdited, this, [this](const QString& t) { CheckOtherEdit(t); });
}

void TNumedit::Show(const QString& text) {
  setText(text);
  accepted_ = text;
}

void TNumedit::CheckOtherEdit(const QString& edited) {
  if (edited == accepted_) return;
  const QString candidate = CleanText(edited);
  const int caret = std::min(cursorPosition(), static_cast<int>(candidate.size()));
  Show(accepted_);  // back to the last accepted text; kept when the edit is refused
  if (candidate == accepted_) {
    QApplication::beep();  // nothing but refused characters
    return;
  }
  SetTextChecked(candidate, caret);
}

QString TNumedit::CleanText(const QString& text) {
  QString out;
  for (QChar c : text) {
    if (Allowed(c)) out += c;
  }
  return out;
}

bool TNumedit::IsInRange(long double v) const {
  if (min_ == 0 && max_ == 0) return true;
  return v >= min_ && (max_ == 0 || v <= max_);
}

long double TNumedit::Value() const {
  QString t = CleanText(text());
  if (t.isEmpty() || t == QStringLiteral("-")) return min_;
  if (t.endsWith(QLatin1Char('.'))) t += QLatin1Char('0');
  if (t.startsWith(QLatin1Char('.'))) t.prepend(QLatin1Char('0'));
  if (t.startsWith(QStringLiteral("-."))) t.insert(1, QLatin1Char('0'));
  long double v = 0;
  if (!Convert(t, v)) v = 0;
  if (!IsInRange(v)) v = (min_ < 0 && max_ >= 0) ? 0 : min_;
  return v;
}

QString TNumedit::DisplayText() const {
  const long double v = Value();
  std::string s;
  switch (type_) {
    case ntInteger:
      s = Format("%1.0f", {v});
      break;
    case ntCurrency:
      s = Format("%1.*m", {decimals_, v});
      break;
    case ntPercent:
      s = Format("%1.*f%%", {decimals_, v});
      break;
    case ntGeneral:
      s = Format("%1.*n", {decimals_, v});
      if (truncated_ && decimals_ > 0) {
        while (!s.empty() && s.back() == '0') s.pop_back();
        if (!s.empty() && s.back() == '.') s.pop_back();
      }
      break;
  }
  return QString::fromLatin1(s.c_str());
}

void TNumedit::Reformat() {
  if (!hasFocus()) Show(DisplayText());
}

void TNumedit::SetNumericType(TNumericType type) {
  type_ = type;
  if (type == ntInteger) decimals_ = 0;
  Reformat();
}

void TNumedit::SetDecimalPlaces(int places) {
  if (type_ == ntInteger) return;
  decimals_ = std::clamp(places, 0, 8);
  Reformat();
}

void TNumedit::SetDecimalsTruncated(bool on) {
  truncated_ = on;
  Reformat();
}

void TNumedit::SetMinVal(int value) {
  min_ = value;
  if (!IsInRange(Value())) SetValue(min_);
}

void TNumedit::SetValue(long double x) {
  if (!IsInRange(x)) x = min_;
  if (hasFocus() && x == 0) {
    Show(QString());
  } else if (type_ == ntInteger) {
    Show(QString::fromLatin1(Format("%1.0f", {x}).c_str()));
  } else {
    Show(QString::fromLatin1(Format("%1.*f", {decimals_, x}).c_str()));
    Reformat();
  }
  emit changed();
}

void TNumedit::SetFontColour(const QColor& colour) {
  QPalette p = palette();
  p.setColor(QPalette::Text, Legible(colour, p.color(QPalette::Base)));
  setPalette(p);
}

void TNumedit::SetTextChecked(const QString& t, int caret) {
  if (t.isEmpty()) {
    Show(t);
    selectAll();
    emit changed();
    return;
  }
  if (t == QStringLiteral("-")) {
    SetFontColour(IsInRange(0) ? savedColour_ : QColor(255, 0, 0));
    Show(t);
    setCursorPosition(1);
    emit changed();
    return;
  }
  long double v = 0;
  const int room = contentsRect().width() - textMargins().left() - textMargins().right() - 4;
  bool ok = Convert(t, v) && fontMetrics().horizontalAdvance(t + QLatin1Char('0')) < room;
  const int dot = t.indexOf(QLatin1Char('.'));
  if (ok && dot >= 0) ok = decimals_ > 0 && t.size() - dot - 1 <= decimals_;
  if (!ok) {
    QApplication::beep();
    return;
  }
  inRange_ = IsInRange(v);
  SetFontColour(inRange_ ? savedColour_ : QColor(255, 0, 0));
  Show(t);
  setCursorPosition(caret);
  emit changed();
}

void TNumedit::InsertText(const QString& s) {
  const QString t = text();
  const int start = hasSelectedText() ? selectionStart() : cursorPosition();
  const int length = hasSelectedText() ? static_cast<int>(selectedText().size()) : 0;
  SetTextChecked(t.left(start) + s + t.mid(start + length), start + static_cast<int>(s.size()));
}

void TNumedit::DeleteAt(int p) {
  const QString t = text();
  if (hasSelectedText()) {
    const int start = selectionStart();
    SetTextChecked(t.left(start) + t.mid(start + static_cast<int>(selectedText().size())), start);
    return;
  }
  if (p < 0 || p >= t.size()) {
    QApplication::beep();
    return;
  }
  SetTextChecked(t.left(p) + t.mid(p + 1), p);
}

void TNumedit::keyPressEvent(QKeyEvent* e) {
  if (isReadOnly()) return QLineEdit::keyPressEvent(e);
  const int key = e->key();
  const bool ctrl = e->modifiers() & Qt::ControlModifier;
  if (key == Qt::Key_Up || key == Qt::Key_Down) {
    if (type_ == ntInteger) {
      const long long n = static_cast<long long>(std::trunc(Value()));
      if (key == Qt::Key_Up && n < max_)
        SetTextChecked(QString::number(n + 1), static_cast<int>(QString::number(n + 1).size()));
      if (key == Qt::Key_Down && n > min_)
        SetTextChecked(QString::number(n - 1), static_cast<int>(QString::number(n - 1).size()));
    }
    return;
  }
  if (key == Qt::Key_Delete) return DeleteAt(cursorPosition());
  if (key == Qt::Key_Backspace)
    return DeleteAt(hasSelectedText() ? selectionStart() : cursorPosition() - 1);
  if (ctrl && key == Qt::Key_C) {
    if (hasSelectedText()) QApplication::clipboard()->setText(selectedText());
    return;
  }
  if (ctrl && key == Qt::Key_X) {
    if (hasSelectedText()) {
      QApplication::clipboard()->setText(selectedText());
      DeleteAt(selectionStart());
    }
    return;
  }
  if (ctrl && key == Qt::Key_V) {
    const QString pasted = QApplication::clipboard()->text();
    if (!pasted.isEmpty()) InsertText(CleanText(pasted));
    return;
  }
  const QString typed = e->text();
  if (key == Qt::Key_Escape || typed.isEmpty() || key == Qt::Key_Tab || key == Qt::Key_Backtab ||
      key == Qt::Key_Return || key == Qt::Key_Enter) {
    // Navigation, Escape and Enter keep their usual meaning.
    return QLineEdit::keyPressEvent(e);
  }
  if (typed.size() == 1 && Allowed(typed[0])) return InsertText(typed);
  QApplication::beep();
}

void TNumedit::focusInEvent(QFocusEvent* e) {
  savedColour_ = palette().color(QPalette::Text);
  QLineEdit::focusInEvent(e);
  Show(Value() != 0 ? CleanText(text()) : QString());
  selectAll();
}

void TNumedit::focusOutEvent(QFocusEvent* e) {
  QLineEdit::focusOutEvent(e);
  Show(DisplayText());
  SetFontColour(savedColour_);
}

}  // namespace qgm::gui
