#include "gui/network/NetworkPage.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include "core/network/Traffic.h"
#include "gui/app/Text.h"
#include "gui/controls/ClipboardCopy.h"
#include "gui/controls/FocusLabel.h"
#include "gui/network/NetGraph.h"
#include "ui_NetworkPage.h"

namespace qgm::gui {

namespace {

QSlider* MakeTrackBar(const char* name, int position, QWidget* parent) {
  auto* bar = new QSlider(Qt::Vertical, parent);
  bar->setObjectName(QString::fromLatin1(name));
  bar->setRange(1, 17);
  bar->setInvertedAppearance(true);  // position 1, the largest scale, at the top
  bar->setTickPosition(QSlider::NoTicks);
  bar->setValue(position);
  bar->setFixedHeight(TNetGraph::kHeight);
  return bar;
}

}  // namespace

TNetworkPage::TNetworkPage(TSettings& settings, ITimerFactory& timers, QWidget* parent,
                           bool offerLoopback)
    : QWidget(parent),
      s_(settings),
      offerLoopback_(offerLoopback),
      ui_(std::make_unique<Ui::NetworkPage>()) {
  ui_->setupUi(this);
  ui_->lblCurrentIP->SetAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  ui_->lblCurrentIP->SetTabStop(true);  // copied with Enter or Space too
  ui_->lblCurrentIP->SetCaption(QString());  // until the first check says
  copy_ = std::make_unique<TCopyFeedback>(ui_->lblCurrentIP, tr("Copied to clipboard"), timers);
  ui_->lblCurrentIP->OnClick = [this] { copy_->Copy(); };

  // The adapter and its addresses.
  auto* adapter = new QGroupBox(tr(" Network Adapter "), this);
  auto* form = new QFormLayout(adapter);
  form->setVerticalSpacing(1);
  cbNetworkAdaptors_ = new QComboBox(adapter);
  cbNetworkAdaptors_->setObjectName(QStringLiteral("cbNetworkAdaptors"));
  form->addRow(cbNetworkAdaptors_);
  auto label = [adapter](const char* name) {
    auto* l = new QLabel(adapter);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
  };
  lblLAN_ = label("lblLAN");
  lblGateway_ = label("lblGateway");
  lblMac_ = label("lblMac");
  form->addRow(tr("LAN address:"), lblLAN_);
  form->addRow(tr("Gateway:"), lblGateway_);
  form->addRow(tr("MAC address:"), lblMac_);

  // The traffic graph with its scales.
  gbNetGraph_ = new QGroupBox(this);
  gbNetGraph_->setObjectName(QStringLiteral("gbNetGraph"));
  auto* g = new QVBoxLayout(gbNetGraph_);
  // The speeds, their unit and the download test: the " Current Speeds "
  // group below the graph.
  auto* gbSpeeds = new QGroupBox(tr(" Current Speeds "), this);
  gbSpeeds->setObjectName(QStringLiteral("gbSpeeds"));
  auto* sg = new QVBoxLayout(gbSpeeds);
  // Tight: the page's height is the window's, and the graph keeps its size.
  sg->setContentsMargins(6, 0, 6, 0);
  sg->setSpacing(0);
  auto* speeds = new QHBoxLayout;
  speeds->setSpacing(6);
  lblSpeedIn_ = new QLabel(QStringLiteral("0"), gbSpeeds);
  lblSpeedIn_->setObjectName(QStringLiteral("lblSpeedIn"));
  lblSpeedOut_ = new QLabel(QStringLiteral("0"), gbSpeeds);
  lblSpeedOut_->setObjectName(QStringLiteral("lblSpeedOut"));
  lblSpin_ = new QLabel(QStringLiteral("+"), gbSpeeds);
  lblSpin_->setObjectName(QStringLiteral("lblSpin"));
  QFont bold = lblSpin_->font();
  bold.setBold(true);
  lblSpin_->setFont(bold);
  speeds->addWidget(new QLabel(tr("In:"), gbSpeeds));
  speeds->addWidget(lblSpeedIn_);
  speeds->addSpacing(10);
  speeds->addWidget(new QLabel(tr("Out:"), gbSpeeds));
  speeds->addWidget(lblSpeedOut_);
  speeds->addStretch();
  speeds->addWidget(lblSpin_);
  sg->addLayout(speeds);
  auto* graphRow = new QHBoxLayout;
  tbIn_ = MakeTrackBar("tbIn", s_.LanScaleIn, gbNetGraph_);
  tbOut_ = MakeTrackBar("tbOut", s_.LanScaleOut, gbNetGraph_);
  // What a screen reader says of the two scales beside the graph.
  tbIn_->setAccessibleName(tr("Incoming traffic scale"));
  tbOut_->setAccessibleName(tr("Outgoing traffic scale"));
  imgNetwork_ = new TNetGraph(gbNetGraph_);
  graphRow->addWidget(tbIn_);
  graphRow->addWidget(imgNetwork_);
  graphRow->addWidget(tbOut_);
  graphRow->addStretch();
  g->addLayout(graphRow);
  auto* units = new QHBoxLayout;
  units->setSpacing(6);
  rbBits_ = new QRadioButton(tr("kbits/sec"), gbSpeeds);
  rbBits_->setObjectName(QStringLiteral("rbBits"));
  rbBytes_ = new QRadioButton(tr("kBytes/sec"), gbSpeeds);
  rbBytes_->setObjectName(QStringLiteral("rbBytes"));
  (s_.SpeedInBytes ? rbBytes_ : rbBits_)->setChecked(true);
  units->addWidget(rbBits_);
  units->addWidget(rbBytes_);
  units->addStretch();
  lblTestDownload_ = new TFocusLabel(tr("Download Test File"), gbSpeeds);
  lblTestDownload_->setObjectName(QStringLiteral("lblTestDownload"));
  lblTestDownload_->SetAutoSize(true);
  lblTestDownload_->SetTabStop(true);
  lblTestDownload_->SetMouseOverColor(QColor(0xCC, 0, 0));
  lblTestDownload_->setCursor(Qt::PointingHandCursor);
  lblTestDownload_->setMinimumWidth(
      lblTestDownload_->fontMetrics().horizontalAdvance(tr(" Cancelling Test ... ")) + 8);
  lblTestDownload_->setMinimumHeight(lblTestDownload_->height());
  lblTestDownload_->OnClick = [this] { TestLinkClicked(); };
  units->addWidget(lblTestDownload_);
  sg->addLayout(units);

  // Above the form's Internet address group.
  if (auto* main = qobject_cast<QBoxLayout*>(layout())) {
    main->insertWidget(0, adapter);
    main->insertWidget(1, gbNetGraph_);
    main->insertWidget(2, gbSpeeds);
    main->setSpacing(2);
  }

  NetworkTimer_ = timers.MakeTimer([this] { SampleTraffic(); });
  NetworkTimer_->SetInterval(1000);
  connect(tbIn_, &QSlider::valueChanged, this, [this](int v) {
    s_.LanScaleIn = v;
    UpdateGraphScale();
  });
  connect(tbOut_, &QSlider::valueChanged, this, [this](int v) {
    s_.LanScaleOut = v;
    UpdateGraphScale();
  });
  connect(rbBytes_, &QRadioButton::toggled, this, [this](bool on) { s_.SpeedInBytes = on; });
  UpdateGraphScale();

  // The adapters at start, the stored one selected when it is still there.
  const std::vector<std::string> names = ListAdaptors(offerLoopback_);
  adaptors_.Append(names);
  for (const std::string& name : names) cbNetworkAdaptors_->addItem(Q(name));
  cbNetworkAdaptors_->setCurrentIndex(adaptors_.IndexOfStored(s_.NetworkAdaptor));
  SelectionChanged(false);
  connect(cbNetworkAdaptors_, &QComboBox::currentIndexChanged, this, [this] {
    if (cbNetworkAdaptors_->currentIndex() >= 0)
      s_.NetworkAdaptor = S(cbNetworkAdaptors_->currentText());
    SelectionChanged(isVisible());
  });
}

TNetworkPage::~TNetworkPage() = default;

void TNetworkPage::TestLinkClicked() {
  const QString text = lblTestDownload_->Caption();
  if (text.startsWith(QLatin1Char('D'))) {
    // A test still ending keeps the link as it is.
    if (OnStartTest && OnStartTest()) lblTestDownload_->SetCaption(tr("Connecting to Server"));
  } else if (text.startsWith(QLatin1Char('C'))) {
    lblTestDownload_->SetCaption(tr(" Cancelling Test ... "));
    if (OnStopTest) OnStopTest();  // returns at once
  }
}

void TNetworkPage::DownloadTestStarted() {
  // A test being cancelled stays so.
  if (lblTestDownload_->Caption() == tr("Connecting to Server"))
    lblTestDownload_->SetCaption(tr("Cancel Test"));
}

void TNetworkPage::DownloadTestEnded() {
  lblTestDownload_->SetCaption(tr("Download Test File"));
}

void TNetworkPage::ShowPublicAddress(const std::string& address) {
  copy_->SetText(Q(address));
}

bool TNetworkPage::Sampling() const {
  return NetworkTimer_->Running();
}

void TNetworkPage::SelectionChanged(bool tabActive) {
  const int index = cbNetworkAdaptors_->currentIndex();
  if (index < 0) {
    current_ = nullptr;
    NetworkTimer_->Stop();
    return;
  }
  // Sampling starts when the tab shows (Shown), not at start-up: hidden in
  // the tray the program does not wake every second.
  if (tabActive) NetworkTimer_->Start();
  current_ = &adaptors_.Items(index);
  std::string address, gateway, mac;
  if (GetLanAddresses(current_->Name, address, gateway)) {
    lblLAN_->setText(Q(address));
    lblGateway_->setText(Q(gateway));
  } else {
    lblLAN_->clear();
    lblGateway_->clear();
  }
  lblMac_->setText(GetMacAddress(current_->Name, mac) ? Q(mac) : QString());
  if (tabActive) ResetTrafficGraph();
}

void TNetworkPage::Shown() {
  // Appending selects nothing of itself: an empty drop-down takes the first
  // item added as chosen, which would overwrite the stored adapter. The
  // stored adapter itself, plugged in since the start, is chosen again.
  bool storedReturned = false;
  {
    const QSignalBlocker quiet(cbNetworkAdaptors_);
    int selected = cbNetworkAdaptors_->currentIndex();
    for (const std::string& name : adaptors_.Append(ListAdaptors(offerLoopback_)))
      cbNetworkAdaptors_->addItem(Q(name));
    if (selected < 0 && !s_.NetworkAdaptor.empty()) {
      selected = adaptors_.IndexOfStored(s_.NetworkAdaptor);
      storedReturned = selected >= 0;
    }
    cbNetworkAdaptors_->setCurrentIndex(selected);
  }
  if (storedReturned) SelectionChanged(false);
  if (current_) {
    NetworkTimer_->Start();
    ResetTrafficGraph();
  }
}

void TNetworkPage::WindowHidden() {
  NetworkTimer_->Stop();
}

void TNetworkPage::ResetTrafficGraph() {
  if (current_) ReadCounters(*current_);
  imgNetwork_->Reset();
}

void TNetworkPage::SampleTraffic() {
  if (!current_) return;
  spin_ = !spin_;
  lblSpin_->setText(spin_ ? QStringLiteral("\u00D7") : QStringLiteral("+"));
  const TTrafficSample s = qgm::SampleTraffic(*current_, rbBytes_->isChecked());
  lblSpeedIn_->setText(Q(s.InText));
  lblSpeedOut_->setText(Q(s.OutText));
  if (!s.Step) return;
  imgNetwork_->Step(BarHeight(s.InBytes, TNetGraph::kHeight, scaleIn_, true),
                    BarHeight(s.OutBytes, TNetGraph::kHeight, scaleOut_, false));
  imgNetwork_->Tell(tr("In: %1, Out: %2 %3")
                        .arg(Q(s.InText), Q(s.OutText),
                             rbBytes_->isChecked() ? rbBytes_->text() : rbBits_->text()));
}

void TNetworkPage::UpdateGraphScale() {
  scaleIn_ = ScaleForPosition(tbIn_->value());
  scaleOut_ = ScaleForPosition(tbOut_->value());
  gbNetGraph_->setTitle(Q(TrafficCaption(scaleIn_, scaleOut_)));
  imgNetwork_->setAccessibleName(gbNetGraph_->title());
}

void TNetworkPage::AutoScaleFromPlan(const std::string& planSpeed) {
  if (const auto positions = AutoScalePositions(planSpeed)) {
    tbIn_->setValue(positions->first);
    tbOut_->setValue(positions->second);
  }
}

}  // namespace qgm::gui
