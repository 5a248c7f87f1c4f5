#pragma once

namespace globals {

// Fills HelpText: [1] the welcome instructions shown while no list is open,
// [2] the editing instructions shown beside the editor. A CR alone starts a
// new line in the label.
void BuildInstructions();

} // namespace globals
