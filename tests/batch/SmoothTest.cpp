// The smoothing workers: hat matrices and window rules, filling gaps, and the guarantees of a
// smoothed segment (strictly monotone, steps of at least the minimum step, steady data untouched).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "batch/Smooth.h"
#include "interfaces/constants/NCConstants.h"
#include "varobs/QuantitativeVariableInfo.h"

namespace {

constexpr float M = nc::kMissingValue;

// H (y - mean) + mean at every position of one window.
std::vector<double> Apply(const NCDataMatrix<float>& hat, const std::vector<double>& y) {
    double mean = 0;
    for (double v : y) mean += v;
    mean /= y.size();
    std::vector<double> fitted(y.size());
    for (int i = 1; i <= hat.GetNumRows(); ++i) {
        fitted[i - 1] = mean;
        for (int j = 1; j <= hat.GetNumColumns(); ++j) fitted[i - 1] += hat(i, j) * (y[j - 1] - mean);
    }
    return fitted;
}

// Every step of s[first..first+n-1] goes in direction d by at least (almost exactly) m > 0.
void ExpectSteadySteps(const float* s, int n, int d, float m) {
    ASSERT_GT(m, 0.0f);
    for (int i = 1; i < n; ++i) {
        const float step = (s[i] - s[i - 1]) * d;
        ASSERT_GT(step, 0.0f) << "at " << i;
        ASSERT_GE(step, m * 0.999f - 1e-5f * std::fabs(s[i])) << "at " << i;
    }
}

}  // namespace

TEST(Smooth, HatMatricesFitLinesAndParabolasAndWindowRulesRoundDifferently) {
    // An odd line window reproduces a straight line; a parabola window a parabola.
    const std::vector<double> line{1, 3, 5, 7, 9}, parabola{4, 1, 0, 1, 4, 9, 16};
    const auto fittedLine = Apply(Smooth::GetHatMatrix(5, false), line);
    const auto fittedParabola = Apply(Smooth::GetHatMatrix(7, true), parabola);
    for (std::size_t i = 0; i < line.size(); ++i) EXPECT_NEAR(fittedLine[i], line[i], 1e-5);
    for (std::size_t i = 0; i < parabola.size(); ++i) EXPECT_NEAR(fittedParabola[i], parabola[i], 1e-4);
    // An even window's positions are -1, 0, 1, 2: not centred.
    EXPECT_NEAR(Smooth::GetHatMatrix(4, false)(4, 4), 4.0 / 6.0, 1e-6);
    EXPECT_NEAR(Smooth::GetHatMatrix(4, false)(1, 1), 1.0 / 6.0, 1e-6);

    // Rule, length, expected size and kind: the three rules round differently above 30.
    const struct {
        Smooth::Window window;
        int size;
        bool quadratic;
    } windows[] = {{Smooth::ChooseWindow(4), 4, false},         {Smooth::ChooseWindow(30), 5, false},
                   {Smooth::ChooseWindow(31), 7, true},         {Smooth::ChooseWindow(57), 9, true},
                   {Smooth::ChoosePhaseWindow(4.9f), 4, false}, {Smooth::ChoosePhaseWindow(57.0f), 9, true},
                   {Smooth::ChooseVectorWindow(3), 3, false},   {Smooth::ChooseVectorWindow(57), 7, true}};
    for (const auto& w : windows) {
        EXPECT_EQ(w.window.size, w.size);
        EXPECT_EQ(w.window.quadratic, w.quadratic);
    }
    EXPECT_EQ(Smooth::GetHatMatrix(57).GetNumRows(), 9);
    EXPECT_TRUE(Smooth::IsTimeVariableName("$Time"));
    EXPECT_TRUE(Smooth::IsTimeVariableName("$TIMEB"));
    EXPECT_FALSE(Smooth::IsTimeVariableName("Time"));
}

TEST(Smooth, GapsAreExtrapolatedAlongTheDirectionAndInterpolatedInside) {
    std::vector<float> y{M, M, 10, 12, M, M, 18, M};
    Smooth::FillMissingValues(y.data(), 8, 0, 100, 1);
    const std::vector<float> filled{6, 8, 10, 12, 14, 16, 18, 20};  // trailing slope (18 - 12) / 3
    EXPECT_EQ(y, filled);

    // Slopes against the direction are flat.
    y = {M, 10, 8, M};
    Smooth::FillMissingValues(y.data(), 4, 0, 100, 1);
    EXPECT_EQ(y, (std::vector<float>{10, 10, 8, 8}));

    // One value: the expected slope (b - a) / n; none: ending at b.
    y = {M, 5, M, M};
    Smooth::FillMissingValues(y.data(), 4, 0, 8, 1);
    EXPECT_EQ(y, (std::vector<float>{3, 5, 7, 9}));
    y = {M, M, M, M};
    Smooth::FillMissingValues(y.data(), 4, 8, 0, -1);
    EXPECT_EQ(y, (std::vector<float>{6, 4, 2, 0}));
}

