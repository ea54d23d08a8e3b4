#include "gui/advisories/AdvisoriesPage.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>

#include "core/util/CodePage.h"
#include "gui/advisories/AdvisoryItem.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/ScrollingCtrl.h"

namespace qgm::gui {

namespace {

const QColor kLinkColour(0x01, 0x5C, 0xB3);
const QColor kHoverColour(0xCC, 0, 0);
const QColor kItemColour(0xEF, 0xF1, 0xE6);
constexpr int kTipsTop = 18;     // the first tip's top in the panel
constexpr int kShortPanel = 30;  // shorter than this: the tips are hidden
constexpr int kTipHeight = 28;   // two lines of tip

QString Q(const std::string& cp1252) {
  return QString::fromStdString(Cp1252ToUtf8(cp1252));
}

TFocusLabel* MakeLink(const QString& caption, QWidget* parent) {
  auto* link = new TFocusLabel(caption, parent);
  QFont bold = link->font();
  bold.setBold(true);
  link->setFont(bold);
  QPalette p = link->palette();
  p.setColor(QPalette::WindowText, kLinkColour);
  link->setPalette(p);
  link->SetMouseOverColor(kHoverColour);
  link->setCursor(Qt::PointingHandCursor);
  link->SetAutoSize(true);
  link->SetTabStop(true);
  return link;
}

}  // namespace

TAdvisoriesPage::TAdvisoriesPage(TSettings& settings, QWidget* parent)
    : QWidget(parent), settings_(settings) {
  setObjectName(QStringLiteral("AdvisoriesPage"));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setHandleWidth(5);
  splitter_->setChildrenCollapsible(false);
  layout->addWidget(splitter_);

  pnlAdvisories_ = new QWidget(splitter_);
  pnlAdvisories_->setObjectName(QStringLiteral("pnlAdvisories"));
  pnlAdvisories_->setMinimumHeight(kTipsTop + 4);
  lblRefreshAdvisories_ = MakeLink(tr("&Refresh Advisories"), pnlAdvisories_);
  lblRefreshAdvisories_->setObjectName(QStringLiteral("fLblRefreshAdvisories"));
  lblRefreshAdvisories_->move(4, 2);
  lblHideAdvTips_ = MakeLink(tr("Hide &tips"), pnlAdvisories_);
  lblHideAdvTips_->setObjectName(QStringLiteral("fLblHideAdvTips"));
  lblHideAdvTips_->SetAlignment(Qt::AlignRight);
  const QStringList tips = {tr("* Click on an item (or use the left & right arrow keys)\nto expand "
                               "or collapse that advisory's "
                               "description."),
                            tr("* Use the ctrl key together with the up & down arrow\nkeys for "
                               "vertical scrolling without "
                               "changing items."),
                            tr("* Click the coloured button (or use the <enter> key to\nopen an "
                               "advisory report in your browser.")};
  QLabel* tip = nullptr;
  for (int i = 0; i < tips.size(); ++i) {
    tip = new QLabel(tips[i], pnlAdvisories_);
    tip->setTextFormat(Qt::PlainText);
    tip->setGeometry(6, kTipsTop + i * (kTipHeight + 2), 290, kTipHeight);
    if (i == 0) lblAdvisoriesTop_ = tip;
  }
  lblAdvisoriesBtm_ = tip;
  lblAdvisoriesTop_->setObjectName(QStringLiteral("lblAdvisoriesTop"));
  lblAdvisoriesBtm_->setObjectName(QStringLiteral("lblAdvisoriesBtm"));

  scAdvisories_ = new TScrollingCtrl(splitter_);
  scAdvisories_->setObjectName(QStringLiteral("scAdvisories"));
  // Told by its tab's caption, and its keys by the first tips.
  scAdvisories_->setAccessibleName(tr("Advisories"));
  scAdvisories_->setAccessibleDescription(
      tr("Left and right arrow keys collapse and expand an advisory; Enter opens its report."));
  scAdvisories_->SetScrollItemClass<TMyScrollItem>();
  scAdvisories_->SetDefaultStyle(1);
  scAdvisories_->SetDefaultItemHeight(26);
  scAdvisories_->SetDefaultItemColor(kItemColour);
  scAdvisories_->SetHorzSpace(1);
  scAdvisories_->SetVertSpace(3);
  scAdvisories_->SetTopOffset(2);
  scAdvisories_->SetHideSelection(true);
  scAdvisories_->OnResize = [this] { LayoutAdvisories(); };
  scAdvisories_->OnKeyDown = [this](QKeyEvent& e) {
    if (e.isAutoRepeat() && (e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter)) return true;
    switch (e.key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
        AdvisoryKeyAction(13);
        break;
      case Qt::Key_Left:
        AdvisoryKeyAction(37);
        break;
      case Qt::Key_Right:
        AdvisoryKeyAction(39);
        break;
      default:
        break;
    }
    return false;  // the list's own keys run too
  };
  splitter_->setStretchFactor(0, 0);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({105, 300});

  pnlAdvisories_->installEventFilter(this);
  // The user drags the splitter: a panel left shorter than the tips hides
  // them at the next start too.
  connect(splitter_, &QSplitter::splitterMoved, this,
          [this] { settings_.HideAdvisoryTips = pnlAdvisories_->height() < kShortPanel; });
  lblRefreshAdvisories_->OnClick = [this] { RefreshClicked(); };
  lblHideAdvTips_->OnClick = [this] { SetTipsVisible(pnlAdvisories_->height() < kShortPanel); };
  SetTipsVisible(!settings_.HideAdvisoryTips);
}

void TAdvisoriesPage::SetTipsVisible(bool visible) {
  const int height =
      visible ? lblAdvisoriesBtm_->geometry().bottom() + 1 + 16 : lblAdvisoriesTop_->y() + 8;
  lblHideAdvTips_->SetCaption(visible ? tr("Hide &tips") : tr("Show &tips"));
  TipsPanelResized();
  QList<int> sizes = splitter_->sizes();
  const int total = sizes.value(0) + sizes.value(1);
  splitter_->setSizes({height, std::max(total - height, 1)});
  pnlAdvisories_->resize(pnlAdvisories_->width(), height);
  settings_.HideAdvisoryTips = !visible;
}

bool TAdvisoriesPage::eventFilter(QObject* watched, QEvent* event) {
  if (watched == pnlAdvisories_ && event->type() == QEvent::Resize) TipsPanelResized();
  return QWidget::eventFilter(watched, event);
}

bool TAdvisoriesPage::TipsVisible() const {
  return pnlAdvisories_->height() >= kShortPanel;
}

void TAdvisoriesPage::TipsPanelResized() {
  lblHideAdvTips_->move(pnlAdvisories_->width() - lblHideAdvTips_->width() - 4, 2);
}

void TAdvisoriesPage::ShowAdvisories(const std::vector<TAdvisory>& advisories) {
  scAdvisories_->BeginUpdate();
  scAdvisories_->Clear();
  for (const TAdvisory& a : advisories) {
    auto* item = static_cast<TMyScrollItem*>(scAdvisories_->AddItem());
    item->ReadOnly = true;
    item->Title = Q(a.Title);
    item->Description = Q(a.Description);
    item->Link = Q(a.Link);
    item->EnclosureUrl = Q(a.EnclosureUrl);
    item->EnclosureType = Q(a.EnclosureType);
    item->EnclosureLength = a.EnclosureLength;
    item->IsNew = a.IsNew;
    if (a.IsNew) item->SetColor(Qt::white);
    item->OpenLink = [this](const QString& url) {
      if (OnOpenLink) OnOpenLink(url.toStdString());
    };
  }
  scAdvisories_->EndUpdate();
  LayoutAdvisories();
}

TMyScrollItem* TAdvisoriesPage::Item(int index) const {
  return static_cast<TMyScrollItem*>(scAdvisories_->GetItem(index));
}

void TAdvisoriesPage::LayoutAdvisories() {
  const bool hadBar = scAdvisories_->HasVScroll();
  auto apply = [this] {
    const int w = scAdvisories_->ClientWidth() - 22;
    for (int i = 0; i < scAdvisories_->Count(); ++i) Item(i)->SetHeight(Item(i)->MeasureHeight(w));
  };
  apply();
  // The scroll bar came or went with those heights: once more at the new width.
  if (scAdvisories_->HasVScroll() != hadBar) apply();
}

void TAdvisoriesPage::AdvisoryKeyAction(int key) {
  if (scAdvisories_->Count() == 0) return;
  auto* item = static_cast<TMyScrollItem*>(scAdvisories_->SelectedItem());
  switch (key) {
    case 13: {
      const QString url = !item->EnclosureUrl.isEmpty() ? item->EnclosureUrl : item->Link;
      if (!url.isEmpty() && OnOpenLink) OnOpenLink(url.toStdString());
      break;
    }
    case 37:
      if (item->Expanded) item->SetExpanded(false);
      break;
    case 39:
      if (!item->Expanded) item->SetExpanded(true);
      break;
    default:
      break;
  }
}

void TAdvisoriesPage::RefreshClicked() {
  scAdvisories_->Clear();
  // The empty list shows while the feed is fetched.
  QApplication::processEvents();
  if (OnRefresh) OnRefresh();
}

void TAdvisoriesPage::Activated() {
  scAdvisories_->setFocus();
}

}  // namespace qgm::gui
