#pragma once
// Smooth: smoothed maturities and relative time for batch datasets.
//
// A maturity variable (a Y variable that grows or falls steadily through each phase of a batch,
// such as a conversion) is measured with noise and gaps. These functions derive per batch and
// phase a smoothed maturity that is strictly monotone, and a relative version of it that starts
// at 0 at the beginning of each phase; they create the generated time variable "$Time" (a count
// of observations that restarts at 0 in every phase), and name, describe and remove what they
// create. Missing values are -99.
//
// The smoothing of one segment (the observations of one phase in one batch), given its expected
// start a and end b and a hat matrix of window size w:
//   1. a == b makes b = a + n; the direction d is +1 when b > a, else -1.
//   2. Missing values are filled (FillMissingValues).
//   3. The minimum step m = d * average step / 50, where the average step is (y_n - y_1) / n, or
//      (b - a) / n when the data do not advance in the direction d.
//   4. A segment whose every step (y_i+1 - y_i) * d is at least m is returned as filled.
//   5. Otherwise every step is raised to at least m, and unless w < 3 a least-squares line or
//      parabola (the hat matrix) slides over the segment, each fitted value held at least m
//      beyond its neighbour (OLSmoothPhase).
// The result is strictly monotone in the direction d with steps of at least m (as far as float
// arithmetic can represent m next to the values).
//
// Choices a caller might not expect:
// - Data that do not advance in the direction d, a flat segment (y_1 == y_n) included, take the
//   expected average step (b - a) / n for the minimum step; so m is positive and a flat segment
//   becomes a ramp of steps m in the expected direction rather than being returned flat.
// - A leading gap uses the slope of the first two values present; with only one value present the
//   slope is (b - a) / n.
// - OLSmoothPhase changes `in`: it receives the input with the minimum step forced on it.
// - Observations that lie in no segment of the variable smoothing (a later run of a phase that
//   already had a run in the same batch, or rows with no phase number) get -99 in both the
//   smoothed and the relative variable.
// - A dataset whose observations have a phase ID column but no phase numbers (every default class
//   0) is smoothed as one phase per batch, as is one without a phase ID column; one without a
//   batch ID column counts as one batch.
// - CreateAndInsertSmoothedYs takes phase directions from dataset 1 only for a dataset numbered
//   above 1 whose Y variable has a smoothed variable in the settings that dataset 1 holds; a
//   phase without a run in dataset 1, or whose run has a missing value at either end, stays
//   without a direction, and the data then decide.
// - "$Time" restarts at every phase beginning (batch beginnings without a phase ID column; the
//   whole dataset is one run without a batch ID column). Deciding its inclusion counts the phases
//   by the observations' largest phase number (none without phase numbers).
// - FormatSmoothedVarsMessage writes a name that is not a generated variable's (treatment 0) as
//   the bare name on its line.
// - The smoothed and relative variables start as excluded Y variables, like their source; the
//   settings then include the relative one (and exclude the source).
// - A null `settings` creates and reports the variables without registering them.

#include <string>
#include <vector>

#include <boost/shared_ptr.hpp>

#include "interfaces/containers/NCDataMatrix.h"
#include "interfaces/containers/NCDataVector.h"
#include "interfaces/containers/NCIntegralVector.h"
#include "interfaces/utility/CString.h"

class BatchImportSettings;
class NCDataSet;
class NCObservations;
class VariableInfo;

