// Windows sends a windowed program no signals: the end of the session comes
// as the application's commitDataRequest, which main() connects.
#include "app/endSignals.h"

namespace app {

void onEndFromOutside(QObject*, std::function<void()>) {}

} // namespace app
