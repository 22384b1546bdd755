#pragma once
// TerminalProgress: the application's progress display on a text stream, normally standard error.
// On a terminal it draws one line, "text [#####.....]  45%", redrawn in place when the percentage
// changes; on anything else (a file, a pipe) it writes plain lines: the text when a display begins,
// "text: 10%", "text: 20%", … as the value passes each tenth, and "text: done" at its end.
// Displays may nest; the innermost one is shown and the outer one continues when it ends.
//
// Cancellation: RequestCancel (safe to call from a signal handler) makes every display report
// cancellation from its next update on, and so every operation that watches its progress stops.
// InstallInterruptHandler routes the first Ctrl-C (SIGINT) there; a second one ends the process
// at once, as Ctrl-C normally does.

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
    struct Display {
        std::string text;
        double minimum;
        double maximum;
        int shown;  // the percentage last shown; -1 none
    };
    void Show(Display& display, int percent);

    std::ostream& mOut;
    bool mInteractive;
    bool mLineOpen = false;  // a bar is on the terminal's current line
    std::vector<Display> mDisplays;
};