namespace Smooth {

// Treatment codes of the generated variables (GetVariableTreatment).
enum ETreatment : int { eNotGenerated = 0, eTime = 1, eSmoothed = 2, eRelative = 3, eRelativeSmoothed = 4 };

// A window: its number of points and whether a parabola (true) or a straight line is fitted.
struct Window {
    int size;
    bool quadratic;
};

// ---- hat matrices and windows ----

// The w x w hat matrix: applied to a window's values minus their mean it gives the fitted values
// minus the mean. Positions x_i = i - (w + 1) / 2 (integer division, so an even window is not
// symmetric), scaled to unit length; H = x x' plus, for a parabola, z z' / z'z with z the squared
// positions minus their mean. Empty for w < 1.
NCDataMatrix<float> GetHatMatrix(int w, bool quadratic);
// The hat matrix of ChooseWindow(n).
NCDataMatrix<float> GetHatMatrix(int n);

// The three window rules, which differ in rounding. For a length up to 30 a straight line over
// 5 points (fewer when the length is below 5); above 30 a parabola over an odd number of points:
// GetHatMatrix(n): 5 when n > 5, else n; above 30 (int)(sqrt(n) + 0.49999), plus 1 when even.
Window ChooseWindow(int n);
// Variable smoothing, from the average segment length: 5 when L >= 5, else (int)L; above 30
// (int)(sqrt(L) + 0.49999), plus 1 when even.
Window ChoosePhaseWindow(float averageLength);
// CreateSmoothedYForPhase: averageLength when below 5, else 5; above 30
// (int)sqrt(averageLength + 0.49999), plus 1 when even.
Window ChooseVectorWindow(int averageLength);
// True for "$Time", "$timeb" and "$time" compared ignoring case: such variables are not smoothed
// (window 1).
bool IsTimeVariableName(const char* primaryID);

// ---- segments (arrays of n values, element 0 the segment's first observation) ----

// Fills the missing values of y[0..n-1] in place, for expected start a, end b and direction d:
// a leading gap is extrapolated back from the first two values present (their slope, 0 when it
// runs against d; (b - a) / n when there is only one value, and the last value becomes b when
// there is none); a trailing gap forward from the last two (likewise; (b - a) / n from a
// single first value, which becomes a when missing); inner gaps are interpolated linearly.
void FillMissingValues(float* y, int n, float start, float end, int direction);

// Smooths one segment y[0..n-1] into s[0..n-1] (see the header's steps) with `hat` (null: no
// smoothing, only filling and the minimum step). Returns the minimum step m, positive in the
// segment's direction (0 for n < 1).
float SmoothSegment(const float* y, float* s, int n, float start, float end, const NCDataMatrix<float>* hat);

// Smooths in[0..n-1] into out[0..n-1] with the caller's direction (+1 or -1) and minimum step:
// forces every step of `in` to at least minStep, then fits one straight line when n is below the
// window, or slides the hat matrix over the segment, holding each fitted value at least minStep
// beyond its neighbour. A null or empty hat copies the forced input.
void OLSmoothPhase(float* in, float* out, int n, int direction, float minStep, const NCDataMatrix<float>* hat);

// Smooths every segment of y with SmoothSegment, all with the same expected start and end and
// hat matrix. Segments start at the 1-based `beginnings` (null: one segment, the whole vector);
// entries out of range or not above the previous one are ignored, and values before the first
// segment are copied. An empty vector for null y.
NCDataVector<float> SmoothVector(const NCDataVector<float>* y, const NCIntegralVector<int, -99>* beginnings,
                                 float start, float end, const NCDataMatrix<float>* hat);

// Smooths one phase of one variable as one segment from its first to its last value present
// (window by ChooseVectorWindow, 1 for a time variable), expected to rise (`increasing`) or fall:
// the expected start and end are those values, the end moved 0.001 past the start when they run
// the other way. Writes value - first smoothed value into `relative` (when given) for the positions
// from the first to the last value present, after giving it y's length (new positions -99).
// Empty when y has fewer than two values.
boost::shared_ptr<NCDataVector<float>> CreateSmoothedYForPhase(const NCDataVector<float>* y, const VariableInfo* var,
                                                               int averageLength, NCDataVector<float>* relative,
                                                               bool increasing);

// ---- variables of a dataset ----

// Where the batches and phases of a dataset's rows lie, as the variable smoothing walks them.
struct BatchLayout {
    int numObs = 0;
    // Ascending 1-based first rows of the batches ({1} without a batch ID column).
    NCIntegralVector<int, -99> batchBeginnings;
    // Rows where the batch or the phase changes (the batch beginnings without a phase ID column).
    NCIntegralVector<int, -99> phaseBeginnings;
    // Each row's phase number; empty when the observations have none (see above).
    NCIntegralVector<int, -99> phaseNumbers;
    // The largest phase number; 1 without phase numbers.
    int numPhases = 1;
};

// The layout of the rows `obsIDs` of the collection `obs`.
BatchLayout GetBatchLayout(const NCObservations& obs, const NCIntegralVector<unsigned long, 0>& obsIDs);

// Smooths one variable's values (one per row of `layout`), phase by phase: the segments of phase
// p are the first run of p in each batch; the window comes from their average length (1 for a
// time variable), the expected start and end are the medians of their first and last values
// present (segments with fewer than two values skipped; 0 and 0 when all are), swapped to match
// directions[p] when that is +1 or -1 (`directions` may be empty). `smoothed` and `relative`
// receive one value per row (relative: smoothed minus the segment's first smoothed value).
// Throws NCError "Unable to find the required phase, smoothing aborted." when a phase's first row
// in a batch is not a phase beginning.
void SmoothVariable(const float* values, const BatchLayout& layout, bool timeVariable,
                    const std::vector<int>& directions, std::vector<float>& smoothed, std::vector<float>& relative);

// Creates, for each Y variable of `ds` (varID: only that one; the no-unique-ID value: all) whose
// primary ID neither begins with "$" nor is "$Time", the variables "$<ID> [smoothed]" and
// "$<ID> [Rel.smoothed]" ("$<ID> [Relative]" when the smoothed values could not be stored),
// registers them in `settings` and appends their primary IDs to `createdNames` (when given).
// Returns 2 when smoothed and relative variables were created, 1 when only relative ones, else 0;
// 0 and nothing created when `ds` is numbered above 1 and the project has no dataset 1. Throws
// NCError (see SmoothVariable); variables created before stay.
int CreateAndInsertSmoothedYs(boost::shared_ptr<NCDataSet> ds, BatchImportSettings* settings, unsigned long varID,
                              std::vector<CString>* createdNames);

// Creates (recipe "IndexByPhase(0)") or refreshes the variable "$Time" of `ds`: 0, 1, 2, … within
// every phase run. Registers it in `settings`, then includes it when the project has no included
// Y variable, or when some phases have none and no included Y variable covers every phase (its
// classes then those phases, or none when it is all of them); otherwise it stays excluded.
// False only without a dataset or project.
bool CreateAndInsert_DollarTime(boost::shared_ptr<NCDataSet> ds, BatchImportSettings* settings);

// 0 unless the name begins with "$"; 1 for "$Time" exactly; otherwise, ignoring case, 2 when it
// contains "[smoothed]", else 3 for "[relative]", else 4 for "[rel.smoothed]", else 0.
int GetVariableTreatment(const char* primaryID);

// The report of created variables: "" for none; otherwise a header (singular for one name) and
// one description line per name. `flag` does not change the text.
std::string FormatSmoothedVarsMessage(const std::vector<CString>& names, bool flag);

// Removes from `ds`, in one call, the variables generated from `source`: those whose primary ID
// is "$", the source's primary ID, " [" and anything after. `flag` is the removal's question to
// the user (ask); the project is consulted. Each removed variable is then excluded in `settings`.
// Returns the unique IDs removed (empty when the removal was refused).
NCIntegralVector<unsigned long, 0> RemoveSmoothedVars(boost::shared_ptr<NCDataSet> ds, const VariableInfo* source,
                                                      BatchImportSettings* settings, bool flag);

}  // namespace Smooth
