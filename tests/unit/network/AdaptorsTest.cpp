// The adapter table and the Linux adapter source: the files it reads,
// parsed from text, and this machine's own adapters.
#include "core/network/Adaptors.h"
#include "core/network/Traffic.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/platform/Adapters.h"
#include "core/platform/linux/NetInfo.h"

namespace qgm {
namespace {

TEST(Adaptors, TheTableOnlyGrowsAndNamesItsRange) {
  TAdaptors table;
  EXPECT_EQ(table.Append({"eth0", "wlan0"}), (std::vector<std::string>{"eth0", "wlan0"}));
  EXPECT_EQ(table.Append({"wlan0", "tun0", "eth0"}), std::vector<std::string>{"tun0"});
  EXPECT_EQ(table.Count(), 3);
  EXPECT_EQ(table.IndexOf("tun0"), 2);
  EXPECT_EQ(table.IndexOf("gone"), -1);  // a stored adapter that is no more: no selection
  EXPECT_EQ(table.Items(1).InOctets, 0u);
  try {
    table.Items(3);
    ADD_FAILURE();
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "TAdaptors: index out of range");
  }
  // The stored name is found as the settings match it, letter case aside;
  // its own spelling first.
  table.Append({"ETH0"});
  for (const auto& [stored, index] : std::vector<std::pair<std::string, int>>{
           {"eth0", 0}, {"ETH0", 3}, {"Eth0", 0}, {"TUN0", 2}, {"wlan", -1}, {"", -1}})
    EXPECT_EQ(table.IndexOfStored(stored), index) << stored;
}

TEST(LinuxAdapters, GatewaysHardwareAndRealAddressesFromTheirFiles) {
  const std::string route =
      "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
      "wlan0\t0000A8C0\t00000000\t0001\t0\t0\t600\t00FFFFFF\t0\t0\t0\n"
      "eth0\t00000000\t0101A8C0\t0003\t0\t0\t100\t00000000\t0\t0\t0\n"
      "wlan0\t00000000\t0100000A\t0003\t0\t0\t600\t00000000\t0\t0\t0\n";
  EXPECT_EQ(DefaultGatewayOf(route, "eth0"), "192.168.1.1");
  EXPECT_EQ(DefaultGatewayOf(route, "wlan0"), "10.0.0.1");
  EXPECT_EQ(DefaultGatewayOf(route, "tun0"), "");
  EXPECT_EQ(DefaultGatewayOf("", "eth0"), "");
  EXPECT_EQ(HardwareAddress("00:1a:2b:3c:4d:5e\n"), "00:1A:2B:3C:4D:5E");
  EXPECT_EQ(HardwareAddress(""), "");                     // a tunnel
  EXPECT_EQ(HardwareAddress("00:00:00:00:00:00\n"), "");  // none either
  EXPECT_TRUE(IsRealIpv4("192.168.1.20"));
  EXPECT_TRUE(IsRealIpv4("10.0.0.7"));
  EXPECT_FALSE(IsRealIpv4("0.0.0.0"));
  EXPECT_FALSE(IsRealIpv4("1.2.3"));
  EXPECT_FALSE(IsRealIpv4("fe80::1%eth0"));
}

TEST(LinuxAdapters, ThisMachinesAdaptersLeaveLoopbackOutUnlessAsked) {
  const std::vector<std::string> names = AdapterNames();
  for (const std::string& name : names) {
    EXPECT_NE(name, "lo");
    std::string address, gateway;
    EXPECT_TRUE(AdapterLanAddresses(name, address, gateway)) << name;
    EXPECT_TRUE(IsRealIpv4(address)) << name << " " << address;
    TAdaptor a{name, 0, 0};
    ReadCounters(a);  // an adapter with traffic counts up from 0
    std::string mac;
    if (AdapterMacAddress(name, mac)) {
      EXPECT_EQ(mac.size() % 3, 2u) << mac;
    }
  }
  // Asked for, loopback comes after the others (the same, in order).
  const std::vector<std::string> all = AdapterNames(true);
  ASSERT_EQ(all.size(), names.size() + 1);
  EXPECT_TRUE(std::equal(names.begin(), names.end(), all.begin()));
  EXPECT_EQ(all.back(), "lo");
  std::string address, gateway, mac;
  EXPECT_TRUE(AdapterLanAddresses("lo", address, gateway));
  EXPECT_EQ(address, "127.0.0.1");
  EXPECT_EQ(gateway, "");
  EXPECT_FALSE(AdapterLanAddresses("../etc", address, gateway));
  EXPECT_FALSE(AdapterMacAddress("../../etc/passwd", mac));
  uint64_t in = 7, out = 9;
  EXPECT_FALSE(AdapterCounters("no-such-adapter", in, out));
  EXPECT_EQ(in, 7u);
}

TEST(Traffic, ScalesCaptionsAndPlans) {
  EXPECT_EQ(ScaleForPosition(11), 1500);
  EXPECT_EQ(ScaleForPosition(15), 256);
  EXPECT_EQ(ScaleForPosition(1), 100000);
  EXPECT_EQ(ScaleForPosition(17), 64);
  EXPECT_EQ(ScaleForPosition(0), 100000);  // clamped
  EXPECT_EQ(ScaleForPosition(40), 64);
  EXPECT_EQ(TrafficCaption(1500, 256), " Current Traffic (1500/256 kbps) ");
  EXPECT_EQ(TrafficCaption(100000, 100000), " Current Traffic (100/100 mbps) ");
  EXPECT_EQ(TrafficCaption(12000, 256), " Current Traffic (12/0.256 mbps) ");
  EXPECT_EQ(TrafficCaption(24000, 1000), " Current Traffic (24/1 mbps) ");
  EXPECT_EQ(TrafficCaption(1500, 1000), " Current Traffic (1.5/1 mbps) ");
  EXPECT_EQ(AutoScalePositions("1500/256k"), std::make_pair(11, 14));
  EXPECT_EQ(AutoScalePositions("24000/1024k"), std::make_pair(3, 12));
  EXPECT_EQ(AutoScalePositions("256/64k"), std::make_pair(14, 16));
  EXPECT_EQ(AutoScalePositions("512/128k"), std::make_pair(13, 15));
  EXPECT_EQ(AutoScalePositions("Satellite"), std::make_pair(13, 13));
  EXPECT_EQ(AutoScalePositions("1"), std::nullopt);
  EXPECT_EQ(AutoScalePositions("Unknown"), std::nullopt);
}

TEST(Traffic, BarsAndSamples) {
  EXPECT_EQ(BarHeight(500000, 112, 1500, true), 112);  // 299 clipped
  EXPECT_EQ(BarHeight(18750, 112, 1500, true), 11);    // 150 kbit: 11.2
  EXPECT_EQ(BarHeight(0, 112, 1500, true), 0);
  EXPECT_EQ(BarHeight(-5, 112, 1500, false), 0);
  EXPECT_EQ(BarHeight(int64_t{1} << 40, 112, 64, true), 112);  // clamped to 2^28 - 1 first
  // A counter that went backwards: no step, no speed.
  const TTrafficSample back = CompareCounters(1000, 500, 900, 700, false);
  EXPECT_FALSE(back.Step);
  EXPECT_EQ(back.InText, "0");
  EXPECT_EQ(back.OutText, "2");  // 200 bytes = 1.6 kbit
  const TTrafficSample fine = CompareCounters(0, 0, 125000, 25000, false);
  EXPECT_TRUE(fine.Step);
  EXPECT_EQ(fine.InText, "1,000");
  EXPECT_EQ(CompareCounters(0, 0, 125000, 0, true).InText, "125");
  EXPECT_FALSE(CompareCounters(0, 0, uint64_t{1} << 31, 0, true).Step);
}

}  // namespace
}  // namespace qgm
