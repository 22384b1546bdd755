#include "app/TerminalProgress.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>

namespace {

constexpr int kBarWidth = 30;
constexpr auto kPlainInterval = std::chrono::seconds(1);

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

void TerminalProgress::Draw(const Display& display) {
    const int filled = display.percent * kBarWidth / 100;
    mOut << '\r' << display.text << " [" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kBarWidth - filled), '.') << "] ";
    if (display.percent < 100) mOut << ' ';
    if (display.percent < 10) mOut << ' ';
    mOut << display.percent << "%\x1b[K" << std::flush;
}

void TerminalProgress::Begin(const char* text, const char* secondText, double minimum, double maximum) {
    std::string line = text ? text : "";
    if (secondText && *secondText) line += std::string(" (") + secondText + ")";
    if (mInteractive && !mDisplays.empty()) mOut << '\n';
    mDisplays.push_back(Display{line, minimum, maximum, 0, 0, Clock::now()});
    if (mInteractive)
        Draw(mDisplays.back());
    else
        mOut << line << '\n' << std::flush;
}

bool TerminalProgress::Update(double value) {
    if (!mDisplays.empty()) {
        Display& display = mDisplays.back();
        const double span = display.maximum - display.minimum;
        const double share = span > 0 ? (value - display.minimum) / span : 1.0;
        display.percent = static_cast<int>(std::floor(std::clamp(share, 0.0, 1.0) * 100.0));
        if (mInteractive) {
            if (display.percent != display.shown) {
                Draw(display);
                display.shown = display.percent;
            }
        } else if (display.percent / 10 > display.shown / 10 && display.percent < 100 &&
                   Clock::now() - display.at >= kPlainInterval) {
            mOut << display.text << ": " << display.percent / 10 * 10 << "%\n" << std::flush;
            display.shown = display.percent;
            display.at = Clock::now();
        }
    }
    return IsCancelRequested();
}

bool TerminalProgress::Spin() { return IsCancelRequested(); }

void TerminalProgress::End() {
    if (mDisplays.empty()) return;
    const Display display = mDisplays.back();
    mDisplays.pop_back();
    const char* outcome = IsCancelRequested() ? "cancelled" : display.percent >= 100 ? "done" : nullptr;
    if (mInteractive) {
        mOut << '\r' << display.text;
        if (outcome) mOut << ": " << outcome;
        mOut << "\x1b[K\n" << std::flush;
        if (!mDisplays.empty()) Draw(mDisplays.back());
    } else if (outcome) {
        mOut << display.text << ": " << outcome << '\n' << std::flush;
    }
}
