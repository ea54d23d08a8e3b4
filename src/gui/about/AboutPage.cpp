#include "gui/about/AboutPage.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "core/about/VersionCheck.h"
#include "gui/app/Text.h"
#include "gui/controls/Artwork.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/LinkStyle.h"

namespace qgm::gui {

namespace {

QGroupBox* Group(const QString& title, const char* name, QWidget* content, QWidget* parent) {
  auto* box = new QGroupBox(title, parent);
  box->setObjectName(QLatin1String(name));
  auto* l = new QVBoxLayout(box);
  l->addWidget(content);
  return box;
}

QLabel* CentredLabel(const QString& text, const char* name, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->setAlignment(Qt::AlignCenter);
  return label;
}

}  // namespace

TAboutPage::TAboutPage(const std::string& homePage, QWidget* parent) : QWidget(parent) {
  auto* program = CentredLabel(tr("QGM, the Corvalink usage meter"), "lblProgram", this);
  auto* version = CentredLabel(Q(VersionLabel()), "lblVersion", this);

  lblNewVersion_ = new TFocusLabel(tr(kCheckVersionText), this);
  lblNewVersion_->setObjectName(QStringLiteral("lblNewVersion"));
  StyleAsLink(*lblNewVersion_, Qt::AlignCenter);
  // One handler for good (a click may change the link's state while it
  // runs); it does something only while the link is clickable.
  lblNewVersion_->OnClick = [this] {
    if (versionClickable_ && OnCheckVersion) OnCheckVersion();
  };
  lblClockState_ = CentredLabel({}, "lblClockState", this);
  lblQgmUrl_ = new TFocusLabel(Q(homePage), this);
  lblQgmUrl_->setObjectName(QStringLiteral("lblQgmUrl"));
  StyleAsLink(*lblQgmUrl_, Qt::AlignCenter);
  lblQgmUrl_->SetOpensAddress(true);
  lblQgmUrl_->OnClick = [this] {
    if (OnOpenUrl) OnOpenUrl(S(lblQgmUrl_->Caption()));
  };

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(program);
  layout->addWidget(version);
  layout->addSpacing(8);
  layout->addWidget(Group(tr(" QGM Updates "), "gbUpdates", lblNewVersion_, this));
  layout->addWidget(Group(tr(" Computer Clock "), "gbClock", lblClockState_, this));
  layout->addStretch();
  auto* picture = new TArtworkView(EArtwork::AboutPicture, this);
  picture->setObjectName(QStringLiteral("imgAbout"));
  layout->addWidget(picture);
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
