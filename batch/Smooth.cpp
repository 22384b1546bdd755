// The smoothing workers: hat matrices, window rules, filling gaps and smoothing segments.

#include "batch/Smooth.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <boost/make_shared.hpp>

#include "interfaces/constants/NCConstants.h"
#include "interfaces/utility/CString.h"
#include "varobs/VariableInfo.h"

namespace {

bool IsMissing(float value) { return value == nc::kMissingValue; }

// A slope that runs against the direction becomes flat.
double AlongDirection(double slope, int direction) { return slope * direction < 0 ? 0.0 : slope; }

// The fitted value at one position of a window: row `row` of the (symmetric) hat matrix, so its
// column, applied to the window's values minus their mean, plus the mean.
float Fit(const float* row, const float* window, int w, double mean) {
    double sum = 0.0;
    for (int j = 0; j < w; ++j) sum += static_cast<double>(row[j]) * (window[j] - mean);
    return static_cast<float>(sum + mean);
}

double Mean(const float* values, int n) {
    double sum = 0.0;
    for (int i = 0; i < n; ++i) sum += values[i];
    return sum / n;
}

// The odd window of a length above 30.
int OddWindow(int w) { return w % 2 == 0 ? w + 1 : w; }

}  // namespace

namespace Smooth {

NCDataMatrix<float> GetHatMatrix(int w, bool quadratic) {
    if (w < 1) return NCDataMatrix<float>();
    const int centre = (w + 1) / 2;
    std::vector<double> x(static_cast<std::size_t>(w));
    double length = 0.0;
    for (int i = 1; i <= w; ++i) {
        x[i - 1] = i - centre;
        length += x[i - 1] * x[i - 1];
    }
    length = std::sqrt(length);
    if (length > 0.0)
        for (double& xi : x) xi /= length;

    std::vector<double> z(static_cast<std::size_t>(w), 0.0);
    double zz = 0.0;
    if (quadratic) {
        double mean = 0.0;
        for (int i = 0; i < w; ++i) mean += z[i] = x[i] * x[i];
        mean /= w;
        for (double& zi : z) {
            zi -= mean;
            zz += zi * zi;
        }
    }
    NCDataMatrix<float> hat(w, w, 0.0f);
    for (int i = 1; i <= w; ++i)
        for (int j = 1; j <= w; ++j) {
            double h = x[i - 1] * x[j - 1];
            if (zz > 0.0) h += z[i - 1] * z[j - 1] / zz;
            hat(i, j, static_cast<float>(h));
        }
    return hat;
}

NCDataMatrix<float> GetHatMatrix(int n) {
    const Window window = ChooseWindow(n);
    return GetHatMatrix(window.size, window.quadratic);
}

Window ChooseWindow(int n) {
    if (n <= 30) return {n > 5 ? 5 : n, false};
    return {OddWindow(static_cast<int>(std::sqrt(static_cast<double>(n)) + 0.49999)), true};
}

Window ChoosePhaseWindow(float averageLength) {
    if (averageLength <= 30.0f) return {averageLength >= 5.0f ? 5 : static_cast<int>(averageLength), false};
    return {OddWindow(static_cast<int>(std::sqrt(static_cast<double>(averageLength)) + 0.49999)), true};
}

Window ChooseVectorWindow(int averageLength) {
    if (averageLength <= 30) return {averageLength < 5 ? averageLength : 5, false};
    return {OddWindow(static_cast<int>(std::sqrt(averageLength + 0.49999))), true};
}

bool IsTimeVariableName(const char* primaryID) {
    return CompareNoCase(primaryID, "$time") == 0 || CompareNoCase(primaryID, "$timeb") == 0;
}

void FillMissingValues(float* y, int n, float start, float end, int direction) {
    if (!y || n < 1) return;
    // 1-based access, as the rules are stated.
    const auto present = [y](int i) { return !IsMissing(y[i - 1]); };
    const auto at = [y](int i) -> float& { return y[i - 1]; };
    const double expectedSlope = (static_cast<double>(end) - start) / n;

    int first = 1;
    while (first < n && !present(first)) ++first;
    if (first > 1) {
        int second = first + 1;
        while (second <= n && !present(second)) ++second;
        double slope = expectedSlope;
        if (first < n && second <= n) {
            slope = AlongDirection((static_cast<double>(at(second)) - at(first)) / (second - first), direction);
        } else if (!present(first)) {
            at(first) = end;
        }
        for (int i = first - 1; i >= 1; --i) at(i) = static_cast<float>(at(i + 1) - slope);
    }

    int last = n;
    while (last > 1 && !present(last)) --last;
    if (last < n) {
        int previous = last - 1;
        while (previous >= 1 && !present(previous)) --previous;
        double slope = expectedSlope;
        if (last < 2 || previous < 1) {
            if (!present(last)) at(last) = start;
        } else {
            slope = AlongDirection((static_cast<double>(at(last)) - at(previous)) / (last - previous), direction);
        }
        for (int i = last + 1; i <= n; ++i) at(i) = static_cast<float>(at(i - 1) + slope);
    }

    for (int i = 2; i < n; ++i) {
        if (present(i)) continue;
        int next = i + 1;
        while (next < n && !present(next)) ++next;
        at(i) = static_cast<float>(at(i - 1) + (static_cast<double>(at(next)) - at(i - 1)) / (next - i + 1));
    }
}

void OLSmoothPhase(float* in, float* out, int n, int direction, float minStep, const NCDataMatrix<float>* hat) {
    if (!in || !out || n < 1) return;
    const int d = direction < 0 ? -1 : 1;
    const float step = d * minStep;
    for (int i = 1; i < n; ++i)
        if ((in[i] - in[i - 1]) * d < minStep) in[i] = in[i - 1] + step;

    const int w = hat ? hat->GetNumRows() : 0;
    if (w < 1) {
        std::copy_n(in, n, out);
        return;
    }

    if (n < w) {
        const NCDataMatrix<float> line = GetHatMatrix(n, false);
        const double mean = Mean(in, n);
        for (int i = 0; i < n; ++i) out[i] = Fit(line.GetColumnPtr(i + 1), in, n, mean);
        for (int i = 1; i < n; ++i)
            if (out[i] * d < out[i - 1] * d + minStep) out[i] = out[i - 1] + step;
        return;
    }

    // out[k] is s_(k+1); window p covers in[p-1 .. p+w-2] and its position i is s_(p+i-1).
    const int centre = static_cast<int>(std::ceil(w * 0.5 - 0.01));
    const int windows = n - w + 1;
    const auto fit = [&](int p, int i, double mean) { return Fit(hat->GetColumnPtr(i), in + p - 1, w, mean); };
    // Going backwards from s_(from+1), each value stays at least the minimum step behind.
    const auto backwards = [&](int from, double mean) {
        for (int i = from; i >= 1; --i) {
            const float f = fit(1, i, mean);
            out[i - 1] = d * f > d * out[i] - minStep ? out[i] - step : f;
        }
    };
    // s_(p+i-1) = f_i, at least the minimum step beyond s_(p+i-2).
    const auto forwards = [&](int p, int i, double mean) {
        const float f = fit(p, i, mean);
        const float previous = out[p + i - 3];
        out[p + i - 2] = d * f < d * previous + minStep ? previous + step : f;
    };

    for (int p = 1; p <= windows; ++p) {
        const double mean = Mean(in + p - 1, w);
        if (p == 1) {
            const int from = windows == 1 ? w : centre;
            out[from - 1] = fit(1, from, mean);
            backwards(from - 1, mean);
        } else if (p < windows) {
            forwards(p, centre, mean);
        } else {
            for (int i = centre; i <= w; ++i) forwards(p, i, mean);
        }
    }
}

float SmoothSegment(const float* y, float* s, int n, float start, float end, const NCDataMatrix<float>* hat) {
    if (!y || !s || n < 1) return 0.0f;
    std::vector<float> work(y, y + n);
    if (start == end) end = start + n;
    const int d = end > start ? 1 : -1;
    FillMissingValues(work.data(), n, start, end, d);

    const float advance = work[n - 1] - work[0];
    const float averageStep = advance * d > 0 ? advance / n : (end - start) / n;
    const float minStep = d * averageStep / 50.0f;

    bool steadyEnough = true;
    for (int i = 1; i < n && steadyEnough; ++i) steadyEnough = (work[i] - work[i - 1]) * d >= minStep;
    const int w = hat ? hat->GetNumRows() : 0;
    if (steadyEnough || w < 3) {
        OLSmoothPhase(work.data(), s, n, d, minStep, nullptr);
    } else {
        OLSmoothPhase(work.data(), s, n, d, minStep, hat);
    }
    return minStep;
}

NCDataVector<float> SmoothVector(const NCDataVector<float>* y, const NCIntegralVector<int, -99>* beginnings,
                                 float start, float end, const NCDataMatrix<float>* hat) {
    if (!y) return NCDataVector<float>();
    const int n = y->size();
    std::vector<int> starts;
    if (beginnings) {
        for (const int b : *beginnings)
            if (b >= 1 && b <= n && (starts.empty() || b > starts.back())) starts.push_back(b);
    } else if (n > 0) {
        starts.push_back(1);
    }
    std::vector<float> smoothed(y->data(), y->data() + n);
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const int first = starts[k];
        const int next = k + 1 < starts.size() ? starts[k + 1] : n + 1;
        SmoothSegment(y->data() + first - 1, smoothed.data() + first - 1, next - first, start, end, hat);
    }
    NCDataVector<float> result;
    result.CopyVector(smoothed.data(), n);
    return result;
}