TEST(Smooth, SegmentsFollowTheirExpectedDirection) {
    const NCDataMatrix<float> hat5 = Smooth::GetHatMatrix(5, false);
    // Flat data with a == b: b becomes a + n, so the result rises by the minimum step 1/50.
    const std::vector<float> flat(6, 3.0f);
    std::vector<float> s(6);
    float m = Smooth::SmoothSegment(flat.data(), s.data(), 6, 3, 3, &hat5);
    EXPECT_FLOAT_EQ(m, 0.02f);
    for (int i = 0; i < 6; ++i) EXPECT_NEAR(s[i], 3.0f + 0.02f * i, 1e-5);

    // Three points and a window of 5: the minimum step is forced first (5 -> 3 becomes 5 -> 5 + m),
    // then one straight line is fitted through the three.
    const std::vector<float> three{1, 5, 3};
    s.resize(3);
    m = Smooth::SmoothSegment(three.data(), s.data(), 3, 0, 10, &hat5);
    const double forcedSum = 1 + 5 + (5 + static_cast<double>(m));
    EXPECT_NEAR(s[0] + s[1] + s[2], forcedSum, 1e-4);
    EXPECT_NEAR(s[1] - s[0], s[2] - s[1], 1e-4);
    EXPECT_NEAR(s[2] - s[0], 4 + m, 1e-4);

    // OLSmoothPhase forces the minimum step on its input.
    std::vector<float> in{1, 0.5f, 3}, out(3);
    Smooth::OLSmoothPhase(in.data(), out.data(), 3, 1, 0.25f, nullptr);
    EXPECT_EQ(in, (std::vector<float>{1, 1.25f, 3}));
    EXPECT_EQ(out, in);
}

TEST(Smooth, EverySegmentIsStrictlyMonotoneAndSteadySegmentsStayUnchanged) {
    std::mt19937 random(20260302);
    std::uniform_real_distribution<float> noise(-3.0f, 3.0f), unit(0.0f, 1.0f), rate(0.2f, 4.0f);
    std::uniform_int_distribution<int> length(1, 80);
    for (int round = 0; round < 40; ++round) {
        // Many segments of random length, each rising or falling with noise and gaps.
        NCDataVector<float> y;
        NCIntegralVector<int, -99> beginnings;
        while (y.size() < 1500) {
            beginnings.push_back(y.size() + 1);
            const int n = length(random), d = unit(random) < 0.5f ? 1 : -1;
            const float r = rate(random);
            for (int i = 0; i < n; ++i) y.push_back(unit(random) < 0.2f ? M : 50 + d * r * i + noise(random));
        }
        const float start = round % 2 ? 0.0f : 500.0f, end = round % 2 ? 500.0f : 0.0f;
        const NCDataMatrix<float> hat = Smooth::GetHatMatrix(round % 35 + 1, round % 3 == 0);
        const NCDataVector<float> smoothed = Smooth::SmoothVector(&y, &beginnings, start, end, &hat);
        ASSERT_EQ(smoothed.size(), y.size());
        for (int k = 1; k <= beginnings.size(); ++k) {
            const int first = beginnings[k], next = k < beginnings.size() ? beginnings[k + 1] : y.size() + 1;
            std::vector<float> alone(static_cast<std::size_t>(next - first));
            const float m = Smooth::SmoothSegment(y.data() + first - 1, alone.data(), next - first, start, end, &hat);
            for (int i = first; i < next; ++i) ASSERT_EQ(smoothed(i), alone[i - first]);
            ExpectSteadySteps(alone.data(), next - first, end > start ? 1 : -1, m);
        }
    }

    // Segments that already step by at least the minimum step come back unchanged, any window.
    std::uniform_real_distribution<float> steadyStep(0.05f, 2.0f);
    for (int round = 0; round < 20; ++round) {
        const int n = length(random) + 1, d = round % 2 ? 1 : -1;
        std::vector<float> y{100.0f};
        for (int i = 1; i < n; ++i) y.push_back(y.back() + d * steadyStep(random));
        for (int w = 1; w <= 25; ++w) {
            for (const bool quadratic : {false, true}) {
                const NCDataMatrix<float> hat = Smooth::GetHatMatrix(w, quadratic);
                std::vector<float> s(static_cast<std::size_t>(n));
                Smooth::SmoothSegment(y.data(), s.data(), n, y.front(), y.back(), &hat);
                ASSERT_EQ(s, y) << "window " << w;
            }
        }
    }
}

TEST(Smooth, OnePhaseVectorHasARelativeCopyStartingAtZero) {
    const QuantitativeVariableInfo conversion("Conv", 1, "", -1, -1, eVarTypeDefault);
    NCDataVector<float> relative;
    NCDataVector<float> single(4, M);
    single(2, 5.0f);
    EXPECT_FALSE(Smooth::CreateSmoothedYForPhase(&single, &conversion, 4, &relative, true));
    EXPECT_EQ(relative.size(), 0);

    // Falling data, expected to rise: the end is moved just above the start, the result rises.
    NCDataVector<float> y;
    for (const float v : {M, 1.0f, 0.9f, 0.95f, 0.8f, 0.7f, M}) y.push_back(v);
    const auto smoothed = Smooth::CreateSmoothedYForPhase(&y, &conversion, 7, &relative, true);
    ASSERT_TRUE(smoothed);
    ASSERT_EQ(smoothed->size(), 7);
    ExpectSteadySteps(smoothed->data(), 7, 1, 0.001f / 7 / 50);
    ASSERT_EQ(relative.size(), 7);
    EXPECT_EQ(relative(1), M);
    EXPECT_EQ(relative(7), M);
    for (int k = 2; k <= 6; ++k) EXPECT_FLOAT_EQ(relative(k), (*smoothed)(k) - (*smoothed)(2));

    // A time variable is filled and held to the minimum step, never smoothed.
    const QuantitativeVariableInfo time("$Time", 2, "", -1, -1, eVarTypeDefault);
    NCDataVector<float> ticks;
    for (const float v : {0.0f, 1.0f, 3.0f, 2.0f, 4.0f, 5.0f, 6.0f, 7.0f}) ticks.push_back(v);
    const auto kept = Smooth::CreateSmoothedYForPhase(&ticks, &time, 40, nullptr, true);
    ASSERT_TRUE(kept);
    const std::vector<float> expected{0, 1, 3, 3 + 7.0f / 8 / 50, 4, 5, 6, 7};
    for (int k = 1; k <= 8; ++k) EXPECT_FLOAT_EQ((*kept)(k), expected[k - 1]);
}
