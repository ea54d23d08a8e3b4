#pragma once
// Provider notices riding on the service list, and the one way any notice
// reaches the user (the window program shows it as a corner popup).

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qgm {

class TElement;

struct TNoticeRequest {
  std::string Caption;
  std::string Body;
  std::function<void()> OnLinkClick;  // may be empty
  int AutoCloseSeconds = 0;           // 0: stays until closed
  bool Alert = false;                 // sound and a yellow panel
  std::string LinkCaption;
  std::string LinkAddress;
  std::string Reference;  // remembered once the user closes it
};

class INoticeSink {
 public:
  virtual ~INoticeSink() = default;
  virtual void ShowNotice(const TNoticeRequest& notice) = 0;
};

inline constexpr const char* kNoticeCaption = "QGM (Quota Gauge)";
// The most of a notice's message a popup shows.
inline constexpr size_t kNoticeBodyLimit = 4096;
// The most of a notice's reference that is kept.
inline constexpr size_t kNoticeRefLimit = 255;

// Shows the notice of one "notify" element unless it lacks "displaytouser",
// its message or reference is empty, or its reference is in `seenRefs`.
void ProcessNotice(const TElement* element, const std::vector<std::string>& seenRefs,
                   INoticeSink& sink);

// How many of the first characters of `text` fit into `width` pixels;
// nothing when the measurement fails.
using TTextFitter = std::function<std::optional<size_t>(std::string_view text, int width)>;

// Cuts the first line that fits into `width` off `text`: returns the line and
// the rest. Breaks after the last blank or control character that fits (a
// line feed stays on its line), else inside the word; trailing spaces of the
// line and leading spaces of the rest are dropped. Throws std::runtime_error
// when the measurement fails.
std::pair<std::string, std::string> WrapLine(const std::string& text, int width,
                                             const TTextFitter& fit);

}  // namespace qgm
