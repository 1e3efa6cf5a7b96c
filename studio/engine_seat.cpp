#include "studio/engine_seat.h"

#include "host/protocol.h"

#include <cstddef>

namespace studio {

namespace {

constexpr std::size_t LogLimitBytes = std::size_t{8} << 20;  // the engine's log keeps its last this many

std::string SendAll(EngineSeat& seat, const std::string& commands, host::Deadline deadline) {
    const platform::WriteStatus status = host::SendCommand(seat.process, commands, deadline);
    if (status == platform::WriteStatus::Closed) {
        return "the engine stopped reading (it " + host::DescribeEnd(seat.process) + ")";
    }
    return status == platform::WriteStatus::TimedOut ? "the engine left its input unread" : "";
}

}  // namespace

bool StartSeat(EngineSeat& seat, const std::string& path, const std::string& logPath, std::string& error) {
    if (!seat.process.log.Open(logPath, LogLimitBytes, error) ||
        !host::StartEngine(path, seat.process, error)) {
        return false;
    }
    const host::Deadline deadline = host::SecondsFromNow(seat.seconds);
    error = SendAll(seat, "NEWGAME\nISREADY\n", deadline);
    if (!error.empty()) {
        return false;
    }
    std::string reply;
    const host::ReplyStatus status = host::AwaitReply(seat.process, deadline, reply);
    if (status != host::ReplyStatus::Received || !host::IsReadyReply(reply)) {
        error = status == host::ReplyStatus::Received
                    ? "the engine answered ISREADY with \"" + host::Printable(reply) + '"'
                    : "the engine did not answer ISREADY";
        return false;
    }
    return true;
}

bool AskShot(EngineSeat& seat, const records::GameState& state, int shot, int end, int ends,
             records::ShotVector& answer, std::string& fault) {
    const host::Deadline deadline = host::SecondsFromNow(seat.seconds);
    static_cast<void>(host::TakeUnasked(seat.process));  // nothing sent before this GO answers it
    fault = SendAll(seat,
                    host::PositionCommand(state) + host::SetStateCommand(shot, end, ends, shot % 2) + "GO\n",
                    deadline);
    if (!fault.empty()) {
        return false;
    }
    std::string reply;
    const host::ReplyStatus status = host::AwaitReply(seat.process, deadline, reply);
    if (status != host::ReplyStatus::Received) {
        fault = status == host::ReplyStatus::Closed ? "the engine " + host::DescribeEnd(seat.process)
                                                    : "the engine did not answer in time";
        return false;
    }
    const host::ParsedShot parsed = host::ParseBestShot(reply);
    if (parsed.fault != host::ReplyFault::None) {
        fault = parsed.why;
        return false;
    }
    answer = parsed.shot;
    return true;
}

void StopSeat(EngineSeat& seat) {
    if (seat.process.child.pid > 0) {
        host::StopEngine(seat.process);
    }
}

}  // namespace studio
