#include "app/TerminalProgress.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>

namespace {

constexpr int kBarWidth = 30;

std::atomic<bool> gCancelRequested{false};

extern "C" void OnInterrupt(int) { gCancelRequested.store(true); }

}  // namespace

void TerminalProgress::RequestCancel() { gCancelRequested.store(true); }

bool TerminalProgress::IsCancelRequested() { return gCancelRequested.load(); }

void TerminalProgress::ClearCancel() { gCancelRequested.store(false); }

void TerminalProgress::InstallInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    // The handler runs once; the next Ctrl-C finds the default action again and ends the process.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

void TerminalProgress::Show(Display& display, int percent) {
    if (mInteractive) {
        const int filled = percent * kBarWidth / 100;
        mOut << '\r' << display.text << " [" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(kBarWidth - filled), '.') << "] "
             << (percent < 10    ? "  "
                 : percent < 100 ? " "
                                 : "")
             << percent << '%' << std::flush;
        mLineOpen = true;
    } else {
        const int reached = percent / 10 * 10;
        for (int step = display.shown + 10; step <= reached; step += 10) mOut << display.text << ": " << step << "%\n";
        mOut << std::flush;
    }
    display.shown = mInteractive ? percent : std::max(display.shown, percent / 10 * 10);
}

void TerminalProgress::Begin(const char* text, const char* secondText, double minimum, double maximum) {
    std::string line = text ? text : "";
    if (secondText && *secondText) line += std::string(" (") + secondText + ")";
    if (mInteractive && mLineOpen) {
        mOut << '\n';
        mLineOpen = false;
    }
    mDisplays.push_back(Display{line, minimum, maximum, -1});
    if (mInteractive)
        Show(mDisplays.back(), 0);
    else {
        mOut << line << '\n' << std::flush;
        mDisplays.back().shown = 0;
    }
}

bool TerminalProgress::Update(double value) {
    if (!mDisplays.empty()) {
        Display& display = mDisplays.back();
        const double span = display.maximum - display.minimum;
        const double share = span > 0 ? (value - display.minimum) / span : 1.0;
        const int percent = static_cast<int>(std::floor(std::clamp(share, 0.0, 1.0) * 100.0));
        if (percent != display.shown && (mInteractive || percent / 10 * 10 > display.shown)) Show(display, percent);
    }
    return IsCancelRequested();
}

bool TerminalProgress::Spin() { return IsCancelRequested(); }

void TerminalProgress::End() {
    if (mDisplays.empty()) return;
    const Display display = mDisplays.back();
    mDisplays.pop_back();
    const char* outcome = IsCancelRequested() ? "cancelled" : "done";
    if (mInteractive) {
        mOut << '\r' << display.text << ": " << outcome << std::string(kBarWidth + 2, ' ') << '\n' << std::flush;
        mLineOpen = false;
        if (!mDisplays.empty()) Show(mDisplays.back(), std::max(mDisplays.back().shown, 0));
    } else {
        mOut << display.text << ": " << outcome << '\n' << std::flush;
    }
}
