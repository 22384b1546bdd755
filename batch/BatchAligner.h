#pragma once
// BatchAligner: resamples batch trajectories onto one common grid of maturity values.
//
// Batches run for different lengths, so their trajectories cannot be compared observation by
// observation. The aligner derives a grid once from the maturity of all batches (Init) and then
// interpolates each batch's values at every grid point (Align), so that every batch and every
// variable of a batch has one value per grid point. The grid runs in the maturity's direction
// (rising or falling). Missing values are -99.
//
// Aligning one batch (values y with maturities x) at a grid value t:
//   - pairs whose maturity is missing are dropped; fewer than two left give -99 everywhere;
//   - the remaining maturities must not turn against the aligner's direction (equal neighbours
//     are allowed), otherwise NCError "Data can not be aligned since the maturity isn't
//     monotone." is thrown and the output is left as it was;
//   - t is interpolated linearly between the nearest samples below and above it whose value is
//     present; beyond the batch's first or last maturity the end value is held, or, with the
//     process-wide no-extrapolation option, the result is -99.
// Two maturities are taken as equal when they differ by at most 2^-23 scaled by the binary
// exponent (frexp) of the larger magnitude.
//
// Choices a caller might not expect:
// - Init sorts and picks from every maturity value, missing ones (-99) included, and start and end
//   are the minimum and maximum of them all. A leading -99 is never picked (the first pick is
//   compared with -99), but a falling maturity with missing values ends its grid, and its end, in
//   -99; callers that want neither pass the maturity without its missing rows. NaN maturities,
//   which have no place in a sort, take no part; Align drops them like missing ones. Start and end
//   are -99 when there is no value at all.
// - Init always leaves a grid, empty when the input gives none: null inputs, no batch, or
//   beginnings that do not start at 1 and rise strictly within the maturity's rows.
// - With median ends the first and last grid values are replaced only by a median that exists
//   (not -99); a one-point grid takes the median end. The grid need not stay monotone then.
// - A sample whose value is missing is passed over: the neighbours are the nearest samples with a
//   value. When there is none on one side, the result is that side's neighbour value only where t
//   equals the other neighbour's maturity, and -99 elsewhere (so a batch whose last values are
//   missing gives -99 beyond its last value present, not a held end).
// - The vector and matrix forms align the first min(size of y or rows of data, size of x)
//   observations; the output always gets one value (row) per grid point, none without a grid.
// - Interpolation is computed in double and rounded once, so a grid value equal to a sample's
//   maturity gives exactly that sample's value.
//
// Section "Aligner", version 2 (only version 2 is read): a directory of the grid (sub-stream 0,
// a float vector object, only when there is a grid), start (1), end (2), each 4 bytes, and the
// direction (3, 1 byte). Reading discards the current grid as soon as the tag is found; without
// sub-stream 0 the aligner has no grid.

#include <istream>
#include <memory>
#include <ostream>

#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/streams/SectionFlag.h"
#include "interfaces/streams/ZStreamBase.h"

class BatchAligner : public ZStreamBase {
public:
    // No grid, start and end -99, ascending.
    BatchAligner();
    // Copies start, end and direction, and gives the copy its own copy of the grid (none when the
    // source has none).
    BatchAligner(const BatchAligner& other);
    BatchAligner& operator=(const BatchAligner& other);
    ~BatchAligner() override;

    // Builds the grid from the maturity of all observations (rows in batch order) and the 1-based
    // batch beginnings: EstimateTimeMaturityVectorSize points picked evenly from the sorted
    // maturities, repeated values once; with `useMedianEnds` the first and last grid values become
    // GetMedianStartPoint and GetMedianEndPoint.
    void Init(const NCDataVector<float>* maturity, const NCIntegralVector<int, -99>* batchBeginnings,
              bool useMedianEnds);

    // The grid, or null; valid until the aligner changes.
    const NCDataVector<float>* GetTimeMaturityVector() const { return mGrid.get(); }
    // Whether the maturity rises through a batch (the grid's direction).
    bool IsAscending() const { return mAscending; }
    // The maturity where the grid starts (its minimum when ascending, maximum when descending)
    // and where it ends; -99 before Init.
    float GetStart() const { return mStart; }
    float GetEnd() const { return mEnd; }

    // The number of grid points: the smaller of N / B (integer division, N rows, B batches) and
    // the median batch length (at position (B + 1) / 2 of the lengths sorted ascending). Stores
    // the maturity's direction (BatchUtilities::IsAscending) in *ascending when it is not null.
    // 0 (and ascending) for an input that gives no grid (see above).
    static int EstimateTimeMaturityVectorSize(const NCDataVector<float>* maturity,
                                              const NCIntegralVector<int, -99>* batchBeginnings, bool* ascending);
    // The median of the maturities at the first (respectively last) observation of each batch,
    // missing ones skipped; -99 when there is none or the input gives no grid.
    static float GetMedianStartPoint(const NCDataVector<float>* maturity,
                                     const NCIntegralVector<int, -99>* batchBeginnings);
    static float GetMedianEndPoint(const NCDataVector<float>* maturity,
                                   const NCIntegralVector<int, -99>* batchBeginnings);

    // Aligns one batch's n values y with maturities x onto the grid: `out` gets one value per grid
    // point. Throws NCError for a non-monotone maturity, `out` unchanged.
    void Align(const float* y, const float* x, int n, NCDataVector<float>& out) const;
    // The same, returning a new vector that belongs to the caller.
    NCDataVector<float>* Align(const NCDataVector<float>& y, const NCDataVector<float>& x) const;
    // Aligns every column of `data` (rows: the batch's observations) with the same maturities x:
    // `out` gets one row per grid point and the columns of `data`. Throws as above, `out`
    // unchanged.
    void Align(const NCDataMatrix<float>& data, const NCDataVector<float>& x, NCDataMatrix<float>& out) const;
    // The same, returning a new matrix that belongs to the caller.
    NCDataMatrix<float>* Align(const NCDataMatrix<float>& data, const NCDataVector<float>& x) const;

    // The process-wide no-extrapolation option (off at start): grid values beyond both neighbours
    // give -99 instead of the held end value. Read by every Align call of every aligner.
    static void SetExperimentalOptionNoExtrapolation(bool noExtrapolation);
    static bool GetExperimentalOptionNoExtrapolation();

    bool ZStreamableStartWrite(std::ostream& os) override;
    // False on another tag, a version other than 2, or a missing or short start, end or
    // direction; never throws.
    bool ZStreamableStartRead(std::istream& is) override;
    void ZStreamableReset() override { mSection.Reset(); }

    static const ZStreamableData& StreamData();

private:
    std::unique_ptr<NCDataVector<float>> mGrid;
    float mStart;
    float mEnd;
    bool mAscending;
    SectionFlag mSection;
};
