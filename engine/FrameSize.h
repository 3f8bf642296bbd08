// The frame size text "WxH" (such as "320x240") that the conversion's settings, the still's
// size and the job runner's letterbox all read: one reading for the engine and the window.
// Plain rules without libav, in the engine's small rules library.
#pragma once

#include <string_view>

namespace kivo {

// The largest picture side the engine converts to or paints a still at.
constexpr int kMaxFrameSide = 4096;

// Splits `text` at its first 'x' or 'X' into a width and a height, each a decimal integer
// (an optional sign, then digits, nothing else) that fits an int. On failure returns false
// and, when `offending` is given, sets it to the part that is not such an integer: the whole
// text when it has no 'x'.
bool ReadFrameSize(std::string_view text, int& width, int& height,
                   std::string_view* offending = nullptr);

// A frame size the engine can use: readable, and both sides from 1 to kMaxFrameSide.
bool ParseFrameSize(std::string_view text, int& width, int& height);

}  // namespace kivo
