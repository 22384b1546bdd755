#include "batch/BatchAligner.h"

#include <algorithm>
#include <atomic>
#include <cfloat>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "batchinfo/BatchQueries.h"
#include "interfaces/constants/NCConstants.h"
#include "interfaces/notification/NCError.h"
#include "interfaces/streams/Section.h"

using nc::kMissingValue;

namespace {

constexpr const char* kNotMonotoneMessage = "Data can not be aligned since the maturity isn't monotone.";

enum SubStream : int { kGrid = 0, kStart = 1, kEnd = 2, kAscending = 3, kSubStreamCount = 4 };

// "Aligner" version 2; only version 2 is read.
const Section& StreamSection() {
    static const Section section("Aligner", 2, kSubStreamCount);
    return section;
}

std::atomic<bool> gNoExtrapolation{false};

bool Present(float value) { return value != kMissingValue && value == value; }

// Equal within 2^-23 scaled by the binary exponent of the larger magnitude.
bool Equal(float a, float b) {
    if (!std::isfinite(a) || !std::isfinite(b)) return a == b;
    const double larger = std::max(std::fabs(static_cast<double>(a)), std::fabs(static_cast<double>(b)));
    int exponent = 0;
    std::frexp(larger, &exponent);
    return std::fabs(static_cast<double>(a) - static_cast<double>(b)) <= std::ldexp(double(FLT_EPSILON), exponent);
}

// The lengths of the batches that `beginnings` cuts rows 1..N into; empty when they do not start
// at 1 and rise strictly within the rows.
std::vector<int> BatchLengths(const NCDataVector<float>* maturity, const NCIntegralVector<int, -99>* beginnings) {
    if (!maturity || !beginnings || maturity->size() == 0 || beginnings->empty() || (*beginnings)[1] != 1) return {};
    const int rows = maturity->size();
    std::vector<int> lengths;
    lengths.reserve(static_cast<std::size_t>(beginnings->size()));
    for (int i = 1; i <= beginnings->size(); ++i) {
        const int next = i < beginnings->size() ? (*beginnings)[i + 1] : rows + 1;
        if (next <= (*beginnings)[i] || next > rows + 1) return {};
        lengths.push_back(next - (*beginnings)[i]);
    }
    return lengths;
}

// The median of the maturities at one end (first or last row) of every batch.
float MedianAtBatchEnds(const NCDataVector<float>* maturity, const NCIntegralVector<int, -99>* beginnings, bool last) {
    const std::vector<int> lengths = BatchLengths(maturity, beginnings);
    if (lengths.empty()) return kMissingValue;
    NCDataVector<float> ends;
    ends.Reserve(static_cast<int>(lengths.size()));
    for (std::size_t b = 0; b < lengths.size(); ++b) {
        const int first = (*beginnings)[static_cast<int>(b) + 1];
        ends.push_back((*maturity)(last ? first + lengths[b] - 1 : first));
    }
    return ends.GetMedian();
}

// What the interpolation between the neighbours (x1, x2) gives at t, as far as it depends on the
// maturities alone: one neighbour's value, the missing value, or the straight line at weight w.
struct Rule {
    enum Kind : int { kLower, kUpper, kMissing, kLine } kind;
    double weight;
};

// Modes: 0 the straight line, 1 the end values held beyond both neighbours, 2 -99 beyond both.
Rule Classify(float x1, float x2, float t, int mode) {
    if (Equal(x1, x2)) return {Rule::kLower, 0.0};
    const bool aboveBoth = t > x1 && t > x2, belowBoth = t < x1 && t < x2;
    if (mode == 1 && aboveBoth) return {x1 > x2 ? Rule::kLower : Rule::kUpper, 0.0};
    if (mode == 1 && belowBoth) return {x1 < x2 ? Rule::kLower : Rule::kUpper, 0.0};
    if (mode == 2 && (aboveBoth || belowBoth)) return {Rule::kMissing, 0.0};
    return {Rule::kLine, (static_cast<double>(t) - x1) / (static_cast<double>(x2) - x1)};
}

float Apply(const Rule& rule, float y1, float y2) {
    switch (rule.kind) {
        case Rule::kLower:
            return y1;
        case Rule::kUpper:
            return y2;
        case Rule::kMissing:
            return kMissingValue;
        case Rule::kLine:
            break;
    }
    return static_cast<float>(y1 + (static_cast<double>(y2) - y1) * rule.weight);
}

// Everything of one alignment that depends on the maturities and the grid, not on the values:
// built once and applied to every column of a batch.
class AlignmentPlan {
public:
    // Empty (every output -99) without a grid, for n < 1 and for fewer than two maturities
    // present. Throws NCError when the maturities present turn against the direction.
    AlignmentPlan(const NCDataVector<float>* grid, bool ascending, const float* x, int n) {
        if (grid) mGrid.assign(grid->data(), grid->data() + grid->size());
        if (mGrid.empty() || n < 1) return;
        mRows.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            if (Present(x[i])) mRows.push_back(i);
        if (mRows.size() < 2) return;
        mContiguous = static_cast<int>(mRows.size()) == n;
        mX.reserve(mRows.size());
        for (const int row : mRows) mX.push_back(x[row]);
        for (std::size_t i = 1; i < mX.size(); ++i)
            if (ascending ? mX[i] < mX[i - 1] : mX[i] > mX[i - 1]) throw NCError(kNotMonotoneMessage);
        const bool noExtrapolation = gNoExtrapolation.load();
        const int last = static_cast<int>(mX.size()) - 1;
        mPoints.reserve(mGrid.size());
        for (const float t : mGrid) {
            // The first sample not before t in the maturity's direction.
            const auto found = ascending ? std::lower_bound(mX.begin(), mX.end(), t)
                                         : std::lower_bound(mX.begin(), mX.end(), t, std::greater<float>());
            int k = std::clamp(static_cast<int>(found - mX.begin()), 1, last);
            int mode = 1;
            if (noExtrapolation) {
                mode = 2;
            } else if (k >= 2 && Equal(t, mX[static_cast<std::size_t>(k) - 1])) {
                --k;
                mode = 0;
            } else if (Equal(t, mX[static_cast<std::size_t>(k)])) {
                mode = 0;
            }
            mPoints.push_back(
                {k, mode, Classify(mX[static_cast<std::size_t>(k) - 1], mX[static_cast<std::size_t>(k)], t, mode)});
        }
    }

