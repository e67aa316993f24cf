#pragma once
// Two log channels, info and error. A channel exists only when the environment variable
// TARNWICK_LOG names it (TARNWICK_LOG=info,error); a call on an absent channel does nothing.
// Lines go to stderr with the calling function, file and line.
#include <string_view>

namespace tarnwick::log {

enum class Channel { info, error };

// Whether the channel exists in this process (read once from TARNWICK_LOG).
bool enabled(Channel channel);

// Removes every channel for the rest of the process.
void disableAll();

void write(Channel channel, std::string_view message, const char* function, const char* file, int line);

}  // namespace tarnwick::log

#define TW_LOG_INFO(message)                                                                        \
    do {                                                                                            \
        if (::tarnwick::log::enabled(::tarnwick::log::Channel::info))                               \
            ::tarnwick::log::write(::tarnwick::log::Channel::info, (message), __func__, __FILE__, __LINE__); \
    } while (0)

#define TW_LOG_ERROR(message)                                                                       \
    do {                                                                                            \
        if (::tarnwick::log::enabled(::tarnwick::log::Channel::error))                              \
            ::tarnwick::log::write(::tarnwick::log::Channel::error, (message), __func__, __FILE__, __LINE__); \
    } while (0)
