// Mailbox checks over POP3 with TLS against the simulator: the header scan
// from the newest message, voicemail, logins, failures, and the hint.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/debug/DebugLog.h"
#include "core/mail/MailCheck.h"
#include "support/SimulatorFixture.h"

namespace qgm::test {
namespace {

using corvalink::sim::Mailbox;
using corvalink::sim::MailMessage;
using corvalink::sim::Pop3Behaviour;

constexpr const char* kVoicemail = "voicemail@callhaven.corvalink.com";

class MailCheckTest : public SimulatorTest {
 protected:
  void SetUp() override {
    SimulatorTest::SetUp();
    Sim().SetMailboxes(Sim().Account().mailboxes);
    Sim().SetPop3Behaviour(Pop3Behaviour::Normal);
    server_ = MailServerAt("localhost:" + std::to_string(Sim().Pop3Port()), kVoicemail, &Context());
    server_.ReadTimeoutMs = 3000;
    Sim().ClearPop3Commands();
  }
  // How many of the commands the server received begin with `verb`.
  static size_t CommandsNamed(const std::string& verb) {
    size_t n = 0;
    for (const std::string& c : Sim().Pop3Commands()) n += c.rfind(verb, 0) == 0;
    return n;
  }
  // One mailbox "box" holding `messages`, oldest first.
  int Check(std::vector<MailMessage> messages) {
    Sim().SetMailboxes({Mailbox{"box", "pw", std::move(messages)}});
    return CheckMailbox(server_, "box", "pw");
  }
  TMailServer server_;
};

TEST_F(MailCheckTest, HostAndPortComeFromOneSetting) {
  const TMailServer a = MailServerAt("securemail.corvalink.com", kVoicemail, nullptr);
  EXPECT_EQ(a.Host, "securemail.corvalink.com");
  EXPECT_EQ(a.Port, 995);
  const TMailServer b = MailServerAt("localhost:1995", kVoicemail, nullptr);
  EXPECT_EQ(b.Host, "localhost");
  EXPECT_EQ(b.Port, 1995);
}

TEST_F(MailCheckTest, TheNewestRunOfUnreadMessagesDecides) {
  // Empty: no TOP at all (a TOP would fail and still give 0; the server
  // would have nothing to send).
  EXPECT_EQ(Check({}), 0);
  EXPECT_EQ(CommandsNamed("STAT"), 1u);
  EXPECT_EQ(CommandsNamed("TOP"), 0u);
  // The newest unread, the one before read.
  EXPECT_EQ(Check({{"a@x", "old", "RO"}, {"b@x", "new", "U"}}), mfNewMail);
  // The newest two unread, the older from the voicemail sender: 3, and the
  // scan stops there. The message before it is unread too: read, it would
  // make the result plain new mail.
  Sim().ClearPop3Commands();
  EXPECT_EQ(Check({{"c@x", "older, unread", "U"},
                   {"Voicemail <voicemail@callhaven.corvalink.com>", "vm", "U"},
                   {"c@x", "hi", "U"}}),
            mfNewMail | mfVoicemail);
  EXPECT_EQ(Sim().Pop3Commands().back(), "TOP 2 0");
  // Voicemail that is already read does not count.
  EXPECT_EQ(Check({{"voicemail@callhaven.corvalink.com", "vm", "RO"}, {"c@x", "hi", "U"}}),
            mfNewMail);
  // Without any status line the newest message counts as seen.
  EXPECT_EQ(Check({{"a@x", "unread", "U"}, {"b@x", "no status", ""}}), 0);
  // Newest read: nothing, whatever comes before.
  EXPECT_EQ(Check({{"a@x", "unread", "U"}, {"b@x", "read", "RO"}}), 0);
}

TEST_F(MailCheckTest, HeaderNamesInAnyCaseAndFoldedLines) {
  // Lower-case names and values are read in upper case.
  EXPECT_EQ(Check({{"", "", "", "from: VoiceMail@CallHaven.Corvalink.Com\r\nstatus: u\r\n"}}),
            mfNewMail | mfVoicemail);
  // A folded From: line: the sender on the continuation line is not on a
  // line beginning "FROM:", so only the new mail counts.
  EXPECT_EQ(Check({{"", "", "",
                    "From: Voicemail\r\n <voicemail@callhaven.corvalink.com>\r\nStatus: U\r\n"}}),
            mfNewMail);
  // "STATUS:" without " U" ends the reading: a later From: is not read.
  EXPECT_EQ(ScanHeader({"Status: RO", "From: voicemail@callhaven.corvalink.com"}, kVoicemail), 0);
  // The address counts only after "FROM:".
  EXPECT_EQ(ScanHeader({"FROM:voicemail@callhaven.corvalink.com", "Status: U"}, kVoicemail),
            mfNewMail | mfVoicemail);
  EXPECT_EQ(ScanHeader({"Subject: voicemail@callhaven.corvalink.com", "Status: U"}, kVoicemail),
            mfNewMail);
}

TEST_F(MailCheckTest, FailuresGiveWhatWasReached) {
  std::string why;
  // A refused login: no mail, and the reason.
  Sim().SetPop3Behaviour(Pop3Behaviour::RefuseLogin);
  EXPECT_EQ(CheckMailbox(server_, "demo", "demo", &why), 0);
  EXPECT_NE(why.find("-ERR"), std::string::npos) << why;
  EXPECT_FALSE(TestMailbox(server_, "demo", "demo"));
  // Closed halfway through the first TOP: nothing reached yet.
  Sim().SetPop3Behaviour(Pop3Behaviour::CloseMidTop);
  why.clear();
  EXPECT_EQ(CheckMailbox(server_, "demo", "demo", &why), 0);
  EXPECT_FALSE(why.empty());
  // A slow server is waited for.
  Sim().SetPop3Behaviour(Pop3Behaviour::Slow);
  EXPECT_EQ(CheckMailbox(server_, "demo", "demo"), mfNewMail);
  Sim().SetPop3Behaviour(Pop3Behaviour::Normal);
  EXPECT_TRUE(TestMailbox(server_, "demo", "demo"));
  EXPECT_FALSE(TestMailbox(server_, "demo", "wrong"));
  // Nobody listening.
  const TMailServer nowhere = MailServerAt("127.0.0.1:1", kVoicemail, &Context());
  EXPECT_EQ(CheckMailbox(nowhere, "demo", "demo"), 0);
}

TEST_F(MailCheckTest, ALineBreakInACredentialIsNeverSent) {
  // Sent, the rest of the password would be a command of its own.
  std::string why;
  EXPECT_EQ(CheckMailbox(server_, "demo", "demo\r\nDELE 1", &why), 0);
  EXPECT_EQ(why, "The password holds a line break.");
  // A pasted password's trailing newline: a clear reason, not "no mail".
  why.clear();
  EXPECT_FALSE(TestMailbox(server_, "demo", "demo\n", &why));
  EXPECT_EQ(why, "The password holds a line break.");
  why.clear();
  EXPECT_EQ(CheckMailbox(server_, "demo\nSTAT", "demo", &why), 0);
  EXPECT_EQ(why, "The user name holds a line break.");
  EXPECT_EQ(CommandsNamed("DELE"), 0u);
  EXPECT_EQ(CommandsNamed("STAT"), 0u);
  EXPECT_TRUE(Sim().Pop3Commands().empty());
}

TEST_F(MailCheckTest, AHugeMailboxIsScannedOnlyInItsNewestMessages) {
  // The server claims a billion messages, the newest 150 of them unread.
  Sim().SetPop3Behaviour(Pop3Behaviour::HugeCount);
  const auto folder =
      std::filesystem::temp_directory_path() / ("qgm-mailcheck-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  TDebugLog log(folder / "Debug.txt");
  log.SetEnabled(true);
  server_.Log = &log;
  std::string why;
  EXPECT_EQ(CheckMailbox(server_, "demo", "demo", &why), mfNewMail);
  EXPECT_EQ(why, "");
  EXPECT_EQ(CommandsNamed("TOP"), 100u);
  EXPECT_EQ(Sim().Pop3Commands().back(), "TOP 999999901 0");
  std::ifstream in(folder / "Debug.txt");
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("Mail check: demo holds 1000000000 messages; only the newest 100 were read."),
            std::string::npos)
      << text;
  // A mailbox within the bound says nothing.
  Sim().SetPop3Behaviour(Pop3Behaviour::Normal);
  EXPECT_EQ(CheckMailbox(server_, "demo", "demo"), mfNewMail);
  std::ifstream again(folder / "Debug.txt");
  const std::string after((std::istreambuf_iterator<char>(again)),
                          std::istreambuf_iterator<char>());
  EXPECT_EQ(after, text);
  std::filesystem::remove_all(folder);
}

TEST_F(MailCheckTest, CheckMailboxesNamesTheMailboxesWithMail) {
  const TMailCheckResult r = CheckMailboxes(
      server_, {{"demo", "demo", ""}, {"empty", "empty", ""}, {"family", "family", ""}});
  EXPECT_EQ(r.Results, (std::vector<int>{1, 0, 3}));
  EXPECT_EQ(r.Names, (std::vector<std::string>{"demo", "family"}));
  EXPECT_TRUE(r.Voicemail);
  EXPECT_EQ(r.Hint, "demo and family have mail.\nYou also have voicemail.");
  const TMailCheckResult none =
      CheckMailboxes(server_, {{"empty", "empty", ""}, {"demo", "bad", ""}});
  EXPECT_TRUE(none.Names.empty());
  EXPECT_EQ(none.Hint, "");
  EXPECT_FALSE(none.Failures[1].empty());
}

TEST_F(MailCheckTest, HintsForOneTwoAndThreeNames) {
  EXPECT_EQ(MailHint({"a"}, false), "a has mail.");
  EXPECT_EQ(MailHint({"a", "b"}, false), "a and b have mail.");
  EXPECT_EQ(MailHint({"a", "b", "c"}, false), "a, b and c have mail.");
  EXPECT_EQ(MailHint({"a", "b", "c", "d"}, true),
            "a, b, c and d have mail.\nYou also have voicemail.");
  EXPECT_EQ(MailHint({}, true), "");
}

}  // namespace
}  // namespace qgm::test
