#include "core/usage/Notices.h"

#include <algorithm>
#include <stdexcept>

#include "core/util/CodePage.h"
#include "core/xml/XmlParser.h"

namespace qgm {

void ProcessNotice(const TElement* element, const std::vector<std::string>& seenRefs,
                   INoticeSink& sink) {
  if (!element) return;
  const TAttrib* display = element->FindAttrib("displaytouser");
  if (!display) return;
  const std::string message = GetPathText(element, {"msg"});
  // The settings keep every reference closed and are saved often: a
  // reference is its first characters.
  std::string reference = GetPathText(element, {"ref"}).substr(0, kNoticeRefLimit);
  const std::string link = GetPathText(element, {"url"});
  if (std::find(seenRefs.begin(), seenRefs.end(), reference) != seenRefs.end()) reference.clear();
  if (message.empty() || reference.empty()) return;
  TNoticeRequest notice;
  notice.Caption = kNoticeCaption;
  // As much as a popup can show (the home site's notice file is cut the
  // same way): a megabyte laid out would hold the window for seconds.
  notice.Body = message.substr(0, kNoticeBodyLimit);
  notice.LinkAddress = link;
  notice.Reference = reference;
  notice.Alert = Narrow1252(display->Value()) != "optional";
  sink.ShowNotice(notice);
}

std::pair<std::string, std::string> WrapLine(const std::string& text, int width,
                                             const TTextFitter& fit) {
  if (text.empty()) return {text, {}};
  const size_t lf = text.find('\n');
  const size_t n = lf == std::string::npos ? text.size() : lf + 1;
  const auto measured = fit(std::string_view(text).substr(0, n), width);
  if (!measured) throw std::runtime_error("GetTextExtentExPointA WinApi error in TPages");
  size_t f = std::min(*measured, n);
  if (lf == std::string::npos && f >= text.size()) return {text, {}};
  for (size_t i = f; i > 0; --i) {
    if (static_cast<unsigned char>(text[i - 1]) < 33) {
      f = i;
      break;
    }
  }
  // Nothing fits at all: one character still goes on the line, so a caller
  // cutting a text into lines always makes progress.
  if (f == 0) f = 1;
  const size_t s = f;
  while (f > 0 && text[f - 1] == ' ') --f;
  size_t restStart = s;
  while (restStart < text.size() && text[restStart] == ' ') ++restStart;
  return {text.substr(0, f), text.substr(restStart)};
}

}  // namespace qgm