    int GridSize() const { return static_cast<int>(mGrid.size()); }

    // Aligns one column y (the n values of the batch) into out[0 .. GridSize()-1].
    void AlignColumn(const float* y, float* out) {
        if (mPoints.empty()) {
            std::fill(out, out + mGrid.size(), kMissingValue);
            return;
        }
        const float* values = y;
        if (!mContiguous) {
            mY.resize(mRows.size());
            for (std::size_t i = 0; i < mRows.size(); ++i) mY[i] = y[mRows[i]];
            values = mY.data();
        }
        const int count = static_cast<int>(mRows.size());
        if (std::find(values, values + count, kMissingValue) == values + count) {
            // Every value present: the neighbours are the samples k-1 and k.
            for (std::size_t p = 0; p < mPoints.size(); ++p) {
                const Point& point = mPoints[p];
                out[p] = Apply(point.rule, values[point.k - 1], values[point.k]);
            }
            return;
        }
        // The nearest sample with a value at or below i (mBelow), at or above i (mAbove); -1: none.
        mBelow.resize(static_cast<std::size_t>(count));
        mAbove.resize(static_cast<std::size_t>(count));
        for (int i = 0, below = -1; i < count; ++i) mBelow[i] = below = values[i] != kMissingValue ? i : below;
        for (int i = count - 1, above = -1; i >= 0; --i) mAbove[i] = above = values[i] != kMissingValue ? i : above;
        for (std::size_t p = 0; p < mPoints.size(); ++p) {
            const Point& point = mPoints[p];
            const int lower = mBelow[point.k - 1], upper = mAbove[point.k];
            if (lower == point.k - 1 && upper == point.k) {
                out[p] = Apply(point.rule, values[lower], values[upper]);
                continue;
            }
            const float x1 = lower >= 0 ? mX[lower] : kMissingValue, y1 = lower >= 0 ? values[lower] : kMissingValue;
            const float x2 = upper >= 0 ? mX[upper] : kMissingValue, y2 = upper >= 0 ? values[upper] : kMissingValue;
            out[p] = Interpolate(x1, y1, x2, y2, mGrid[p], point.mode);
        }
    }

private:
    struct Point {
        int k;  // the upper neighbour when every value is present
        int mode;
        Rule rule;  // the rule between samples k-1 and k
    };

