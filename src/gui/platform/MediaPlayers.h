#pragma once
// Media players already running on the desktop, reached through their
// MPRIS interface on the session bus, so a new stream goes to the open
// player rather than a second copy of it.

#include <string>

namespace qgm::gui {

// Hands `address` to the running player whose MPRIS name matches the
// program's file name ("vlc" for /usr/bin/vlc), with OpenUri and then Play.
// The address goes through TLauncher::StreamAddress first: one it refuses
// is never sent. False when no such player is running or it refuses.
bool OpenWithRunningPlayer(const std::string& program, const std::string& address);

}  // namespace qgm::gui
