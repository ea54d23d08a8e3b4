#include "gui/provider/ProviderPage.h"

#include "gui/app/Text.h"
#include "gui/controls/ClipboardCopy.h"
#include "ui_ProviderPage.h"

namespace qgm::gui {

TProviderPage::TProviderPage(ITimerFactory& timers, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::ProviderPage>()) {
  ui_->setupUi(this);
  ui_->lblClientNo->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  copy_ = std::make_unique<TCopyFeedback>(ui_->lblClientNo, tr("Client No. copied to clipboard"),
                                          timers);
  ui_->lblClientNo->OnClick = [this] { copy_->Copy(); };
  ShowClientNo({});
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
