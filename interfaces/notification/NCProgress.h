#pragma once
// Progress display of a long operation. The application installs a sink that shows it; without
// a sink progress is silent and never cancelled.

#include <memory>

class NCProgressSink {
public:
    virtual ~NCProgressSink();
    // A display with `text` (and an optional second line, null when none) over [minimum, maximum].
    virtual void Begin(const char* text, const char* secondText, double minimum, double maximum) = 0;
    // Moves the display to `value`; true when the user asked to cancel.
    virtual bool Update(double value) = 0;
    // A sign of life between updates; true when the user asked to cancel.
    virtual bool Spin() { return false; }
    virtual void End() = 0;
};

// One display for the object's lifetime: the sink installed at construction gets Begin at once
// and End at destruction, even when another sink is installed meanwhile. Once the sink has
// reported cancellation the object stays cancelled. The three flags are display hints that
// sinks do not receive.
class NCProgress {
public:
    NCProgress(const char* text, double minimum, double maximum, bool flag1 = false, bool flag2 = false,
               bool flag3 = false, const char* secondText = nullptr);
    ~NCProgress();
    NCProgress(const NCProgress&) = delete;
    NCProgress& operator=(const NCProgress&) = delete;

    // Advances the display; true when cancellation was requested (now or earlier).
    bool SetValue(double x);
    // Shows a sign of life; true when cancellation was requested (now or earlier).
    bool NextSpin();
    bool IsCancelled() const { return mCancelled; }

    // Installs the sink for displays created from now on; null makes them silent. Thread-safe.
    static void SetSink(std::shared_ptr<NCProgressSink> sink);

private:
    std::shared_ptr<NCProgressSink> mSink;
    bool mCancelled = false;
};
