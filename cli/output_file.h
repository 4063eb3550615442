#pragma once
// The single output file of render, quantize and export: "-" means standard output, as
// scripts expect; anything else must not be one of the command's inputs (compared by
// device and inode, so another name for the same file is caught too) and, if it exists,
// must be a regular file - a device, FIFO or folder is never replaced.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace zefra::cli {

inline bool isStandardOutput(const std::string& output) { return output == "-"; }

// Throws std::runtime_error naming the file and the reason when `output` may not be
// written. Inputs that do not exist are ignored (their own reading reports them).
void checkOutputFile(const std::string& output, const std::vector<std::string>& inputs);

// Writes all bytes to standard output; a failed or short write (a full disk, a closed
// pipe) throws "cannot write to standard output: <reason>".
void writeStandardOutput(std::span<const std::uint8_t> bytes);

}  // namespace zefra::cli