boost::shared_ptr<NCDataVector<float>> CreateSmoothedYForPhase(const NCDataVector<float>* y, const VariableInfo* var,
                                                               int averageLength, NCDataVector<float>* relative,
                                                               bool increasing) {
    if (!y) return {};
    const Window window =
        var && IsTimeVariableName(var->GetPrimaryAlias()) ? Window{1, false} : ChooseVectorWindow(averageLength);
    const int n = y->size();
    int first = 1;
    while (first <= n && IsMissing((*y)(first))) ++first;
    int last = n;
    while (last >= 1 && IsMissing((*y)(last))) --last;
    if (first >= last) return {};

    const float start = (*y)(first);
    float end = (*y)(last);
    if (increasing && end <= start) end = start + 0.001f;
    if (!increasing && end >= start) end = start - 0.001f;

    const NCDataMatrix<float> hat = GetHatMatrix(window.size, window.quadratic);
    std::vector<float> smoothed(static_cast<std::size_t>(n));
    SmoothSegment(y->data(), smoothed.data(), n, start, end, &hat);

    if (relative) {
        relative->SetSize(n);
        const float origin = smoothed[first - 1];
        for (int k = first; k <= last; ++k) (*relative)(k, smoothed[k - 1] - origin + 0.0f);
    }
    auto result = boost::make_shared<NCDataVector<float>>();
    result->CopyVector(smoothed.data(), n);
    return result;
}

}  // namespace Smooth
