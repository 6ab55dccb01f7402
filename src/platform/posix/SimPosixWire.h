#pragma once

#include <fcntl.h>
#include <sys/un.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/SimTransport.h"

// The local form of the simulator protocol: where the server sockets live and the
// messages that travel over them (see docs/simulator-protocol.md).

// The folder holding the server sockets: $FMS_SIM_DIR when set, else
// $XDG_RUNTIME_DIR/fms-sim, else /tmp/fms-sim-<uid>.
std::string defaultSimRuntimeDir();

// Creates `dir` (mode 0700) when missing and checks that it is a real folder owned by this
// user that nobody else can enter; on failure says why in `error`.
bool prepareSimRuntimeDir(const std::string& dir, std::string& error);

// Socket file names inside the folder for the two server kinds.
constexpr const char* kSimFullServerSocket = "UIPCMAIN";
constexpr const char* kSimNetworkClientSocket = "FS98MAIN";

// Fills a Unix-domain address for the socket of `kind` in `dir`; false when the path does
// not fit the address.
bool simSocketAddress(const std::string& dir, SimServerKind kind, struct sockaddr_un& address);

// True when the process at the other end of the connected socket `fd` runs as this user.
bool peerIsThisUser(int fd);

// One request packet: magic, sequence number, then the block name (1..63 bytes, no NUL).
// One reply packet: magic, the sequence number of the request, the reply value.
constexpr uint32_t kSimRequestMagic = 0x51525346;  // "FSRQ"
constexpr uint32_t kSimReplyMagic = 0x50525346;    // "FSRP"
constexpr size_t kSimMessageHeader = 8;
constexpr size_t kSimMaxBlockName = 63;
constexpr size_t kSimReplySize = 12;

// The seals a request block must carry before a server maps it: with them nobody, not even
// the block's creator, can shrink it under the other side's mapping (which would kill that
// side with SIGBUS on its next access) or grow it. The client also adds F_SEAL_SEAL.
constexpr int kSimBlockSeals = F_SEAL_SHRINK | F_SEAL_GROW;

// True when `name` may name a block: 1..63 bytes of 0x21..0x7E, without '/'.
bool simBlockNameValid(const std::string& name);

// True when the peer of the connected socket `fd` has closed it or shut down its sending
// side, so that nothing more will come from it. Does not wait and reads nothing.
bool simPeerHungUp(int fd);