    static float Interpolate(float x1, float y1, float x2, float y2, float t, int mode) {
        if (x1 == kMissingValue || x2 == kMissingValue || y1 == kMissingValue || y2 == kMissingValue) {
            if (Equal(t, x1)) return y1;
            if (Equal(t, x2)) return y2;
            return kMissingValue;
        }
        return Apply(Classify(x1, x2, t, mode), y1, y2);
    }

    std::vector<float> mGrid;
    std::vector<int> mRows;  // the rows whose maturity is present
    bool mContiguous = false;
    std::vector<float> mX;  // their maturities
    std::vector<Point> mPoints;
    std::vector<float> mY;
    std::vector<int> mBelow, mAbove;
};

}  // namespace

const ZStreamableData& BatchAligner::StreamData() { return StreamSection().Data(); }

BatchAligner::BatchAligner() : mStart(kMissingValue), mEnd(kMissingValue), mAscending(true) {}

BatchAligner::BatchAligner(const BatchAligner& other)
    : ZStreamBase(other),
      mGrid(other.mGrid ? std::make_unique<NCDataVector<float>>(*other.mGrid) : nullptr),
      mStart(other.mStart),
      mEnd(other.mEnd),
      mAscending(other.mAscending) {}

BatchAligner& BatchAligner::operator=(const BatchAligner& other) {
    if (this == &other) return *this;
    mGrid = other.mGrid ? std::make_unique<NCDataVector<float>>(*other.mGrid) : nullptr;
    mStart = other.mStart;
    mEnd = other.mEnd;
    mAscending = other.mAscending;
    return *this;
}

BatchAligner::~BatchAligner() = default;

int BatchAligner::EstimateTimeMaturityVectorSize(const NCDataVector<float>* maturity,
                                                 const NCIntegralVector<int, -99>* batchBeginnings, bool* ascending) {
    std::vector<int> lengths = BatchLengths(maturity, batchBeginnings);
    if (ascending) *ascending = true;
    if (lengths.empty()) return 0;
    if (ascending) {
        NCIntegralVector<int, -99> batchLengths;
        for (const int length : lengths) batchLengths.push_back(length);
        *ascending = BatchUtilities::IsAscending(maturity, &batchLengths);
    }
    const int batches = static_cast<int>(lengths.size());
    std::sort(lengths.begin(), lengths.end());
    const int median = lengths[static_cast<std::size_t>((batches + 1) / 2 - 1)];
    return std::min(maturity->size() / batches, median);
}

float BatchAligner::GetMedianStartPoint(const NCDataVector<float>* maturity,
                                        const NCIntegralVector<int, -99>* batchBeginnings) {
    return MedianAtBatchEnds(maturity, batchBeginnings, false);
}

float BatchAligner::GetMedianEndPoint(const NCDataVector<float>* maturity,
                                      const NCIntegralVector<int, -99>* batchBeginnings) {
    return MedianAtBatchEnds(maturity, batchBeginnings, true);
}

