#include "gui/about/AboutPage.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "core/about/VersionCheck.h"
#include "gui/app/Text.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/LinkStyle.h"

namespace qgm::gui {

namespace {

QGroupBox* Group(const QString& title, QWidget* content, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  auto* l = new QVBoxLayout(box);
  l->addWidget(content);
  return box;
}

}  // namespace

TAboutPage::TAboutPage(const std::string& homePage, QWidget* parent) : QWidget(parent) {
  auto* program = new QLabel(tr("QGM, the Corvalink usage meter"), this);
  program->setObjectName(QStringLiteral("lblProgram"));
  program->setAlignment(Qt::AlignCenter);
  auto* version = new QLabel(Q(VersionLabel()), this);
  version->setObjectName(QStringLiteral("lblVersion"));
  version->setAlignment(Qt::AlignCenter);

  lblNewVersion_ = new TFocusLabel(tr(kCheckVersionText), this);
  lblNewVersion_->setObjectName(QStringLiteral("lblNewVersion"));
  StyleAsLink(*lblNewVersion_, Qt::AlignCenter);
  // One handler for good (a click may change the link's state while it
  // runs); it does something only while the link is clickable.
  lblNewVersion_->OnClick = [this] {
    if (versionClickable_ && OnCheckVersion) OnCheckVersion();
  };
  lblClockState_ = new QLabel(this);
  lblClockState_->setObjectName(QStringLiteral("lblClockState"));
  lblClockState_->setAlignment(Qt::AlignCenter);
  lblQgmUrl_ = new TFocusLabel(Q(homePage), this);
  lblQgmUrl_->setObjectName(QStringLiteral("lblQgmUrl"));
  StyleAsLink(*lblQgmUrl_, Qt::AlignCenter);
  lblQgmUrl_->OnClick = [this] {
    if (OnOpenUrl) OnOpenUrl(S(lblQgmUrl_->Caption()));
  };

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(program);
  layout->addWidget(version);
  layout->addSpacing(8);
  auto* updates = Group(tr(" QGM Updates "), lblNewVersion_, this);
  updates->setObjectName(QStringLiteral("gbUpdates"));
  layout->addWidget(updates);
  auto* clock = Group(tr(" Computer Clock "), lblClockState_, this);
  clock->setObjectName(QStringLiteral("gbClock"));
  layout->addWidget(clock);
  layout->addStretch();
  layout->addWidget(lblQgmUrl_);
  SetVersionLink(kCheckVersionText, true);
}

void TAboutPage::SetVersionLink(const std::string& text, bool clickable) {
  lblNewVersion_->SetCaption(Q(text));
  SetTextColour(*lblNewVersion_, clickable ? kLinkColour : kBusyLinkColour);
  lblNewVersion_->setCursor(clickable ? Qt::PointingHandCursor : Qt::ArrowCursor);
  versionClickable_ = clickable;
}

void TAboutPage::SetClockState(const std::string& text) {
  lblClockState_->setText(Q(text));
}

void TAboutPage::LetPendingEventsRun() {
  QApplication::processEvents();
}

}  // namespace qgm::gui
