#pragma once
// Replacing a file without ever leaving a half-written one behind: the bytes go to a
// temporary file in the target's folder (same file system, so the final rename is atomic)
// and only a complete, flushed file is renamed over the target, with the target's mode.
// If anything fails, the temporary file is removed and the previous target is untouched.
// Every file the program writes (projects, GIFs, pictures, the glyph cache) goes through
// here.
//
// The temporary files of writes in progress are listed where a signal handler can find
// them (see removeTemporaryFilesOnSignals).
//
// Failures throw std::system_error whose what() reads "<action> <path>: <system error
// text>", so callers can show it as it stands.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>

namespace zefra::common {

// Receives the next piece of the file's content; may be called any number of times.
using ByteSink = std::function<void(std::span<const std::uint8_t>)>;

// Writes `bytes` as the new content of `target`.
void writeFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);

// Streaming variant: `produce` hands the content to the sink piece by piece. An exception
// thrown by `produce` abandons the write (target untouched) and propagates unchanged.
void writeFileAtomically(const std::filesystem::path& target,
                         const std::function<void(const ByteSink&)>& produce);

// Makes SIGINT, SIGTERM, SIGHUP and SIGXFSZ remove the temporary files of writes in
// progress before the program ends with the signal (a shell sees 128 + its number). With
// `tellOnInterrupt`, SIGINT also prints a line on standard error. For programs without an
// event loop of their own (the command-line tool); call once, early.
void removeTemporaryFilesOnSignals(bool tellOnInterrupt);

}  // namespace zefra::common
