#include "core/usage/DebugReport.h"

#include <gtest/gtest.h>

#include "core/xml/XmlParser.h"
#include "support/FakeUpdateView.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

TEST(DebugReport, StripXmlDeclaration) {
  EXPECT_EQ(StripXmlDeclaration("<?xml version=\"1.0\"?><corvalink/>"), "<corvalink/>");
  EXPECT_EQ(StripXmlDeclaration("<?xml version=\"1.0\"?>\r\n\t<corvalink/>"), "<corvalink/>");
  EXPECT_EQ(StripXmlDeclaration("<corvalink/>"), "<corvalink/>");
}

TEST(DebugReport, DocumentWrapsTheRepliesAsInfoElements) {
  EXPECT_EQ(DebugReportDocument("", "", ""),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><debug_info></debug_info>");
  EXPECT_EQ(DebugReportDocument("<?xml version=\"1.0\"?>\n<corvalink><a/></corvalink>", "",
                                "<CorvaLink>h</CORVALINK>"),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><debug_info><info><a/></info><info>h</info>"
            "</debug_info>");
}

class DebugReportTest : public SimulatorTest {};

TEST_F(DebugReportTest, DemoAccountReport) {
  Sink sink;
  TUsageService service(ServiceConfig(), sink);
  const std::string doc = FetchDebugReport(service, {"demo", "demo", kAccountRoamMobile});
  auto tree = BuildXmlTree1252(doc + "\n");
  const TElement* info = FindPath(tree.get(), {"debug_info", "info"});
  ASSERT_NE(info, nullptr);
  int replies = 0;
  for (const TElement* e = info; e; e = e->FindNextSibling("info")) ++replies;
  EXPECT_EQ(replies, 3);
  // The first service listed, whatever the account type.
  EXPECT_NE(doc.find("<usage day="), std::string::npos);
  EXPECT_EQ(Sim().Requests().back().path,
            "/api/v1.5/" + Sim().Account().homeServiceId + "/history?count=950&verbose=1");

  Sim().SetCannedReply("", 200,
                       "<?xml version=\"1.0\"?><corvalink><api><services/></api></corvalink>");
  EXPECT_EQ(FetchDebugReport(service, {"demo", "demo", 0}),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><debug_info></debug_info>");
}

}  // namespace
}  // namespace qgm::test
