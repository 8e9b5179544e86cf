#pragma once
// Workspace: what a window may ask of the program around it. The windows are views of one
// audit and never reach each other: a window that leads on to another Problem asks for it
// here, and the program decides which window that is and where it goes.

#include "core/arrangement.h"

#include <QString>
#include <optional>

class Desktop;
namespace engine {
class Audit;
}

// Window geometry is given in twips; 15 twips make one device-independent pixel.
inline constexpr int kTwipsPerPixel = 15;
constexpr int twips(int pixels) {
    return pixels * kTwipsPerPixel;
}
constexpr int pixels(int twipValue) {
    return twipValue / kTwipsPerPixel;
}

class Workspace {
public:
    virtual ~Workspace() = default;

    // Message boxes, the beep, the wait cursor, settings and file dialogs.
    virtual Desktop& desktop() = 0;
    // The audit the windows show.
    virtual engine::Audit& audit() = 0;
    // Every loaded window's texts into the audit, and the audit's texts back into every
    // loaded window.
    virtual void pushTexts() = 0;
    virtual void pullTexts() = 0;
    // The text a window shows in a control (the window and control by their keys in
    // engine/keys.h), loading the window if needed; nullopt when there is no such control.
    virtual std::optional<QString> controlText(const QString& window, const QString& control) = 0;

    // The main window's status line.
    virtual void setStatus(const QString& text) = 0;
    virtual QString status() const = 0;
    // The arrangement chosen on the start window.
    virtual Arrangement chosenArrangement() = 0;

    // Shows a Problem window (1 to 4) of an arrangement, or the start window, at the top left
    // with the designed size, and gives it the focus.
    virtual void showProblem(Arrangement arrangement, int problem) = 0;
    virtual void showStart() = 0;
};
