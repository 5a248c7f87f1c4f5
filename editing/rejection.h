#pragma once
// The rejection signal: the program's one way of refusing without a message.
// The box flashes in inverted colours while the beep sounds.

namespace ui {
class TextBox;
}

namespace editing {
constexpr int kRejectionBeeps = 300;
// How long the inverted colours stay on the screen, so a person sees the flash.
constexpr int kRejectionFlashMilliseconds = 100;
} // namespace editing

namespace globals {
// Swaps the box's background and text colours, repaints it, beeps, holds the
// flash, swaps the colours back and repaints. Text, selection and the Changed
// flag are not touched.
void SignalRejection(ui::TextBox& box);
} // namespace globals
