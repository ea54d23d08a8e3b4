#include "gui/provider/ProviderPage.h"

#include <QGridLayout>
#include <QGroupBox>

#include "gui/app/Text.h"
#include "gui/controls/Artwork.h"
#include "gui/controls/ClipboardCopy.h"
#include "gui/controls/FocusLabel.h"
#include "gui/controls/LinkStyle.h"
#include "ui_ProviderPage.h"

namespace qgm::gui {

TProviderPage::TProviderPage(ITimerFactory& timers, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::ProviderPage>()) {
  ui_->setupUi(this);
  ui_->lblClientNo->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ui_->lblClientNo->SetTabStop(true);  // copied with Enter or Space too
  copy_ = std::make_unique<TCopyFeedback>(ui_->lblClientNo, tr("Client No. copied to clipboard"),
                                          timers);
  ui_->lblClientNo->OnClick = [this] { copy_->Copy(); };
  ShowClientNo({});

  // The provider's pages.
  auto* links = new QGroupBox(tr(" Contact Info && Links "), this);
  links->setObjectName(QStringLiteral("gbLinks"));
  auto* grid = new QGridLayout(links);
  const struct {
    const char* name;
    QString caption;
    EProviderLink link;
    int row, column, span;
  } kLinks[] = {
      {"lblCorvalinkUrl", QString(), EProviderLink::Home, 0, 0, 2},
      {"lblWebmailUrl", tr("Webmail"), EProviderLink::Webmail, 1, 0, 1},
      {"lblHeldSpam", tr("Held Spam"), EProviderLink::HeldSpam, 1, 1, 1},
      {"lblUsageViaCorvalinkUrl", tr("Usage via Corvalink's website"),
       EProviderLink::UsageViaWebsite, 2, 0, 2},
      {"lblForum", tr("Corvalink Users Forum"), EProviderLink::Forum, 3, 0, 2},
      {"lblUnmetered", tr("Unmetered Content"), EProviderLink::Unmetered, 4, 0, 1},
      {"lblTechSupportWaitTimes", tr("Telephone Support wait times"),
       EProviderLink::SupportWaitTimes, 5, 0, 2},
  };
  for (const auto& l : kLinks) {
    auto* label = new TFocusLabel(l.caption, links);
    label->setObjectName(QString::fromLatin1(l.name));
    StyleAsLink(*label, Qt::AlignLeft | Qt::AlignVCenter);
    label->SetOpensAddress(true);
    label->OnClick = [this, link = l.link] {
      if (OnOpenLink) OnOpenLink(link);
    };
    grid->addWidget(label, l.row, l.column, 1, l.span);
    if (l.link == EProviderLink::Home) lblCorvalinkUrl_ = label;
  }
  ui_->layoutProvider->insertWidget(ui_->layoutProvider->count() - 1, links);
  // The provider's logo below the links.
  auto* logo = new TArtworkView(EArtwork::ProviderLogo, this);
  logo->setObjectName(QStringLiteral("imgLogo"));
  logo->setAccessibleName(tr("Corvalink"));
  ui_->layoutProvider->addWidget(logo);
}

void TProviderPage::SetHomePage(const std::string& address) {
  lblCorvalinkUrl_->SetCaption(Q(address));
}

TProviderPage::~TProviderPage() = default;

void TProviderPage::ShowClientNo(const std::string& number) {
  copy_->SetText(Q(number));
  ui_->lblClientNoCaption->setVisible(!number.empty());
  ui_->lblClientNo->setVisible(!number.empty());
  ui_->gbAccount->setVisible(!number.empty());
}

void TProviderPage::ShowServiceDetails(const TServiceDetails& d) {
  ui_->lblCarrier->setText(Q(d.Carrier));
  ui_->lblUploadsMetered->setText(Q(d.UploadsCounted));
  ui_->lblCapped->setText(Q(d.Capped));
  ui_->lblExcessFee->setText(Q(d.ExcessFee));
}

}  // namespace qgm::gui
