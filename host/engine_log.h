#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace host {

// An engine's standard error, copied into its log file by a thread of its own while the engine runs,
// and kept to its last `limitBytes` (cut at a line start) so that a long match cannot fill the disk.
// The file survives a restart of the engine: the next process's output follows the last one's.
class EngineLog {
public:
    EngineLog();
    ~EngineLog();
    EngineLog(EngineLog&&) noexcept;
    EngineLog& operator=(EngineLog&&) noexcept;

    // Creates or truncates the file. False, with the reason, when it cannot be written.
    [[nodiscard]] bool Open(const std::string& path, std::size_t limitBytes, std::string& error);

    // Copies what `fd` delivers until it closes or Stop is called; the log owns and closes it.
    void Follow(int fd);

    // Waits up to `seconds` for the followed output to close, as it does once the engine has ended.
    void AwaitEnd(double seconds);

    // Copies what is left and stops following; call once the engine has ended.
    void Stop();

    // A line of the host's own, such as why the engine was restarted.
    void Note(const std::string& line);

    // The last line that is not blank, or "" when there is none.
    std::string LastLine();

    bool WasCut();

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace host
