#pragma once
// The Network tab (Designer form NetworkPage.ui): the public Internet
// address, which a click copies.

#include <QWidget>

#include <memory>
#include <string>

namespace Ui {
class NetworkPage;
}

namespace qgm::gui {

class TNetworkPage : public QWidget {
  Q_OBJECT
 public:
  explicit TNetworkPage(QWidget* parent = nullptr);
  ~TNetworkPage() override;
  void ShowPublicAddress(const std::string& address);

 private:
  std::unique_ptr<Ui::NetworkPage> ui_;
};

}  // namespace qgm::gui
