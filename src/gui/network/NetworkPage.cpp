#include "gui/network/NetworkPage.h"

#include "gui/app/Text.h"
#include "gui/controls/ClipboardCopy.h"
#include "ui_NetworkPage.h"

namespace qgm::gui {

TNetworkPage::TNetworkPage(ITimerFactory& timers, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::NetworkPage>()) {
  ui_->setupUi(this);
  ui_->lblCurrentIP->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ui_->lblCurrentIP->SetCaption(QStringLiteral("0.0.0.0"));
  copy_ = std::make_unique<TCopyFeedback>(ui_->lblCurrentIP, tr("Copied to clipboard"), timers);
  ui_->lblCurrentIP->OnClick = [this] { copy_->Copy(); };
}

TNetworkPage::~TNetworkPage() = default;

void TNetworkPage::ShowPublicAddress(const std::string& address) {
  copy_->SetText(Q(address));
}

}  // namespace qgm::gui
