#pragma once
// The program's numbered file channels: every file the text writer opens is kept in
// this one table until it is closed, so that CloseAll can close whatever is still open.

#include <cstddef>
#include <string>

#include "runtime/Handles.h"

namespace FileChannels {

// Opens the file for sequential output (created, or emptied when it exists) on the
// lowest free channel number, from 1. A failure raises the platform's error as an AppError.
int OpenForOutput(const std::wstring& path);

// Writes the bytes to the open channel. A failure raises an AppError.
void Write(int channel, const std::string& bytes);

// Closes one channel; an unknown number is ignored.
void Close(int channel);

// Closes every open channel.
void CloseAll();

std::size_t OpenCount();

struct ChannelTraits {
    using Handle = int;
    static Handle Invalid() { return 0; }  // channels are numbered from 1
    static void Close(Handle channel) { FileChannels::Close(channel); }
};

// Closes its channel when it goes, on every path out of a scope.
using Scope = UniqueHandle<ChannelTraits>;

}  // namespace FileChannels
