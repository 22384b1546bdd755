#pragma once
// TerminalProgress: the application's progress display on a text stream, normally standard error.
// On a terminal it draws one line, "text [#####.....]  45%", redrawn in place when the percentage
// changes. On anything else (a file, a pipe) it writes plain lines: the text when a display
// begins, "text: 40%" when at least a second has passed since the last line and another tenth is
// reached, and "text: done" when the display ends at its maximum ("text: cancelled" after a
// cancellation; nothing when it ends early, as after an error). Displays may nest; the innermost
// one is shown, and the outer one is shown again when it ends.
//
// Cancellation: RequestCancel (safe to call from a signal handler) makes every display report
// cancellation from its next update on, and so every operation that watches its progress stops.
// InstallInterruptHandler routes the first Ctrl-C (SIGINT) there; a second one ends the process
// at once, as Ctrl-C normally does.

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "interfaces/notification/NCProgress.h"

class TerminalProgress : public NCProgressSink {
public:
    // `out` must outlive the sink; `interactive` chooses the redrawn bar over plain lines.
    TerminalProgress(std::ostream& out, bool interactive) : mOut(out), mInteractive(interactive) {}

    void Begin(const char* text, const char* secondText, double minimum, double maximum) override;
    bool Update(double value) override;
    bool Spin() override;
    void End() override;

    static void RequestCancel();
    static bool IsCancelRequested();
    // Forgets an earlier request (for a process that goes on with other work).
    static void ClearCancel();
    static void InstallInterruptHandler();

private:
    using Clock = std::chrono::steady_clock;
    struct Display {
        std::string text;
        double minimum;
        double maximum;
        int percent;           // the percentage reached
        int shown;             // the percentage last shown
        Clock::time_point at;  // when the last line was written
    };
    void Draw(const Display& display);

    std::ostream& mOut;
    bool mInteractive;
    std::vector<Display> mDisplays;
};