void BatchAligner::Init(const NCDataVector<float>* maturity, const NCIntegralVector<int, -99>* batchBeginnings,
                        bool useMedianEnds) {
    bool ascending = true;
    const int size = EstimateTimeMaturityVectorSize(maturity, batchBeginnings, &ascending);
    auto grid = std::make_unique<NCDataVector<float>>();
    float start = kMissingValue, end = kMissingValue;
    std::vector<float> sorted;
    if (size > 0) {
        sorted.reserve(static_cast<std::size_t>(maturity->size()));
        for (int i = 1; i <= maturity->size(); ++i)
            if (!std::isnan((*maturity)(i))) sorted.push_back((*maturity)(i));
    }
    if (!sorted.empty()) {
        if (ascending)
            std::sort(sorted.begin(), sorted.end());
        else
            std::sort(sorted.begin(), sorted.end(), std::greater<float>());
        start = sorted.front();  // the minimum when rising, the maximum when falling
        end = sorted.back();
        // Evenly spaced picks, starting half a step in; a repeated value gives one grid point.
        const int count = static_cast<int>(sorted.size());
        const float step = static_cast<float>(count) / static_cast<float>(size);
        const int half = count / size / 2;
        grid->Reserve(size);
        float previous = kMissingValue;
        for (int k = 0; k < size; ++k) {
            const int position = static_cast<int>(static_cast<float>(k) * step + static_cast<float>(half));
            if (position > count - 1) break;
            const float value = sorted[static_cast<std::size_t>(position)];
            if (value != previous) grid->push_back(value);
            previous = value;
        }
        if (useMedianEnds && grid->size() > 0) {
            const float medianStart = GetMedianStartPoint(maturity, batchBeginnings);
            const float medianEnd = GetMedianEndPoint(maturity, batchBeginnings);
            if (medianStart != kMissingValue) (*grid)(1, medianStart);
            if (medianEnd != kMissingValue) (*grid)(grid->size(), medianEnd);
        }
    }
    mGrid = std::move(grid);
    mStart = start;
    mEnd = end;
    mAscending = ascending;
}

void BatchAligner::Align(const float* y, const float* x, int n, NCDataVector<float>& out) const {
    AlignmentPlan plan(mGrid.get(), mAscending, x, n);
    std::vector<float> aligned(static_cast<std::size_t>(plan.GridSize()));
    if (!aligned.empty()) plan.AlignColumn(y, aligned.data());
    out.CopyVector(aligned.data(), plan.GridSize());
}

NCDataVector<float>* BatchAligner::Align(const NCDataVector<float>& y, const NCDataVector<float>& x) const {
    auto out = std::make_unique<NCDataVector<float>>();
    Align(y.data(), x.data(), std::min(y.size(), x.size()), *out);
    return out.release();
}

void BatchAligner::Align(const NCDataMatrix<float>& data, const NCDataVector<float>& x,
                         NCDataMatrix<float>& out) const {
    const int rows = std::min(data.GetNumRows(), x.size());
    AlignmentPlan plan(mGrid.get(), mAscending, x.data(), rows);
    const int columns = data.GetNumColumns();
    // Reuses the output's storage when it has the right shape and is not the input.
    const bool reuse = &out != &data && out.GetNumRows() == plan.GridSize() && out.GetNumColumns() == columns;
    NCDataMatrix<float> fresh;
    NCDataMatrix<float>& target = reuse ? out : fresh;
    if (!reuse) fresh = NCDataMatrix<float>(plan.GridSize(), columns);
    if (plan.GridSize() > 0)
        for (int c = 1; c <= columns; ++c) plan.AlignColumn(data.GetColumnPtr(c), target.GetMutableColumnPtr(c));
    if (!reuse) out = std::move(fresh);
}

NCDataMatrix<float>* BatchAligner::Align(const NCDataMatrix<float>& data, const NCDataVector<float>& x) const {
    auto out = std::make_unique<NCDataMatrix<float>>();
    Align(data, x, *out);
    return out.release();
}

void BatchAligner::SetExperimentalOptionNoExtrapolation(bool noExtrapolation) { gNoExtrapolation = noExtrapolation; }

bool BatchAligner::GetExperimentalOptionNoExtrapolation() { return gNoExtrapolation.load(); }

bool BatchAligner::ZStreamableStartWrite(std::ostream& os) {
    return StreamSection().Write(
        os, mSection, [] { return true; },
        [&](SectionOutput& out) {
            if (mGrid) out.Write(kGrid, *mGrid);
            out.Write(kStart, mStart);
            out.Write(kEnd, mEnd);
            out.Write(kAscending, mAscending);
        });
}

bool BatchAligner::ZStreamableStartRead(std::istream& is) {
    const auto discardGrid = [&] {
        mGrid.reset();
        return true;
    };
    return StreamSection().Read(is, mSection, discardGrid, [&](SectionInput& in) {
        if (in.FindStream(kGrid)) {
            auto grid = std::make_unique<NCDataVector<float>>();
            in.Required(kGrid, *grid);
            mGrid = std::move(grid);
        }
        in.Required(kStart, mStart);
        in.Required(kEnd, mEnd);
        in.Required(kAscending, mAscending);
    });
}
