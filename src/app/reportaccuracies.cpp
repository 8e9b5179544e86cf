#include "app/reportaccuracies.h"

#include "app/windows.h"
#include "engine/keys.h"
#include "ui/uncertaintywindow.h"

uncertainty::Accuracies reportAccuracies(Windows& windows) {
    if (windows.isLoaded(engine::toQString(engine::kUncertaintyWindowKey)))
        return windows.uncertaintyWindow()->accuracies();
    return UncertaintyWindow::savedAccuracies(windows.desktop());
}
