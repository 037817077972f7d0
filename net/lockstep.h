// The lockstep session: every machine runs the same game on the same
// inputs. Each machine sends its input for update N + D and runs update N
// once it holds every contributing machine's input for N; the host (machine
// 0) relays between the others, admits and drops machines, and announces
// the commands every machine carries out at one update. The session knows
// nothing of the game: inputs are Snapshots, the state is a hash.
//
// Times are milliseconds of the caller's clock, passed to Pump.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/codec.h"
#include "net/transport.h"

namespace net {

// What two machines must share to play together.
struct Identity {
  uint32_t version = 0;
  uint64_t dataHash = 0;
};

// Updates of input a machine may hold ahead of the one being run.
constexpr uint32_t INPUT_WINDOW = 64;
// The input delay D, in updates.
constexpr int MIN_DELAY = 2;
constexpr int MAX_DELAY = 8;
// Updates between shared state hashes.
constexpr uint32_t HASH_PERIOD = 60;
// A machine silent this long is dropped (by the host) or left (by a joiner).
constexpr int64_t SILENCE_MS = 5000;
// Waiting this long for someone's input names them on screen.
constexpr int64_t WAIT_NOTICE_MS = 250;
constexpr int UPDATE_MS_X1000 = 16667;  // one update of 60 per second, in microseconds

struct ScheduledCommand {
  uint32_t update;
  Command command;
  int32_t args[COMMAND_ARGS];
};

enum class SessionState { CONNECTING, RUNNING, ENDED };

class Session {
 public:
  static std::unique_ptr<Session> Host(std::unique_ptr<Transport> transport, const Identity& me);
  static std::unique_ptr<Session> Join(std::unique_ptr<Transport> transport, const Identity& me);
  ~Session();

  // Reads what arrived and answers it, measures round trips, drops (host)
  // or leaves (joiner) silent machines.
  void Pump(int64_t nowMs);
  // Sends the local input for every update not yet sent up to the current
  // one plus the delay. Input offered while nothing is due to be sent (the
  // session waiting) is kept: a press that came and went meanwhile goes
  // with the next update sent.
  void Submit(const Snapshot& local);
  // Running, and every contributing machine's input for Update() is here.
  bool Ready() const;
  uint32_t Update() const { return update_; }
  // The input of `machine` for the current update; null when the machine
  // does not contribute to it (not joined yet, dropped, or no input yet).
  const Snapshot* Input(int machine) const;
  // The commands every machine carries out before running the current update.
  std::vector<ScheduledCommand> Due() const;
  // Moves on once the current update has been run.
  void Advance();
  // The game's state hash after running `update`; compared with every
  // other machine's for the same update.
  void ShareHash(uint32_t update, uint64_t hash);
  // Host only: a command for every machine at the first update none has
  // run yet; returns that update.
  uint32_t Issue(Command command, const int32_t (&args)[COMMAND_ARGS]);
  // Host only: newcomers are refused as busy while this is false.
  void SetOpen(bool open) { open_ = open; }

  int Me() const { return me_; }
  bool IsHost() const { return me_ == 0; }
  SessionState State() const { return state_; }
  // Why the session ended, for the players.
  const std::string& EndMessage() const { return endMessage_; }
  // A desync report (update and every hash known), empty otherwise.
  const std::string& Report() const { return report_; }
  int Delay() const { return delay_; }
  int RoundTripMs() const { return rttMs_; }
  // Machines in the session now (bit per machine).
  uint32_t Members() const;
  // Machines whose input the current update lacks, and for how long it has
  // waited (0 when it is not waiting).
  std::vector<int> WaitingFor() const;
  int64_t WaitedMs() const;

  struct Machine;

 private:
  Session(std::unique_ptr<Transport> transport, const Identity& me, int machine);
  void OnEvent(const NetEvent& e);
  void OnHostMessage(int peer, const Message& m);
  void OnJoinerMessage(const Message& m);
  void Welcome(int peer, const Message& hello);
  bool TakeInput(const Message& m);
  void TakeHash(int machine, uint32_t update, uint64_t hash);
  void DropMachine(int machine);
  // Ends the session over a hash mismatch at `update`, writing the report;
  // `tell` passes the news on to the host.
  void StopOutOfStep(uint32_t update, bool tell);
  void End(const std::string& message);
  void SendTo(int peer, const Message& m);
  void SendToMembers(const Message& m, int except, uint32_t update);
  int MachineOfPeer(int peer) const;
  void AdaptDelay(int rttMs);
  void Ping();

  std::unique_ptr<Transport> transport_;
  Identity identity_;
  int me_;
  SessionState state_ = SessionState::CONNECTING;
  std::string endMessage_, report_;
  std::vector<Machine> machines_;
  std::vector<ScheduledCommand> commands_;
  std::vector<int> refused_;  // host: peers sent a refusal, no longer heard
  uint32_t update_ = 0;
  uint32_t sentUntil_ = 0;  // updates below this have been sent
  Snapshot unsent_;         // presses offered since the last update sent
  int delay_ = MIN_DELAY;
  int rttMs_ = 0;
  bool open_ = true;
  int64_t now_ = 0, lastPing_ = 0, waitStart_ = -1, hostHeard_ = 0;
};

}  // namespace net
