// The About tab's rules: which release file is newer, which names an update
// may be saved under, the clock line, and the provider links' addresses.
#include <gtest/gtest.h>

#include <chrono>

#include "core/about/ClockCheck.h"
#include "core/about/Maintenance.h"
#include "core/about/ProviderLinks.h"
#include "core/about/VersionCheck.h"
#include "core/net/Endpoints.h"
#include "core/net/TimeClient.h"

namespace qgm {
namespace {

TEST(VersionCheck, ComparesMajorsAsNumbersAndMinorsAsText) {
  const std::string v123 = "Version 1.2.3";
  EXPECT_TRUE(IsNewerVersion(v123, "qgm0124.exe"));
  EXPECT_FALSE(IsNewerVersion(v123, "qgm0123.exe"));
  EXPECT_TRUE(IsNewerVersion(v123, "qgm0210.exe"));  // the major decides
  EXPECT_FALSE(IsNewerVersion(v123, "qgm0122.exe"));
  EXPECT_TRUE(IsNewerVersion(v123, "QGM0124.EXE"));  // any case
  // Minor texts compare as text: 710 is not after 79.
  EXPECT_FALSE(IsNewerVersion("Version 1.7.9", "qgm01710.exe"));
  EXPECT_TRUE(IsNewerVersion("Version 1.7.9", "qgm0180.exe"));
  // Nothing is announced for "*", a trailing line break, a body without an
  // .exe or without a digit, a new major of 0, or a current major of 0.
  EXPECT_FALSE(IsNewerVersion(v123, "*qgm0124.exe"));
  EXPECT_FALSE(IsNewerVersion(v123, "qgm0124.exe\n"));
  EXPECT_FALSE(IsNewerVersion(v123, "qgm0124.zip"));
  EXPECT_FALSE(IsNewerVersion(v123, "qgm.exe"));
  EXPECT_FALSE(IsNewerVersion(v123, "qgm0024.exe"));
  EXPECT_FALSE(IsNewerVersion("Version 0.1.0", "qgm0124.exe"));
  EXPECT_FALSE(IsNewerVersion(v123, ""));
  // This program's own label takes part like any other.
  EXPECT_TRUE(IsNewerVersion(VersionLabel(), "qgm9901.exe"));
  EXPECT_FALSE(IsNewerVersion(VersionLabel(), "qgm0000.exe"));
}

TEST(VersionCheck, OnlyPlainFileNamesAreSafe) {
  for (const char* ok : {"qgm0124.exe", "QGM-1_2.exe", "a"}) EXPECT_TRUE(IsSafeUpdateFileName(ok));
  for (const char* bad : {"", ".", "..", "../x.exe", "/etc/x.exe", "a b.exe", "dir/x.exe",
                          "x.exe\n", "x\\y.exe", "caf\xC3\xA9.exe"})
    EXPECT_FALSE(IsSafeUpdateFileName(bad)) << bad;
  EXPECT_FALSE(IsSafeUpdateFileName(std::string(256, 'a')));
}

// The automatic check needs all three: the setup box ticked, this the one
// copy running, and an administrator.
TEST(VersionCheck, AutomaticOnlyWhenTickedAloneAndAdministrator) {
  EXPECT_TRUE(AutomaticVersionCheckAllowed(true, 1, true));
  EXPECT_FALSE(AutomaticVersionCheckAllowed(false, 1, true));
  EXPECT_FALSE(AutomaticVersionCheckAllowed(true, 2, true));
  EXPECT_FALSE(AutomaticVersionCheckAllowed(true, 0, true));
  EXPECT_FALSE(AutomaticVersionCheckAllowed(true, 1, false));
}

TEST(ClockCheck, SaysHowFarTheClockIsOffWithoutWholeDays) {
  const TDateTime now = EncodeDate(2026, 12, 8) + EncodeTime(12, 0, 0);
  const TDateTime second = 1.0 / 86400;
  EXPECT_EQ(ShownClockStateText(now, now + 90 * second), "Slow by 1 mins & 30 secs");
  EXPECT_EQ(ClockStateText(now, now + 90 * second), "Slow by 1 mins && 30 secs");
  EXPECT_EQ(ShownClockStateText(now, now - 1 - 5 * second), "Fast by 5 secs");
  EXPECT_EQ(ShownClockStateText(now, now - (2 * 3600 + 3 * 60 + 4) * second),
            "Fast by 2 hrs, 3 mins & 4 secs");
  EXPECT_EQ(ShownClockStateText(now, now + 7 * second), "Slow by 7 secs");
  EXPECT_EQ(ShownClockStateText(now, now), "Accurate to the second!");
  EXPECT_EQ(ShownClockStateText(now, 0), "Unable to get the time.");
}

TEST(ClockCheck, AnImpossibleServerTimeIsNoTime) {
  const TDateTime now = EncodeDate(2026, 12, 8) + EncodeTime(12, 0, 0);
  const TDateTime hour = 1.0 / 24;
  // Six years and seven hours off would read "Slow by 7 hrs ..." with the
  // whole days dropped.
  EXPECT_EQ(ShownClockStateText(now, now + 6 * 365 + 7 * hour), "Unable to get the time.");
  EXPECT_EQ(ShownClockStateText(now, now - 6 * 365 - 7 * hour), "Unable to get the time.");
  // A small count is read as after the wrap in 2036: from 2026 that is no
  // believable time either.
  EXPECT_EQ(ShownClockStateText(now, TTimeClient::FromProtocolSeconds(100, 0)),
            "Unable to get the time.");
  // Four years off is still a clock set wrong, shown as such.
  EXPECT_EQ(ShownClockStateText(now, now + 4 * 365 + 7 * hour), "Slow by 7 hrs, 0 mins & 0 secs");
  // Near the wrap itself, a count just past it is the right time.
  const TDateTime beforeWrap = TTimeClient::FromProtocolSeconds(0xFFFFFF00u, 0);
  EXPECT_EQ(ShownClockStateText(beforeWrap, TTimeClient::FromProtocolSeconds(100, 0)),
            "Slow by 5 mins & 56 secs");
}

int64_t UnixOf(TDateTime local) {
  return std::chrono::duration_cast<std::chrono::seconds>(ToTimePoint(local).time_since_epoch())
      .count();
}

TEST(ClockCheck, TimeCountsAreReadPastTheWrapIn2036) {
  // 3,786,825,600 is 1 January 2020; the count wraps on 7 February 2036
  // at 06:28:16 UTC (Unix 2085978496).
  EXPECT_EQ(UnixOf(TTimeClient::FromProtocolSeconds(3786825600u, 0)), 1577836800);
  EXPECT_EQ(UnixOf(TTimeClient::FromProtocolSeconds(0xFFFFFFFFu, 0)), 2085978495);
  EXPECT_EQ(UnixOf(TTimeClient::FromProtocolSeconds(0, 0)), 2085978496);
  EXPECT_EQ(UnixOf(TTimeClient::FromProtocolSeconds(100, 2)), 2085978598);
}

TEST(ProviderLinks, EncodeTheAccountAndJoinThePaths) {
  EXPECT_EQ(PercentEncode("a b@c.d-9"), "a%20b%40c%2Ed%2D9");
  EXPECT_EQ(PercentEncode("caf\xC3\xA9"), "caf%C3%A9");
  EXPECT_EQ(PercentEncode(""), "");
  TEndpoints e;
  e.MailConfigSite = "https://mail.example/";
  e.WebSite = "http://www.example";
  EXPECT_EQ(ProviderLinkAddress(EProviderLink::HeldSpam, e, "john smith@corvalink.com"),
            "https://mail.example/cgi/user.cgi?lcmd=user_spam_stored_load&username=john%20smith");
  EXPECT_EQ(ProviderLinkAddress(EProviderLink::HeldSpam, e, "plain"),
            "https://mail.example/cgi/user.cgi?lcmd=user_spam_stored_load&username=plain");
  EXPECT_EQ(ProviderLinkAddress(EProviderLink::Unmetered, e, ""),
            "http://www.example/residential/tech_space/unmetered_content/");
  EXPECT_EQ(ProviderLinkAddress(EProviderLink::SupportWaitTimes, e, ""),
            "http://www.example/customer-service/");
  EXPECT_EQ(ProviderLinkAddress(EProviderLink::Home, e, ""), "http://www.example");
  e.CustomerSite = "https://my.example/";
  EXPECT_EQ(ProviderLinkAddress(EProviderLink::UsageViaWebsite, e, ""),
            "https://my.example/mycorvalink/sys0/login");
}

TEST(Endpoints, HostsWithAndWithoutPorts) {
  EXPECT_EQ(SplitHostPort("time.example", 37), std::make_pair(std::string("time.example"), 37));
  EXPECT_EQ(SplitHostPort("127.0.0.1:3737", 37), std::make_pair(std::string("127.0.0.1"), 3737));
  EXPECT_EQ(SplitHostPort("[::1]", 37), std::make_pair(std::string("[::1]"), 37));
  EXPECT_EQ(SplitHostPort("[::1]:99", 37), std::make_pair(std::string("[::1]"), 99));
  EXPECT_EQ(SplitHostPort("host:x", 37), std::make_pair(std::string("host:x"), 37));
  EXPECT_EQ(SplitHostPort("host:123456", 37), std::make_pair(std::string("host:123456"), 37));
}

}  // namespace
}  // namespace qgm
